// Schema of both databases, the tvx-datenbank tool and the shipped test data.
#include "data/datenbankanlage.h"
#include "data/u_dm_datenbank.h"
#include "platform/core/errors.h"
#include "platform/sql/sqlcipherdriver.h"
#include "platform/sql/sqlutil.h"
#include "tests/support/testprogrammordner.h"

#include <QCryptographicHash>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <numeric>

namespace {

// Columns as the data model states them: I integer (int16/int32), D double,
// Z date-time, Tn text(n), T text of a length we chose, M memo.
// "Menge1..30:D" stands for Menge1 to Menge30.
const char *const Positionen =
    "ID_Artikelpositionen:I Firma:I Periode_ls:I Periode_re:I Periode_au:I Periode_bv:I Lieferschein_nr:I "
    "Rechnung_nr:I Auftrag_nr:I Barverkauf_nr:I Position_X:I Lieferdatum:Z Kunde:I Artikel:T15 Menge:D "
    "Preis:D Rabatt:D Einkaufspreis:D Text:T200 Benutzer:T50 Benutzerdatum:Z Aktionen:T80 Erfassungzeit:Z "
    "Status:I Identifikation:T20 ZahlungsStatus:T50 Rechnungsdatum:Z Auftragsdatum:Z Valutadatum:Z "
    "ZahlungBis:Z Hinweis:T150 Rechnungsbetrag:D Rechnungsbetrag_Bezahlt:D BezahltAm:Z "
    "Leistungszeitraum:T50 Periode_au_merken:I Auftrag_nr_merken:I Zusatztext1:M ArtikelName:T50 "
    "Kopftext:M Fusstext:M Name_EKU:T50 Strasse_Hnr_EKU:T50 PLZ_EKU:T50 Ort_EKU:T50 Lieferadresse_EKU:M "
    "BenutzerSession:T15 LS_RE_TeilMenge:D BereitsGeliefert:D BereitsVerrechnet:D Info:T50 Menge1..30:D "
    "FarbMarkierung:I MWSTABetrag:D MWSTBBetrag:D MWSTCBetrag:D MWSTDBetrag:D MWSTABetrag_O:D "
    "MWSTBBetrag_O:D MWSTCBetrag_O:D MWSTDBetrag_O:D";

const char *const Kunden =
    "Firma:I Kunde:I Kundengruppe:I Name_KU:T60 Zusatzname_KU:T100 Anrede:T15 Titel:T15 Strasse_Hnr:T100 "
    "PLZ:T15 Ort:T30 Land:T100 Suchbegriff:T Markierung:I TelefonPrivat:T15 TelefonFirma:T MobilTelefon:T "
    "FaxNummer:T EMail1:T30 EMail2:T Homepage:T Anmerkung:M Steuernummer:T30 UIDNummer:T15 MWST:I "
    "InnerGemLieferung:I Skontotage:I Skontoprozent:D Nettotage:I Rabatt:D Preisliste:I Zahlschein:I "
    "Skonto:I Mahnung:I Uebersetzung:I Bruttobetraganzeigen:I Sonstiges1..5:T50 Sichtbar:I "
    "BenutzerSession:T Anlagedatum:Z Benutzerdatum:Z Kaeuferreferenz:T100";

const char *const Artikel =
    "Artikel:T15 Name_AR:T50 Name_AR_e:T Name_AR_f:T Name_AR_s:T Name_AR_n:T Beschreibung_AR:M "
    "Beschreibung_AR_e:M Beschreibung_AR_f:M Beschreibung_AR_s:M Beschreibung_AR_n:M Einheit:T10 "
    "Artikelgruppe:I Suchbegriff:T Markierung:I Preis1..6:D Einkaufspreis:D MWST:I Skontofaehig:I "
    "Rabattfaehig:I NichtSteuerpflichtig:I Bildpfad:T200 BildAufRechnung:I BildAufLieferschein:I "
    "BildAufAuftrag:I BildAufAngebot:I BildAufBestellung:I BildAufKasse:I Sonstiges1..5:T100 Sichtbar:I "
    "Anlagedatum:Z Benutzerdatum:Z Lagerfuehrung:I Lagerbestand:D Mindestbestand:D Lagerort:T "
    "Lager1..30:D Seriennummer:T HatSeriennummern:I EANCode:T Lieferant1:I Lieferant2:I Lieferant1Name:T "
    "Lieferant2Name:T FremdartikelnummerLieferant1:T FremdartikelnummerLieferant2:T "
    "Lieferant1Einkaufspreis:D Lieferant2Einkaufspreis:D ErloesKontoInland:T ErloesKontoAusland:T "
    "ErloesKontoEU:T Betrag_Verminderung_1..3:D Menge_Verminderung_1..3:D UmrechnungAEHinWEH:D PLU:I "
    "PreisAenderbar:I AnzahlTickets:I Preiskalkulation:I ID_GS:I IstKuechenArtikel:I IstSchankArtikel:I "
    "IstKassaArtikel:I IstBeilage:I IstFavorit:I Favoritenreihenfolge:I ReihenfolgeInGruppe:I "
    "ButtonFarbe:I OrderManFarbe:I Aktiv:I Buttontext1:T Buttontext2:T Hauptnummer:T Subnummer:T "
    "BenutzerSession:T SammelArtikelUmrechnung:D SammelArtikelUmrechnung2..5:D BestandSammelArtikel:T "
    "BestandSammelArtikel2..5:T";

const char *const Firmen =
    "Firma:I Name_FI:T50 Anschrift_FI:M Strasse_FI:T50 PLZ_FI:T20 Ort_FI:T50 Bankleitzahl:T50 "
    "Bankkontonummer:T50 Fusstext1..4:M LogoPfad:T Waehrungskuerzel:T EMAIL1:T UStIdNr_FI:T20 "
    "Steuernummer_FI:T30 Land_FI:T100 Kontakt_FI:T60 Telefon_FI:T30 IBAN_FI:T34 BIC_FI:T11";

const char *const Lokal =
    "ID_Artikelposition:I Artikel:T15 ArtikelName:T50 Menge:D Preis:D Rabatt:D Text:T200 Gesamt:D "
    "Einheit:T10 Einkaufspreis:D Baustein:T20 Formel:M FormelDrucken:I Info:T50 Zusatztext1:M "
    "Menge1..30:D Seriennummer:T200 Groesse:I Groessenbezeichnung:T100 Kopftext:M Fusstext:M "
    "AnzahlTickets:I";

struct Spalte {
    QString name;
    char art;   // I D Z T M
    int laenge; // T: declared length, 0 = any
};

QList<Spalte> spalten(const char *text)
{
    QList<Spalte> out;
    static const QRegularExpression range(QStringLiteral("^(.*?)(\\d+)\\.\\.(\\d+)$"));
    for (const QString &tok : QString::fromLatin1(text).split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QString name = tok.section(QLatin1Char(':'), 0, 0);
        const QString typ = tok.section(QLatin1Char(':'), 1);
        const char art = typ.at(0).toLatin1();
        const int laenge = typ.size() > 1 ? typ.mid(1).toInt() : 0;
        const auto m = range.match(name);
        if (m.hasMatch()) {
            for (int i = m.captured(2).toInt(); i <= m.captured(3).toInt(); ++i)
                out << Spalte{m.captured(1) + QString::number(i), art, laenge};
        } else {
            out << Spalte{name, art, laenge};
        }
    }
    return out;
}

QByteArray hashOf(const QString &file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

QString werkzeug()
{
    return qEnvironmentVariable("TVX_BINARY_DIR") + QStringLiteral("/tools/tvx-datenbank");
}

struct Lauf {
    int rc;
    QString out;
};

Lauf starte(const QStringList &args)
{
    QProcess p;
    p.start(werkzeug(), args);
    if (!p.waitForFinished(60000))
        return {-100, QStringLiteral("Zeitüberschreitung")};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -99,
            QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError())};
}

double cent(long double x) { return double(std::nearbyintl(x * 100.0L) / 100.0L); }

} // namespace

class tst_schema : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void spalten_data();
    void spalten();
    void nurGeleerteTabellen();
    void texteLaengeUndGrossschreibung();
    void indizesDerAbfragen_data();
    void indizesDerAbfragen();
    void werkzeugLegtAnUndBehaelt();
    void werkzeugUeberschreibt();
    void werkzeugFehler();
    void ueberschreibenOhneSchadenBeiFehler();
    void testdatenRechnungenStimmen();
    void testdatenStammdaten();
    void aeltereDateiWirdNachgezogen();

private:
    std::unique_ptr<TestProgrammordner> m_p;
};

void tst_schema::initTestCase()
{
    m_p = std::make_unique<TestProgrammordner>();
    QVERIFY(QFileInfo(werkzeug()).isExecutable());
}

void tst_schema::cleanupTestCase() { m_p.reset(); }

void tst_schema::spalten_data()
{
    QTest::addColumn<bool>("lokal");
    QTest::addColumn<QString>("tabelle");
    QTest::addColumn<QString>("erwartet");
    QTest::newRow("Artikelpositionen") << false << "Artikelpositionen" << Positionen;
    QTest::newRow("ArtikelpositionenVorschau") << false << "ArtikelpositionenVorschau" << Positionen;
    QTest::newRow("Kundenstamm") << false << "Kundenstamm" << Kunden;
    QTest::newRow("Kundengruppen") << false << "Kundengruppen" << "Kundengruppe:I Name_KG:T";
    QTest::newRow("Artikelstamm") << false << "Artikelstamm" << Artikel;
    QTest::newRow("Artikelgruppen") << false << "Artikelgruppen" << "Artikelgruppe:I Name_AG:T";
    QTest::newRow("Firmenstamm") << false << "Firmenstamm" << Firmen;
    QTest::newRow("Protokoll") << false << "Protokoll" << "DatumZeit:Z Aufzeichnung:T Benutzer:T50";
    QTest::newRow("lokal Artikelpositionen") << true << "Artikelpositionen" << Lokal;
}

// Every column exists with the declared type the driver maps, and nothing else.
void tst_schema::spalten()
{
    QFETCH(bool, lokal);
    QFETCH(QString, tabelle);
    QFETCH(QString, erwartet);
    const QSqlRecord rec = (lokal ? m_p->lokal() : m_p->haupt()).record(tabelle);
    const QList<Spalte> soll = ::spalten(erwartet.toLatin1().constData());
    QStringList fehlt, falsch;
    for (const Spalte &s : soll) {
        const int i = rec.indexOf(s.name);
        if (i < 0) {
            fehlt << s.name;
            continue;
        }
        const QSqlField f = rec.field(i);
        const int id = f.metaType().id();
        bool ok = false;
        switch (s.art) {
        case 'I': ok = id == QMetaType::Int; break;
        case 'D': ok = id == QMetaType::Double; break;
        case 'Z': ok = id == QMetaType::QDateTime; break;
        case 'M': ok = id == QMetaType::QString && f.length() < 0; break;
        case 'T': ok = id == QMetaType::QString && (s.laenge ? f.length() == s.laenge : f.length() > 0); break;
        }
        if (!ok)
            falsch << QStringLiteral("%1 (%2, Länge %3)").arg(s.name, QString::fromLatin1(f.metaType().name()))
                          .arg(f.length());
    }
    QVERIFY2(fehlt.isEmpty(), qPrintable(QStringLiteral("fehlt: ") + fehlt.join(QStringLiteral(", "))));
    QVERIFY2(falsch.isEmpty(), qPrintable(QStringLiteral("Typ: ") + falsch.join(QStringLiteral(", "))));
    QCOMPARE(rec.count(), soll.size());
}

void tst_schema::nurGeleerteTabellen()
{
    const QStringList da = m_p->haupt().tables();
    for (const char *t : {"Angebotspositionen", "Angebotevorlagen", "Textbausteine", "Sonderkonditionen",
                          "Seriennummern"}) {
        QVERIFY2(da.contains(QLatin1String(t)), t);
        QVERIFY(m_p->haupt().record(QLatin1String(t)).count() > 2);
        QCOMPARE(m_p->ausfuehren(QStringLiteral("delete from %1").arg(QLatin1String(t))), 0);
    }
}

// Every text column: at most its length (also for other writers), compared
// without regard to case.
void tst_schema::texteLaengeUndGrossschreibung()
{
    for (QSqlDatabase db : {m_p->haupt(), m_p->lokal()}) {
        TransactionGuard tx(db);
        for (const QString &t : db.tables()) {
            const QSqlRecord rec = db.record(t);
            for (int i = 0; i < rec.count(); ++i) {
                const QSqlField f = rec.field(i);
                if (f.metaType().id() != QMetaType::QString)
                    continue;
                const QString ins = QStringLiteral("insert into %1 (%2) values (:v)").arg(t, f.name());
                if (f.length() > 0) {
                    try {
                        execSql(db, ins, {{QStringLiteral("v"), QString(f.length() + 1, QLatin1Char('x'))}});
                        QFAIL(qPrintable(QStringLiteral("%1.%2 nimmt zu langen Text").arg(t, f.name())));
                    } catch (const EDatabaseError &e) {
                        QVERIFY2(e.text().contains(QStringLiteral("%1.%2").arg(t, f.name())), qPrintable(e.text()));
                    }
                }
                // the shortest text column has room for this
                execSql(db, ins, {{QStringLiteral("v"), QStringLiteral("ää-Abc")}});
                QVERIFY2(TestProgrammordner::wert(db, QStringLiteral("select count(*) from %1 where %2 = 'ää-aBC'")
                                                          .arg(t, f.name()))
                                 .toInt() == 1,
                         qPrintable(t + QLatin1Char('.') + f.name()));
                execSql(db, QStringLiteral("delete from %1 where %2 = 'ää-Abc'").arg(t, f.name()));
            }
        }
        tx.rollback();
    }
}

void tst_schema::indizesDerAbfragen_data()
{
    QTest::addColumn<bool>("lokal");
    QTest::addColumn<QString>("sql");
    QTest::newRow("NeueIdPositionen") << false << Tdm_datenbank::SQL_qry_Artikelpositionen_Neue_ID_Ermitteln;
    QTest::newRow("NeueIdVorschau") << false << Tdm_datenbank::SQL_qry_ArtikelpositionenVorschau_Neue_ID_Ermitteln;
    QTest::newRow("NeueIdLokal") << true << Tdm_datenbank::SQL_qry_Artikelpositionen_Lokal_Neue_ID_Ermitteln;
    QTest::newRow("qry_artikel") << false << QString(Tdm_datenbank::SQL_qry_artikel).replace(":partikel", "'T100'");
    QTest::newRow("qry_kunde") << false
                               << QString(Tdm_datenbank::SQL_qry_kunde).replace(":pfirma", "1").replace(":pkunde", "2");
    QTest::newRow("Rechnung") << false
                              << "select * from Artikelpositionen where Firma = 1 and Periode_re = 20120101 "
                                 "and Rechnung_nr = 3";
    QTest::newRow("Kunde") << false << "select * from Artikelpositionen where Firma = 1 and Kunde = 2";
    QTest::newRow("Vorschau") << false << "select * from ArtikelpositionenVorschau where BenutzerSession = '1'";
    QTest::newRow("Protokoll") << false << QString(Tdm_datenbank::SQL_qry_protokoll_loeschen)
                                               .replace(":pdatum", "'2020-01-01 00:00:00'");
    // the overview's "last six months" reads only the recent rows
    QTest::newRow("Übersicht") << false
                               << "select * from Artikelpositionen where Firma = 1 and Rechnung_nr <> 0 and Status >= 50 "
                                  "and Rechnungsdatum >= '2024-01-01 00:00:00' INDEX Artikelpositionen_Datum";
}

void tst_schema::indizesDerAbfragen()
{
    QFETCH(bool, lokal);
    QFETCH(QString, sql);
    // an expected index may follow the statement after " INDEX "
    const QString erwartet = sql.contains(QStringLiteral(" INDEX ")) ? sql.section(QStringLiteral(" INDEX "), 1)
                                                                     : QStringLiteral("INDEX");
    sql = sql.section(QStringLiteral(" INDEX "), 0, 0);
    QSqlQuery q(lokal ? m_p->lokal() : m_p->haupt());
    QVERIFY2(q.exec(QStringLiteral("EXPLAIN QUERY PLAN ") + sql), qPrintable(q.lastError().text()));
    QStringList plan;
    while (q.next())
        plan << q.value(3).toString();
    QVERIFY2(plan.join(' ').contains(erwartet), qPrintable(plan.join(QStringLiteral(" | "))));
}

void tst_schema::werkzeugLegtAnUndBehaelt()
{
    QTemporaryDir d;
    const QString haupt = d.filePath(Datenbank::HauptDatei), lokal = d.filePath(Datenbank::LokalDatei);
    Lauf l = starte({QStringLiteral("--ordner"), d.path(), QStringLiteral("--testdaten")});
    QVERIFY2(l.rc == 0, qPrintable(l.out));
    QVERIFY(l.out.contains(QStringLiteral("TORVANEXDB.mdb angelegt")));
    QVERIFY(QFileInfo(haupt).isFile() && QFileInfo(lokal).isFile());
    QCOMPARE(QFileInfo(haupt).permissions() & (QFile::ReadOther | QFile::ReadGroup), QFile::Permissions());

    // the main file is encrypted, the local one is plain
    QFile h(haupt), lo(lokal);
    QVERIFY(h.open(QIODevice::ReadOnly) && lo.open(QIODevice::ReadOnly));
    QVERIFY(!h.read(16).startsWith("SQLite format 3"));
    QVERIFY(lo.read(16).startsWith("SQLite format 3"));
    h.close();
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, openSqlCipher(QStringLiteral("ohne_passwort"), haupt));
    QSqlDatabase::removeDatabase(QStringLiteral("ohne_passwort"));
    {
        QSqlDatabase db = openSqlCipher(QStringLiteral("mit_passwort"), haupt, QStringLiteral("plimvad"));
        QCOMPARE(TestProgrammordner::wert(db, QStringLiteral("select count(*) from Kundenstamm")).toInt(), 21);
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("mit_passwort"));

    // a second run keeps both files byte for byte
    const QByteArray vorher = hashOf(haupt), vorherLokal = hashOf(lokal);
    const QDateTime zeit = QFileInfo(haupt).lastModified();
    l = starte({QStringLiteral("--ordner"), d.path(), QStringLiteral("--testdaten")});
    QVERIFY2(l.rc == 0, qPrintable(l.out));
    QVERIFY2(l.out.contains(QStringLiteral("unverändert")), qPrintable(l.out));
    QCOMPARE(hashOf(haupt), vorher);
    QCOMPARE(hashOf(lokal), vorherLokal);
    QCOMPARE(QFileInfo(haupt).lastModified(), zeit);

    // a missing local file is made again, the main file stays
    QVERIFY(QFile::remove(lokal));
    l = starte({QStringLiteral("--ordner"), d.path()});
    QVERIFY2(l.rc == 0, qPrintable(l.out));
    QVERIFY(QFileInfo(lokal).isFile());
    QCOMPARE(hashOf(haupt), vorher);
}

void tst_schema::werkzeugUeberschreibt()
{
    QTemporaryDir d;
    const QString haupt = d.filePath(Datenbank::HauptDatei);
    QCOMPARE(starte({QStringLiteral("--ordner"), d.path()}).rc, 0);
    {
        QSqlDatabase db = openSqlCipher(QStringLiteral("leer"), haupt, QStringLiteral("plimvad"));
        QCOMPARE(TestProgrammordner::wert(db, QStringLiteral("select count(*) from Artikelstamm")).toInt(), 0);
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("leer"));

    const Lauf l = starte({QStringLiteral("--ordner"), d.path(), QStringLiteral("--testdaten"),
                           QStringLiteral("--ueberschreiben")});
    QVERIFY2(l.rc == 0, qPrintable(l.out));
    {
        QSqlDatabase db = openSqlCipher(QStringLiteral("voll"), haupt, QStringLiteral("plimvad"));
        QVERIFY(TestProgrammordner::wert(db, QStringLiteral("select count(*) from Artikelstamm")).toInt() >= 40);
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("voll"));
    // no temporary files left behind
    QCOMPARE(QDir(d.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

void tst_schema::werkzeugFehler()
{
    QTemporaryDir d;
    Lauf l = starte({QStringLiteral("--ordner"), d.filePath(QStringLiteral("gibtsnicht"))});
    QCOMPARE(l.rc, 1);
    QVERIFY2(l.out.contains(QStringLiteral("nicht vorhanden")), qPrintable(l.out));
    l = starte({QStringLiteral("--testdaten")});
    QCOMPARE(l.rc, 2);
    QVERIFY(l.out.contains(QStringLiteral("--ordner")));
    l = starte({QStringLiteral("--ordner"), d.path(), QStringLiteral("--falsch")});
    QCOMPARE(l.rc, 2);
    QVERIFY(QDir(d.path()).isEmpty());
}

// Replacing fails half-way (the local file's name is taken by a folder): the
// main file is left exactly as it was and no temporary file remains.
void tst_schema::ueberschreibenOhneSchadenBeiFehler()
{
    QTemporaryDir d;
    Datenbank::DatenbankenAnlegen(d.path(), Datenbank::Inhalt::Testdaten, false);
    const QString haupt = d.filePath(Datenbank::HauptDatei);
    const QByteArray vorher = hashOf(haupt);
    QVERIFY(QFile::remove(d.filePath(Datenbank::LokalDatei)));
    QVERIFY(QDir(d.path()).mkdir(Datenbank::LokalDatei));
    QVERIFY_THROWS_EXCEPTION(TvxError, Datenbank::DatenbankenAnlegen(d.path(), Datenbank::Inhalt::NurSchema, true));
    QCOMPARE(hashOf(haupt), vorher);
    QCOMPARE(QDir(d.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

// Each shipped invoice carries the totals the document computes from its rows:
// line amounts rounded to cents, VAT per class on the class sums, total.
void tst_schema::testdatenRechnungenStimmen()
{
    const double satz[5] = {0, 20, 10, 13, 0}; // the default rates A to D
    QSqlQuery q = prepareQuery(m_p->haupt(), QStringLiteral(
        "select p.Rechnung_nr, p.Menge, p.Preis, p.Rabatt, a.MWST, k.MWST, p.Rechnungsbetrag, "
        "p.MWSTABetrag_O, p.MWSTBBetrag_O, p.MWSTCBetrag_O, p.MWSTDBetrag_O, p.Status, p.Hinweis, "
        "p.Identifikation, p.ZahlungsStatus, p.Periode_re, p.Kunde, p.Rechnungsdatum "
        "from Artikelpositionen p join Artikelstamm a on a.Artikel = p.Artikel "
        "join Kundenstamm k on k.Firma = p.Firma and k.Kunde = p.Kunde order by p.Rechnung_nr, p.Position_X"));
    execQuery(q);
    struct Rechnung {
        double netto[5] = {0, 0, 0, 0, 0};
        bool mwst = true;
        QSet<double> betrag, vat[4];
        QSet<QString> kopf;
        int status = 0;
        QString hinweis;
        int zeilen = 0;
    };
    QMap<int, Rechnung> r;
    while (q.next()) {
        Rechnung &x = r[q.value(0).toInt()];
        const double b = cent((100 - q.value(3).toDouble()) * (q.value(2).toDouble() * q.value(1).toDouble()) / 100);
        const int klasse = q.value(4).toInt();
        QVERIFY(klasse >= 1 && klasse <= 4);
        x.netto[klasse] += b;
        x.mwst = q.value(5).toInt() == 1;
        x.betrag << q.value(6).toDouble();
        for (int c = 0; c < 4; ++c)
            x.vat[c] << q.value(7 + c).toDouble();
        x.status = q.value(11).toInt();
        x.hinweis = q.value(12).toString();
        QCOMPARE(q.value(13).toString(), QStringLiteral("RECHNUNG"));
        QCOMPARE(q.value(14).toString(), QStringLiteral("Keine Zahlung"));
        QCOMPARE(q.value(15).toInt(), 20120101);
        x.kopf << q.value(16).toString() + QLatin1Char('|') + q.value(17).toString();
        ++x.zeilen;
    }
    QVERIFY(r.size() >= 8);
    QCOMPARE(m_p->wert(QStringLiteral("select count(*) from Artikelpositionen")).toInt(),
             std::accumulate(r.begin(), r.end(), 0, [](int s, const Rechnung &x) { return s + x.zeilen; }));
    int stornos = 0;
    for (auto it = r.begin(); it != r.end(); ++it) {
        const Rechnung &x = it.value();
        const QString nr = QString::number(it.key());
        QVERIFY2(x.betrag.size() == 1 && x.kopf.size() == 1, qPrintable(nr));
        double total = 0, vat[5] = {0, 0, 0, 0, 0};
        for (int c = 1; c <= 4; ++c) {
            vat[c] = x.mwst ? cent(x.netto[c] * (satz[c] / 100)) : 0.0;
            total += x.netto[c];
            total += vat[c];
        }
        QVERIFY2(std::abs(*x.betrag.begin() - cent(total)) < 0.001,
                 qPrintable(QStringLiteral("Rechnung %1: %2 gespeichert, %3 gerechnet").arg(nr).arg(*x.betrag.begin())
                                .arg(cent(total))));
        for (int c = 0; c < 4; ++c)
            QVERIFY2(x.vat[c].size() == 1 && std::abs(*x.vat[c].begin() - vat[c + 1]) < 0.001, qPrintable(nr));
        if (x.status == 52) {
            ++stornos;
            const QString orig = x.hinweis.section(QStringLiteral("Storno von Rechnung Nr. "), 1);
            QVERIFY2(r.contains(orig.toInt()), qPrintable(x.hinweis));
            QCOMPARE(*x.betrag.begin(), -*r[orig.toInt()].betrag.begin());
            QVERIFY(total < 0);
        } else {
            QCOMPARE(x.status, 50);
        }
    }
    QCOMPARE(stornos, 1);
    // keys without gaps, due dates where the customer has a payment term
    QCOMPARE(m_p->wert(QStringLiteral("select count(distinct ID_Artikelpositionen) - max(ID_Artikelpositionen) "
                                      "from Artikelpositionen")).toInt(), 0);
    QCOMPARE(m_p->wert(QStringLiteral(
        "select count(*) from Artikelpositionen p join Kundenstamm k on k.Firma = p.Firma and k.Kunde = p.Kunde "
        "where p.Status = 50 and k.Nettotage <> 0 and "
        "(p.ZahlungBis is null or p.ZahlungBis <> datetime(p.Valutadatum, '+' || k.Nettotage || ' days'))")).toInt(), 0);
}

void tst_schema::testdatenStammdaten()
{
    // search terms as the master-data windows set them: the first 20 characters of the name
    QCOMPARE(m_p->wert(QStringLiteral("select count(*) from Kundenstamm where Suchbegriff <> substr(Name_KU, 1, 20)")).toInt(), 0);
    QCOMPARE(m_p->wert(QStringLiteral("select count(*) from Artikelstamm where Suchbegriff <> substr(Name_AR, 1, 20)")).toInt(), 0);
    QCOMPARE(m_p->wert(QStringLiteral("select count(distinct MWST) from Artikelstamm")).toInt(), 4);
    QCOMPARE(m_p->wert(QStringLiteral("select count(*) from Artikelstamm where Name_AR = '.'")).toInt(), 1);
    QCOMPARE(m_p->wert(QStringLiteral("select Name_AG from Artikelgruppen where Artikelgruppe = 1")).toString(),
             QStringLiteral("Allgemein"));
    QCOMPARE(m_p->wert(QStringLiteral("select count(*) from Kundenstamm where Kunde = 0")).toInt(), 1);
    QCOMPARE(m_p->wert(QStringLiteral("select count(*) from Kundenstamm where InnerGemLieferung = 1")).toInt(), 1);
    QCOMPARE(m_p->wert(QStringLiteral("select count(*) from Kundenstamm where Sichtbar = 0")).toInt(), 1);
    // every invoice lies within the last six months of the fixed clock
    const QDateTime aeltestes = m_p->wert(QStringLiteral("select min(Rechnungsdatum) from Artikelpositionen")).toDateTime();
    QVERIFY(aeltestes.date() >= TestProgrammordner::jetzt().date().addDays(-180));
    QVERIFY(m_p->wert(QStringLiteral("select Anschrift_FI from Firmenstamm")).toString().startsWith(QStringLiteral("{\\rtf1")));
}

QTEST_GUILESS_MAIN(tst_schema)
#include "tst_schema.moc"

// A file of an older version (and with a column of a sibling program) gains the
// columns added since, keeps its rows and foreign columns, and the new columns
// carry their length checks; a second run changes nothing.
void tst_schema::aeltereDateiWirdNachgezogen()
{
    QTemporaryDir d;
    const QString datei = d.filePath(Datenbank::HauptDatei);
    Datenbank::DateiAnlegen(datei, Datenbank::Passwort,
                            QStringLiteral("CREATE TABLE Firmenstamm (Firma INTEGER, Name_FI TEXT(50), "
                                           "Kassenkennung TEXT(20));"
                                           "INSERT INTO Firmenstamm VALUES (1, 'Alt & Gut', 'K1');"
                                           "CREATE TABLE Protokoll (DatumZeit DATETIME, Aufzeichnung TEXT(255), "
                                           "Benutzer TEXT(50));"));
    {
        QSqlDatabase db = openSqlCipher(QStringLiteral("alt"), datei, Datenbank::Passwort);
        const QStringList neu = Datenbank::SchemaNachziehen(db, Datenbank::HauptSchemaSql());
        QVERIFY(neu.contains(QStringLiteral("Firmenstamm.IBAN_FI")));
        QVERIFY(neu.contains(QStringLiteral("Firmenstamm.Anschrift_FI")));
        QVERIFY(neu.contains(QStringLiteral("Protokoll_DatumZeit")));          // indexes of present tables
        QVERIFY(!neu.contains(QStringLiteral("Artikelpositionen_Datum")));      // not of absent ones
        QVERIFY(!neu.join(' ').contains(QStringLiteral("Kundenstamm"))); // absent tables are not created
        const QSqlRecord rec = db.record(QStringLiteral("Firmenstamm"));
        QVERIFY(rec.indexOf(QStringLiteral("Kassenkennung")) >= 0);
        QCOMPARE(rec.field(QStringLiteral("UStIdNr_FI")).length(), 20);
        QCOMPARE(TestProgrammordner::wert(db, QStringLiteral("select Name_FI || Kassenkennung from Firmenstamm"))
                     .toString(), QStringLiteral("Alt & GutK1"));
        QSqlQuery q(db);
        QVERIFY(!q.exec(QStringLiteral("update Firmenstamm set BIC_FI = 'ABCDEFGHIJKL'")));
        QVERIFY(q.lastError().text().contains(QStringLiteral("BIC_FI")));
        QVERIFY(Datenbank::SchemaNachziehen(db, Datenbank::HauptSchemaSql()).isEmpty());
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("alt"));
}
