#include "data/u_dm_datenbank.h"
#include "data/datenbankanlage.h"
#include "platform/core/errors.h"
#include "platform/sql/sqlcipherdriver.h"
#include "platform/sql/sqlutil.h"

#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <climits>

Tdm_datenbank *dm_datenbank = nullptr;

// ---- connection strings ------------------------------------------------------

TVerbindungsangaben VerbindungstextZerlegen(const QString &text)
{
    // split at ';' outside quotes
    QStringList teile;
    QString cur;
    QChar quote;
    for (const QChar c : text) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            cur += c;
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
            cur += c;
        } else if (c == QLatin1Char(';')) {
            teile << cur;
            cur.clear();
        } else {
            cur += c;
        }
    }
    teile << cur;

    TVerbindungsangaben a;
    bool quelleGenannt = false;
    for (const QString &roh : std::as_const(teile)) {
        const QString teil = roh.trimmed();
        if (teil.isEmpty())
            continue;
        const int eq = teil.indexOf(QLatin1Char('='));
        if (eq <= 0)
            throw EDatabaseError(QStringLiteral("Die Verbindungszeichenfolge ist fehlerhaft: \"%1\" hat die "
                                                "Form Name=Wert nicht").arg(teil));
        const QString key = teil.left(eq).simplified().toLower();
        QString value = teil.mid(eq + 1).trimmed();
        if (value.size() >= 2 && (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\''))
            && value.back() == value.front())
            value = value.mid(1, value.size() - 2);
        if (key == QLatin1String("data source")) {
            a.Datenquelle = value;
            quelleGenannt = true;
        } else if (key == QLatin1String("jet oledb:database password")) {
            a.Passwort = value;
        }
        // Provider, Persist Security Info, Mode, User ID ...: nothing to do here
    }
    if (!quelleGenannt || a.Datenquelle.isEmpty())
        throw EDatabaseError(QStringLiteral("Die Verbindungszeichenfolge nennt keine Datenbankdatei (Data Source)."));
    return a;
}

static QString mitTrenner(const QString &ordner)
{
    if (ordner.isEmpty() || ordner.endsWith(QLatin1Char('/')) || ordner.endsWith(QLatin1Char('\\')))
        return ordner;
    return ordner + QLatin1Char('/');
}

static QString quelle(const QString &pfad)
{
    if (!pfad.contains(QLatin1Char(';')))
        return pfad;
    const QChar q = pfad.contains(QLatin1Char('"')) ? QLatin1Char('\'') : QLatin1Char('"');
    return q + pfad + q;
}

QString HauptVerbindungstext(const QString &programmordner)
{
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=")
           + quelle(mitTrenner(programmordner) + Datenbank::HauptDatei) + QStringLiteral(";")
           + QStringLiteral("Jet OLEDB:Database Password=") + Datenbank::Passwort + QStringLiteral(";")
           + QStringLiteral("Persist Security Info=False");
}

QString LokalVerbindungstext(const QString &programmordner)
{
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=")
           + quelle(mitTrenner(programmordner) + Datenbank::LokalDatei) + QStringLiteral(";")
           + QStringLiteral("Persist Security Info=False;");
}

// ---- one connection ------------------------------------------------------------

TDatenbankVerbindung::TDatenbankVerbindung(const QString &name) : m_name(name)
{
    // a connection of that name that someone else holds stays theirs
    m_eigen = !QSqlDatabase::contains(m_name);
    if (m_eigen)
        SqlCipherDriver::addDatabase(m_name);
}

TDatenbankVerbindung::~TDatenbankVerbindung()
{
    if (!m_eigen)
        return;
    Close();
    QSqlDatabase::removeDatabase(m_name);
}

void TDatenbankVerbindung::Open()
{
    Close();
    const TVerbindungsangaben a = VerbindungstextZerlegen(ConnectionString);
    openSqlCipher(m_name, a.Datenquelle, a.Passwort, false);
}

void TDatenbankVerbindung::Close()
{
    if (QSqlDatabase::contains(m_name)) {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        if (db.isOpen())
            db.close();
    }
}

bool TDatenbankVerbindung::Connected() const
{
    return QSqlDatabase::contains(m_name) && QSqlDatabase::database(m_name, false).isOpen();
}

QSqlDatabase TDatenbankVerbindung::db() const { return QSqlDatabase::database(m_name, false); }

// ---- records -------------------------------------------------------------------

double &TArtikelDaten::Lager(int i)
{
    double *felder[30] = {&Lager1,  &Lager2,  &Lager3,  &Lager4,  &Lager5,  &Lager6,  &Lager7,  &Lager8,
                          &Lager9,  &Lager10, &Lager11, &Lager12, &Lager13, &Lager14, &Lager15, &Lager16,
                          &Lager17, &Lager18, &Lager19, &Lager20, &Lager21, &Lager22, &Lager23, &Lager24,
                          &Lager25, &Lager26, &Lager27, &Lager28, &Lager29, &Lager30};
    Q_ASSERT(i >= 1 && i <= 30);
    return *felder[qBound(1, i, 30) - 1];
}

double TArtikelDaten::Lager(int i) const { return const_cast<TArtikelDaten *>(this)->Lager(i); }

// ---- the module ----------------------------------------------------------------

const QString Tdm_datenbank::SQL_qry_Artikelpositionen_Neue_ID_Ermitteln =
    QStringLiteral("SELECT MAX(ID_Artikelpositionen)  AS MaxNummer\nFROM Artikelpositionen");
const QString Tdm_datenbank::SQL_qry_ArtikelpositionenVorschau_Neue_ID_Ermitteln =
    QStringLiteral("select MAX(ID_Artikelpositionen) as MaxNummer\nfrom ArtikelpositionenVorschau");
const QString Tdm_datenbank::SQL_qry_Artikelpositionen_Lokal_Neue_ID_Ermitteln =
    QStringLiteral("select MAX(ID_Artikelposition) as MaxNummer\nfrom Artikelpositionen");
const QString Tdm_datenbank::SQL_qry_artikel =
    QStringLiteral("select * from Artikelstamm\nwhere\nArtikel =:partikel");
const QString Tdm_datenbank::SQL_qry_kunde =
    QStringLiteral("select * from Kundenstamm\nwhere\nFirma  =:pfirma  and\nKunde =:pkunde");
const QString Tdm_datenbank::SQL_qry_firmendaten =
    QStringLiteral("select * from Firmenstamm\nwhere\nFirma =:pfirma");
const QString Tdm_datenbank::SQL_qry_protokoll = QStringLiteral("select * from Protokoll\nwhere\n1= 2");
const QString Tdm_datenbank::SQL_qry_protokoll_loeschen =
    QStringLiteral("delete from Protokoll\nwhere\nDatumZeit <:pdatum");

Tdm_datenbank::Tdm_datenbank(QObject *parent)
    : QObject(parent),
      Datenbank_Verbindung(QStringLiteral("Datenbank_Verbindung")),
      Datenbank_Verbindung_Lokal(QStringLiteral("Datenbank_Verbindung_Lokal"))
{
    setObjectName(QStringLiteral("dm_datenbank"));
    if (dm_datenbank)
        throw TvxError(QStringLiteral("Das Datenbank-Datenmodul gibt es schon einmal."));
    dm_datenbank = this;
}

Tdm_datenbank::~Tdm_datenbank()
{
    VerbindungenSchliessen();
    if (dm_datenbank == this)
        dm_datenbank = nullptr;
}

void Tdm_datenbank::VerbindungenOeffnen(const QString &programmordner)
{
    Datenbank_Verbindung.ConnectionString = HauptVerbindungstext(programmordner);
    Datenbank_Verbindung.Open();
    Datenbank::SchemaNachziehen(Datenbank_Verbindung.db(), Datenbank::HauptSchemaSql());
    Datenbank_Verbindung_Lokal.ConnectionString = LokalVerbindungstext(programmordner);
    Datenbank_Verbindung_Lokal.Open();
}

void Tdm_datenbank::VerbindungenSchliessen()
{
    Datenbank_Verbindung.Close();
    Datenbank_Verbindung_Lokal.Close();
}

namespace {

// Finishes a query on every way out of a scope.
struct Abschluss {
    QSqlQuery &q;
    ~Abschluss() { q.finish(); }
};

QSqlDatabase offeneVerbindung(const TDatenbankVerbindung &v)
{
    QSqlDatabase db = v.db();
    if (!db.isOpen())
        throw EDatabaseError(QStringLiteral("Die Verbindung %1 ist nicht geöffnet.").arg(v.name()));
    return db;
}

Tdm_datenbank &modul()
{
    if (!dm_datenbank)
        throw TvxError(QStringLiteral("Das Datenbank-Datenmodul ist nicht angelegt."));
    return *dm_datenbank;
}

// Reads the current row of a finished look-up by column name, as the Delphi
// field accessors do: NULL reads as empty text or 0.
class Zeile {
public:
    Zeile(const QSqlQuery &q, const char *abfrage) : m_q(q), m_abfrage(abfrage)
    {
        // one pass instead of a linear, case-insensitive search per column
        const QSqlRecord rec = q.record();
        m_index.reserve(rec.count());
        for (int i = rec.count() - 1; i >= 0; --i) // the first of equal names wins
            m_index.insert(rec.fieldName(i).toCaseFolded(), i);
    }

    QVariant wert(const char *spalte) const
    {
        const int i = m_index.value(QString::fromLatin1(spalte).toCaseFolded(), -1);
        if (i < 0)
            throw EDatabaseError(QStringLiteral("%1: Feld '%2' nicht gefunden")
                                     .arg(QLatin1String(m_abfrage), QLatin1String(spalte)));
        return m_q.value(i);
    }
    QString text(const char *spalte) const
    {
        const QVariant v = wert(spalte);
        return v.isNull() ? QString() : v.toString();
    }
    int ganz(const char *spalte) const
    {
        const QVariant v = wert(spalte);
        if (v.isNull())
            return 0;
        switch (v.metaType().id()) {
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::Double:
        case QMetaType::Bool:
            return v.toInt();
        default:
            return strToInt(v.toString());
        }
    }
    double zahl(const char *spalte) const
    {
        const QVariant v = wert(spalte);
        if (v.isNull())
            return 0;
        bool ok = false;
        const double d = v.toDouble(&ok);
        if (!ok)
            throw EConvertError::notFloat(v.toString());
        return d;
    }
    bool flag(const char *spalte) const
    {
        const QVariant v = wert(spalte);
        if (v.isNull())
            return false;
        bool ok = false;
        const double d = v.toDouble(&ok);
        return ok && d == 1.0;
    }

private:
    const QSqlQuery &m_q;
    QHash<QString, int> m_index;
    const char *m_abfrage;
};

// Runs a look-up; true when it delivered a row (the query then stands on it).
bool erstesErgebnis(QSqlQuery &q)
{
    execQuery(q);
    if (q.next())
        return true;
    if (q.lastError().isValid())
        throw EDatabaseError(sqlErrorText(q.lastError()), q.lastError().nativeErrorCode());
    return false;
}

int neueId(const TDatenbankVerbindung &v, const QString &sql)
{
    QSqlQuery q = prepareQuery(offeneVerbindung(v), sql);
    Abschluss ende{q};
    if (!erstesErgebnis(q))
        return -1;
    const int max = Zeile(q, "MaxNummer").ganz("MaxNummer");
    if (max == INT_MAX)
        throw EDatabaseError(QStringLiteral("Kein neuer Schlüssel möglich: der größte Wert %1 ist erreicht.")
                                 .arg(max));
    return max + 1;
}

} // namespace

void Tdm_datenbank::ProtokollZeileAnhaengen(const QDateTime &DatumZeit, const QString &Aufzeichnung,
                                            const QString &Benutzer)
{
    QSqlQuery q = prepareQuery(offeneVerbindung(Datenbank_Verbindung),
                               QStringLiteral("insert into Protokoll (DatumZeit, Aufzeichnung, Benutzer) "
                                              "values (:DatumZeit, :Aufzeichnung, :Benutzer)"));
    Abschluss ende{q};
    q.bindValue(QStringLiteral(":DatumZeit"), DatumZeit);
    q.bindValue(QStringLiteral(":Aufzeichnung"), Aufzeichnung);
    q.bindValue(QStringLiteral(":Benutzer"), Benutzer);
    execQuery(q);
}

int Tdm_datenbank::ProtokollLoeschen(const QDateTime &pdatum)
{
    QSqlQuery q = prepareQuery(offeneVerbindung(Datenbank_Verbindung), SQL_qry_protokoll_loeschen);
    Abschluss ende{q};
    q.bindValue(QStringLiteral(":pdatum"), pdatum);
    execQuery(q);
    return q.numRowsAffected();
}

// ---- shared functions ----------------------------------------------------------------

int NeueIdPositionen()
{
    return neueId(modul().Datenbank_Verbindung, Tdm_datenbank::SQL_qry_Artikelpositionen_Neue_ID_Ermitteln);
}

int NeueIdVorschau()
{
    return neueId(modul().Datenbank_Verbindung,
                  Tdm_datenbank::SQL_qry_ArtikelpositionenVorschau_Neue_ID_Ermitteln);
}

int NeueIdLokal()
{
    return neueId(modul().Datenbank_Verbindung_Lokal,
                  Tdm_datenbank::SQL_qry_Artikelpositionen_Lokal_Neue_ID_Ermitteln);
}

void LadeArtikel(const QString &artikel, TArtikelDaten &d)
{
    d = TArtikelDaten();
    QSqlQuery q = prepareQuery(offeneVerbindung(modul().Datenbank_Verbindung), Tdm_datenbank::SQL_qry_artikel);
    Abschluss ende{q};
    q.bindValue(QStringLiteral(":partikel"), artikel);
    if (!erstesErgebnis(q))
        return;
    const Zeile z(q, "qry_artikel");
    TArtikelDaten n;
    n.Gefunden = true;
    n.Artikel = z.text("Artikel");
    n.Name_AR = z.text("Name_AR");
    n.Name_AR_e = z.text("Name_AR_e");
    n.Name_AR_f = z.text("Name_AR_f");
    n.Name_AR_s = z.text("Name_AR_s");
    n.Name_AR_n = z.text("Name_AR_n");
    n.Einheit = z.text("Einheit");
    n.Artikelgruppe = z.ganz("Artikelgruppe");
    n.Rabattfaehig = z.flag("Rabattfaehig");
    n.ErloesKontoInland = z.text("ErloesKontoInland");
    n.ErloesKontoAusland = z.text("ErloesKontoAusland");
    n.ErloesKontoEU = z.text("ErloesKontoEU");
    n.MWST = z.ganz("MWST");
    n.Einkaufspreis = z.zahl("Einkaufspreis");
    n.Lieferant1Einkaufspreis = z.zahl("Lieferant1Einkaufspreis");
    n.Lieferant2Einkaufspreis = z.zahl("Lieferant2Einkaufspreis");
    n.Lieferant1 = z.ganz("Lieferant1");
    n.Lieferant2 = z.ganz("Lieferant2");
    n.FremdartikelnummerLieferant1 = z.text("FremdartikelnummerLieferant1");
    n.FremdartikelnummerLieferant2 = z.text("FremdartikelnummerLieferant2");
    n.Lagerbestand = z.zahl("Lagerbestand");
    n.ID_GS = z.ganz("ID_GS");
    static const char *const lager[30] = {
        "Lager1",  "Lager2",  "Lager3",  "Lager4",  "Lager5",  "Lager6",  "Lager7",  "Lager8",
        "Lager9",  "Lager10", "Lager11", "Lager12", "Lager13", "Lager14", "Lager15", "Lager16",
        "Lager17", "Lager18", "Lager19", "Lager20", "Lager21", "Lager22", "Lager23", "Lager24",
        "Lager25", "Lager26", "Lager27", "Lager28", "Lager29", "Lager30"};
    for (int i = 0; i < 30; ++i)
        n.Lager(i + 1) = z.zahl(lager[i]);
    n.IstKuechenArtikel = z.ganz("IstKuechenArtikel");
    n.IstSchankArtikel = z.ganz("IstSchankArtikel");
    n.Lagerfuehrung = z.flag("Lagerfuehrung");
    n.Preis1 = z.zahl("Preis1");
    n.Preis2 = z.zahl("Preis2");
    n.Preis3 = z.zahl("Preis3");
    n.Preis4 = z.zahl("Preis4");
    n.Preis5 = z.zahl("Preis5");
    n.Preis6 = z.zahl("Preis6");
    n.Betrag_Verminderung_1 = z.zahl("Betrag_Verminderung_1");
    n.Betrag_Verminderung_2 = z.zahl("Betrag_Verminderung_2");
    n.Betrag_Verminderung_3 = z.zahl("Betrag_Verminderung_3");
    n.Menge_Verminderung_1 = z.zahl("Menge_Verminderung_1");
    n.Menge_Verminderung_2 = z.zahl("Menge_Verminderung_2");
    n.Menge_Verminderung_3 = z.zahl("Menge_Verminderung_3");
    n.NichtSteuerpflichtig = z.flag("NichtSteuerpflichtig");
    n.HatSeriennummern = z.flag("HatSeriennummern");
    n.PLU = z.ganz("PLU");
    n.PreisAenderbar = z.flag("PreisAenderbar");
    n.AnzahlTickets = z.ganz("AnzahlTickets");
    n.UmrechnungAEHinWEH = z.zahl("UmrechnungAEHinWEH");
    d = n; // all or nothing
}

void LadePreise(const QString &artikel, TPreisDaten &d)
{
    d.Preis1 = 0;
    d.Preis2 = 0;
    d.Preis3 = 0;
    QSqlQuery q = prepareQuery(offeneVerbindung(modul().Datenbank_Verbindung), Tdm_datenbank::SQL_qry_artikel);
    Abschluss ende{q};
    q.bindValue(QStringLiteral(":partikel"), artikel);
    if (!erstesErgebnis(q))
        return;
    const Zeile z(q, "qry_artikel");
    d.Preis1 = z.zahl("Preis1");
    d.Preis2 = z.zahl("Preis2");
    d.Preis3 = z.zahl("Preis3");
}

void LadeKunde(const QString &firma, const QString &kunde, TKundenDaten &d)
{
    d.Gefunden = false;
    int kundennummer = 0;
    try {
        kundennummer = strToInt(kunde);
    } catch (const EConvertError &) {
        return;
    }
    const int firmennummer = strToInt(firma); // the caller hears of a bad company text
    QSqlQuery q = prepareQuery(offeneVerbindung(modul().Datenbank_Verbindung), Tdm_datenbank::SQL_qry_kunde);
    Abschluss ende{q};
    q.bindValue(QStringLiteral(":pfirma"), firmennummer);
    q.bindValue(QStringLiteral(":pkunde"), kundennummer);
    if (!erstesErgebnis(q))
        return;
    const Zeile z(q, "qry_kunde");
    TKundenDaten n;
    n.Gefunden = true;
    n.Firma = z.ganz("Firma");
    n.Kunde = z.ganz("Kunde");
    n.Name_KU = z.text("Name_KU");
    n.Strasse_Hnr = z.text("Strasse_Hnr");
    n.PLZ = z.text("PLZ");
    n.Ort = z.text("Ort");
    n.Kundengruppe = z.ganz("Kundengruppe");
    n.Preisliste = z.ganz("Preisliste");
    n.Skontotage = z.ganz("skontotage");
    n.Skontoprozent = z.zahl("Skontoprozent");
    n.Nettotage = z.ganz("Nettotage");
    n.Zahlschein = z.flag("Zahlschein");
    n.EMail1 = z.text("EMail1");
    n.EMail2 = z.text("EMail2");
    n.Land = z.text("Land");
    d = n; // all or nothing: a conversion error above leaves the record as it was
}

void LadeFirma(int firma, TFirmenDaten &d)
{
    d = TFirmenDaten();
    QSqlQuery q =
        prepareQuery(offeneVerbindung(modul().Datenbank_Verbindung), Tdm_datenbank::SQL_qry_firmendaten);
    Abschluss ende{q};
    q.bindValue(QStringLiteral(":pfirma"), firma);
    if (!erstesErgebnis(q))
        return;
    const Zeile z(q, "qry_firmendaten");
    TFirmenDaten n;
    n.Gefunden = true;
    n.Firma = z.ganz("Firma");
    n.Name_FI = z.text("Name_FI");
    n.Waehrungskuerzel = z.text("Waehrungskuerzel");
    n.LogoPfad = OhneAnfuehrungszeichen(z.text("LogoPfad"));
    n.EMAIL1 = z.text("EMAIL1");
    d = n;
}

QString OhneAnfuehrungszeichen(const QString &s)
{
    QString r = s;
    if (r.startsWith(QLatin1Char('"')))
        r.remove(0, 1);
    if (r.endsWith(QLatin1Char('"')))
        r.chop(1);
    return r;
}
