#pragma once
// The database data module: both connections, the key allocators and the loaders
// of one article, price set, customer or company record.
//
// Start-up sets the two connection strings and opens the connections; they stay
// open until shut-down. Everything here runs on the UI thread. Loaders and key
// functions create their query per call and finish it on every way out, so no
// query is ever left open; database errors reach the caller as EDatabaseError
// with the driver's text.

#include <QObject>
#include <QSqlDatabase>
#include <QString>
#include <QDateTime>

// ---- connection strings ----------------------------------------------------

// What a connection string says. Keys are case-insensitive; values may be put
// in double quotes (then ';' may occur inside). "Provider", "Persist Security
// Info" and other keys of the Jet world are accepted and ignored.
struct TVerbindungsangaben {
    QString Datenquelle; // "Data Source": the database file
    QString Passwort;    // "Jet OLEDB:Database Password"; empty for the local file
};

// Throws EDatabaseError when the text names no "Data Source".
TVerbindungsangaben VerbindungstextZerlegen(const QString &verbindungstext);

// The strings start-up builds; programmordner ends with a path separator
// (one is added when it does not).
QString HauptVerbindungstext(const QString &programmordner);
QString LokalVerbindungstext(const QString &programmordner);

// ---- one connection ----------------------------------------------------------

// A named connection opened from its connection string, as ADO's connection
// component: set ConnectionString, then Open().
class TDatenbankVerbindung {
public:
    explicit TDatenbankVerbindung(const QString &name);
    ~TDatenbankVerbindung();
    TDatenbankVerbindung(const TDatenbankVerbindung &) = delete;
    TDatenbankVerbindung &operator=(const TDatenbankVerbindung &) = delete;

    QString ConnectionString;

    // Opens the file of ConnectionString (which must exist); throws EDatabaseError
    // with the driver's text (missing file, wrong password, no database). A failed
    // open leaves the file untouched and the connection closed.
    void Open();
    void Close(); // never throws
    bool Connected() const;

    // The Qt connection every dataset on this connection uses.
    QSqlDatabase db() const;
    QString name() const { return m_name; }

private:
    QString m_name;
    bool m_eigen = false; // this object added the Qt connection and removes it
};

// ---- records -------------------------------------------------------------------
// Member names are the columns they are loaded from; the default values are the
// values a loader stores before its look-up.

struct TArtikelDaten {
    bool Gefunden = false;
    QString Artikel;
    QString Name_AR;
    QString Name_AR_e;
    QString Name_AR_f;
    QString Name_AR_s;
    QString Name_AR_n;
    QString Einheit;
    int Artikelgruppe = -1;
    bool Rabattfaehig = false;
    QString ErloesKontoInland = QStringLiteral("0");
    QString ErloesKontoAusland = QStringLiteral("0");
    QString ErloesKontoEU = QStringLiteral("0");
    int MWST = -1;
    double Einkaufspreis = 0;
    double Lieferant1Einkaufspreis = 0;
    double Lieferant2Einkaufspreis = 0;
    int Lieferant1 = -17;
    int Lieferant2 = -17;
    QString FremdartikelnummerLieferant1;
    QString FremdartikelnummerLieferant2;
    double Lagerbestand = 0;
    int ID_GS = -1;
    double Lager1 = 0, Lager2 = 0, Lager3 = 0, Lager4 = 0, Lager5 = 0, Lager6 = 0, Lager7 = 0, Lager8 = 0,
           Lager9 = 0, Lager10 = 0, Lager11 = 0, Lager12 = 0, Lager13 = 0, Lager14 = 0, Lager15 = 0,
           Lager16 = 0, Lager17 = 0, Lager18 = 0, Lager19 = 0, Lager20 = 0, Lager21 = 0, Lager22 = 0,
           Lager23 = 0, Lager24 = 0, Lager25 = 0, Lager26 = 0, Lager27 = 0, Lager28 = 0, Lager29 = 0,
           Lager30 = 0;
    int IstKuechenArtikel = 0;
    int IstSchankArtikel = 0;
    bool Lagerfuehrung = false;
    double Preis1 = 0, Preis2 = 0, Preis3 = 0, Preis4 = 0, Preis5 = 0, Preis6 = 0;
    double Betrag_Verminderung_1 = 0, Betrag_Verminderung_2 = 0, Betrag_Verminderung_3 = 0;
    double Menge_Verminderung_1 = 0, Menge_Verminderung_2 = 0, Menge_Verminderung_3 = 0;
    bool NichtSteuerpflichtig = false;
    bool HatSeriennummern = false;
    int PLU = 0;
    bool PreisAenderbar = true;
    int AnzahlTickets = 0;
    double UmrechnungAEHinWEH = 1.0;

    double &Lager(int i);             // 1..30
    double Lager(int i) const;
};

// No found flag: a missing article and three zero prices look the same.
struct TPreisDaten {
    double Preis1 = 0;
    double Preis2 = 0;
    double Preis3 = 0;
};

// LadeKunde sets only Gefunden when the customer is missing; the other members
// keep what the caller put there.
struct TKundenDaten {
    bool Gefunden = false;
    int Firma = 0;
    int Kunde = 0;
    QString Name_KU;
    QString Strasse_Hnr;
    QString PLZ;
    QString Ort;
    int Kundengruppe = 0;
    int Preisliste = 0;
    int Skontotage = 0;
    double Skontoprozent = 0;
    int Nettotage = 0;
    bool Zahlschein = false;
    QString EMail1;
    QString EMail2;
    QString Land;
};

struct TFirmenDaten {
    bool Gefunden = false;
    int Firma = -1;
    QString Name_FI;
    QString Waehrungskuerzel;
    QString LogoPfad; // without surrounding double quotes
    QString EMAIL1;
};

// ---- the module ----------------------------------------------------------------

class Tdm_datenbank : public QObject {
    Q_OBJECT
public:
    // Sets dm_datenbank. Only one module may exist at a time (TvxError otherwise):
    // the Qt connection names are fixed.
    explicit Tdm_datenbank(QObject *parent = nullptr);
    ~Tdm_datenbank() override; // closes both connections, clears dm_datenbank

    TDatenbankVerbindung Datenbank_Verbindung;        // main, TORVANEXDB.mdb
    TDatenbankVerbindung Datenbank_Verbindung_Lokal;  // local, TORVANEXDB_Lokal.mdb

    // Sets both connection strings for a program folder and opens both; throws
    // EDatabaseError on the first that fails (the other stays as it was).
    void VerbindungenOeffnen(const QString &programmordner);
    void VerbindungenSchliessen(); // never throws

    // The module's statements, lines as stored (joined by '\n').
    static const QString SQL_qry_Artikelpositionen_Neue_ID_Ermitteln;
    static const QString SQL_qry_ArtikelpositionenVorschau_Neue_ID_Ermitteln;
    static const QString SQL_qry_Artikelpositionen_Lokal_Neue_ID_Ermitteln;
    static const QString SQL_qry_artikel;        // :partikel
    static const QString SQL_qry_kunde;          // :pfirma, :pkunde
    static const QString SQL_qry_firmendaten;    // :pfirma
    static const QString SQL_qry_protokoll;      // always empty; the shape of a log row
    static const QString SQL_qry_protokoll_loeschen; // :pdatum

    // Seams for the activity log (writer and pruning live with the application):
    // appends one row to Protokoll / deletes the rows older than pdatum. Both throw
    // EDatabaseError; the callers decide to ignore it.
    void ProtokollZeileAnhaengen(const QDateTime &DatumZeit, const QString &Aufzeichnung,
                                 const QString &Benutzer);
    int ProtokollLoeschen(const QDateTime &pdatum); // rows deleted
};

extern Tdm_datenbank *dm_datenbank;

// ---- shared functions (use dm_datenbank) -----------------------------------------

// Next key: largest plus one (1 on an empty table); -1 only if the aggregate
// yields no row at all.
int NeueIdPositionen(); // main Artikelpositionen.ID_Artikelpositionen
int NeueIdVorschau();   // ArtikelpositionenVorschau.ID_Artikelpositionen
int NeueIdLokal();      // local Artikelpositionen.ID_Artikelposition

// Fill the record; the article number is used as given (no trimming).
void LadeArtikel(const QString &artikel, TArtikelDaten &daten);
void LadePreise(const QString &artikel, TPreisDaten &daten);
// A customer text that is no integer: Gefunden false, no query. A company text
// that is no integer: EConvertError.
void LadeKunde(const QString &firma, const QString &kunde, TKundenDaten &daten);
void LadeFirma(int firma, TFirmenDaten &daten);

// Removes one leading and then one trailing double quote.
QString OhneAnfuehrungszeichen(const QString &s);
