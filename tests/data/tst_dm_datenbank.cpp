// The data module: connection strings, connections, key allocation, loaders.
#include "data/datenbankanlage.h"
#include "data/u_dm_datenbank.h"
#include "platform/core/errors.h"
#include "platform/sql/sqlutil.h"
#include "tests/support/testprogrammordner.h"

#include <QCryptographicHash>
#include <QDir>
#include <QtTest>

namespace {

QByteArray hashOf(const QString &file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

} // namespace

class tst_dm_datenbank : public QObject {
    Q_OBJECT
private slots:
    void verbindungstext_data();
    void verbindungstext();
    void verbindungstextFehler_data();
    void verbindungstextFehler();
    void verbindungstexteDesProgramms();
    void oeffnenMitFehler_data();
    void oeffnenMitFehler();
    void nurEinModul();

    void neueId_data();
    void neueId();
    void neueIdOhneVerbindung();

    void ladeArtikel();
    void ladeArtikelFehlt();
    void ladeArtikelFehlerSchliesstAbfrage();
    void ladePreise();
    void ladeKunde();
    void ladeKundeUngueltig();
    void ladeFirma();
    void ohneAnfuehrungszeichen_data();
    void ohneAnfuehrungszeichen();

    void doppelterKundeUndZuLangerText();
    void protokoll();
};

void tst_dm_datenbank::verbindungstext_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("datei");
    QTest::addColumn<QString>("passwort");
    QTest::newRow("Haupt") << "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/p/TORVANEXDB.mdb;"
                              "Jet OLEDB:Database Password=plimvad;Persist Security Info=False"
                           << "/p/TORVANEXDB.mdb" << "plimvad";
    QTest::newRow("Lokal") << "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/p/TORVANEXDB_Lokal.mdb;"
                              "Persist Security Info=False;"
                           << "/p/TORVANEXDB_Lokal.mdb" << "";
    QTest::newRow("Gross/klein, Leerzeichen") << " data source = /a b/x.mdb ; JET OLEDB:DATABASE PASSWORD = geheim ;"
                                              << "/a b/x.mdb" << "geheim";
    QTest::newRow("Anführungszeichen") << "Data Source=\"/a;b/x.mdb\";Jet OLEDB:Database Password='p;w'"
                                       << "/a;b/x.mdb" << "p;w";
    QTest::newRow("andere Angaben") << "Provider=TVX.SQLCipher;Mode=Share Deny None;User ID=Admin;Data Source=x.mdb"
                                    << "x.mdb" << "";
}

void tst_dm_datenbank::verbindungstext()
{
    QFETCH(QString, text);
    QFETCH(QString, datei);
    QFETCH(QString, passwort);
    const TVerbindungsangaben a = VerbindungstextZerlegen(text);
    QCOMPARE(a.Datenquelle, datei);
    QCOMPARE(a.Passwort, passwort);
}

void tst_dm_datenbank::verbindungstextFehler_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("leer") << "";
    QTest::newRow("ohne Datenquelle") << "Provider=Microsoft.Jet.OLEDB.4.0;Persist Security Info=False";
    QTest::newRow("leere Datenquelle") << "Data Source=;";
    QTest::newRow("ohne =") << "Data Source=/x.mdb;Unsinn";
}

void tst_dm_datenbank::verbindungstextFehler()
{
    QFETCH(QString, text);
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, VerbindungstextZerlegen(text));
}

void tst_dm_datenbank::verbindungstexteDesProgramms()
{
    QCOMPARE(HauptVerbindungstext(QStringLiteral("/opt/tvx/")),
             QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/opt/tvx/TORVANEXDB.mdb;"
                            "Jet OLEDB:Database Password=plimvad;Persist Security Info=False"));
    QCOMPARE(LokalVerbindungstext(QStringLiteral("/opt/tvx")),
             QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/opt/tvx/TORVANEXDB_Lokal.mdb;"
                            "Persist Security Info=False;"));
    // a folder with ';' still reads back
    QCOMPARE(VerbindungstextZerlegen(HauptVerbindungstext(QStringLiteral("/a;b/"))).Datenquelle,
             QStringLiteral("/a;b/TORVANEXDB.mdb"));
}

void tst_dm_datenbank::oeffnenMitFehler_data()
{
    QTest::addColumn<QString>("fall");
    QTest::newRow("falsches Passwort") << "passwort";
    QTest::newRow("ohne Passwort") << "ohne";
    QTest::newRow("beschädigt") << "kaputt";
    QTest::newRow("fehlt") << "fehlt";
}

// A connection that cannot be opened says why, in the driver's words, and
// leaves the file exactly as it was (or absent).
void tst_dm_datenbank::oeffnenMitFehler()
{
    QFETCH(QString, fall);
    TestProgrammordner p(TestProgrammordner::Daten::Klein, TestProgrammordner::Modul::NichtOeffnen);
    QString text = HauptVerbindungstext(p.ordner());
    if (fall == QLatin1String("passwort"))
        text.replace(QStringLiteral("plimvad"), QStringLiteral("falsch"));
    else if (fall == QLatin1String("ohne"))
        text = LokalVerbindungstext(p.ordner()).replace(Datenbank::LokalDatei, Datenbank::HauptDatei);
    if (fall == QLatin1String("kaputt")) {
        QFile f(p.hauptDatei());
        QVERIFY(f.open(QIODevice::ReadWrite));
        f.seek(0);
        f.write(QByteArray(4096, '\x5a'));
    }
    if (fall == QLatin1String("fehlt"))
        QVERIFY(QFile::remove(p.hauptDatei()));
    const QByteArray vorher = hashOf(p.hauptDatei());

    Tdm_datenbank dm;
    dm.Datenbank_Verbindung.ConnectionString = text;
    try {
        dm.Datenbank_Verbindung.Open();
        QFAIL("geöffnet");
    } catch (const EDatabaseError &e) {
        QVERIFY2(e.text().contains(QStringLiteral("TORVANEXDB.mdb")), qPrintable(e.text()));
        if (fall == QLatin1String("fehlt"))
            QVERIFY2(e.text().contains(QStringLiteral("nicht vorhanden")), qPrintable(e.text()));
    }
    QVERIFY(!dm.Datenbank_Verbindung.Connected());
    QCOMPARE(hashOf(p.hauptDatei()), vorher);
    QCOMPARE(QFileInfo::exists(p.hauptDatei()), fall != QLatin1String("fehlt"));
    QVERIFY(!QFileInfo::exists(p.hauptDatei() + QStringLiteral("-journal")));
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, NeueIdPositionen());
}

void tst_dm_datenbank::nurEinModul()
{
    TestProgrammordner p(TestProgrammordner::Daten::Klein);
    QCOMPARE(dm_datenbank, p.dm());
    QVERIFY_THROWS_EXCEPTION(TvxError, Tdm_datenbank());
    // the failed second module took nothing away from the first
    QCOMPARE(dm_datenbank, p.dm());
    QVERIFY(p.dm()->Datenbank_Verbindung.Connected());
    QCOMPARE(NeueIdPositionen(), 1);
}

void tst_dm_datenbank::neueId_data()
{
    QTest::addColumn<QString>("tabelle");
    QTest::addColumn<QString>("spalte");
    QTest::addColumn<bool>("lokal");
    QTest::newRow("NeueIdPositionen") << "Artikelpositionen" << "ID_Artikelpositionen" << false;
    QTest::newRow("NeueIdVorschau") << "ArtikelpositionenVorschau" << "ID_Artikelpositionen" << false;
    QTest::newRow("NeueIdLokal") << "Artikelpositionen" << "ID_Artikelposition" << true;
}

// Empty table: 1 (the aggregate's empty maximum reads as 0, never -1);
// after 1, 2, 5: 6 (gaps stay).
void tst_dm_datenbank::neueId()
{
    QFETCH(QString, tabelle);
    QFETCH(QString, spalte);
    QFETCH(bool, lokal);
    TestProgrammordner p(TestProgrammordner::Daten::Klein);
    const QSqlDatabase db = lokal ? p.lokal() : p.haupt();
    auto neu = [&] {
        return lokal ? NeueIdLokal() : tabelle == QLatin1String("Artikelpositionen") ? NeueIdPositionen()
                                                                                     : NeueIdVorschau();
    };
    QCOMPARE(neu(), 1);
    for (int id : {1, 2, 5})
        execSql(db, QStringLiteral("insert into %1 (%2) values (:id)").arg(tabelle, spalte), {{"id", id}});
    QCOMPARE(neu(), 6);
    QCOMPARE(neu(), 6); // allocating writes nothing
}

void tst_dm_datenbank::neueIdOhneVerbindung()
{
    TestProgrammordner p(TestProgrammordner::Daten::Klein);
    p.dm()->Datenbank_Verbindung_Lokal.Close();
    try {
        NeueIdLokal();
        QFAIL("keine Ausnahme");
    } catch (const EDatabaseError &e) {
        QVERIFY(e.text().contains(QStringLiteral("Datenbank_Verbindung_Lokal")));
    }
    QCOMPARE(NeueIdPositionen(), 1); // the main connection is unaffected
}

void tst_dm_datenbank::ladeArtikel()
{
    TestProgrammordner p;
    TArtikelDaten a;
    LadeArtikel(QStringLiteral("T120"), a);
    QVERIFY(a.Gefunden);
    QCOMPARE(a.Artikel, QStringLiteral("T120"));
    QCOMPARE(a.Name_AR, QStringLiteral("Küchenarbeitsplatte Eiche massiv"));
    QCOMPARE(a.Einheit, QStringLiteral("m"));
    QCOMPARE(a.Artikelgruppe, 2);
    QCOMPARE(a.MWST, 1);
    QCOMPARE(a.Preis1, 189.0);
    QCOMPARE(a.Lagerbestand, 18.5);
    QVERIFY(a.Lagerfuehrung);
    QVERIFY(a.Rabattfaehig);
    QVERIFY(a.PreisAenderbar);
    QCOMPARE(a.Lieferant1, 0);
    QCOMPARE(a.ID_GS, -1);
    QCOMPARE(a.ErloesKontoInland, QStringLiteral("4000"));
    QCOMPARE(a.UmrechnungAEHinWEH, 1.0);

    // the database compares text without regard to case
    LadeArtikel(QStringLiteral("t120"), a);
    QVERIFY(a.Gefunden);
    QCOMPARE(a.Artikel, QStringLiteral("T120"));

    // flags are true exactly for 1; NULL reads as 0 / empty
    p.ausfuehren(QStringLiteral("update Artikelstamm set Lagerfuehrung = 2, PreisAenderbar = null, "
                                "Lager7 = 3.5, Name_AR_e = null where Artikel = 'T120'"));
    LadeArtikel(QStringLiteral("T120"), a);
    QVERIFY(!a.Lagerfuehrung);
    QVERIFY(!a.PreisAenderbar);
    QCOMPARE(a.Lager7, 3.5);
    QCOMPARE(a.Lager(7), 3.5);
    QCOMPARE(a.Name_AR_e, QString());
}

void tst_dm_datenbank::ladeArtikelFehlt()
{
    TestProgrammordner p;
    TArtikelDaten a;
    LadeArtikel(QStringLiteral("T120"), a); // a filled record is reset
    LadeArtikel(QStringLiteral("GIBTSNICHT"), a);
    QVERIFY(!a.Gefunden);
    QCOMPARE(a.MWST, -1);
    QCOMPARE(a.Artikelgruppe, -1);
    QCOMPARE(a.Lieferant1, -17);
    QCOMPARE(a.Lieferant2, -17);
    QCOMPARE(a.ID_GS, -1);
    QVERIFY(a.PreisAenderbar);
    QCOMPARE(a.ErloesKontoEU, QStringLiteral("0"));
    QCOMPARE(a.UmrechnungAEHinWEH, 1.0);
    QCOMPARE(a.Name_AR, QString());
    QCOMPARE(a.Preis1, 0.0);
    // no trimming: a blank makes another number
    LadeArtikel(QStringLiteral(" T120"), a);
    QVERIFY(!a.Gefunden);
}

// Errors reach the caller, the record keeps its initial values, and the query
// is finished: the table can be dropped right afterwards.
void tst_dm_datenbank::ladeArtikelFehlerSchliesstAbfrage()
{
    TestProgrammordner p;
    TArtikelDaten a;
    p.ausfuehren(QStringLiteral("alter table Artikelstamm rename to Artikelstamm_alt"));
    p.ausfuehren(QStringLiteral("create table Artikelstamm as select Artikel, Name_AR from Artikelstamm_alt"));
    try {
        LadeArtikel(QStringLiteral("T100"), a);
        QFAIL("keine Ausnahme");
    } catch (const EDatabaseError &e) {
        QVERIFY2(e.text().contains(QStringLiteral("Name_AR_e")), qPrintable(e.text()));
    }
    QVERIFY(!a.Gefunden);
    QCOMPARE(a.MWST, -1);
    p.ausfuehren(QStringLiteral("drop table Artikelstamm"));
    TPreisDaten preise;
    try {
        LadePreise(QStringLiteral("T100"), preise);
        QFAIL("keine Ausnahme");
    } catch (const EDatabaseError &e) {
        QVERIFY2(e.text().contains(QStringLiteral("Artikelstamm")), qPrintable(e.text()));
    }
    p.ausfuehren(QStringLiteral("drop table Artikelstamm_alt"));
}

void tst_dm_datenbank::ladePreise()
{
    TestProgrammordner p;
    TPreisDaten d{1, 2, 3};
    LadePreise(QStringLiteral("T130"), d);
    QCOMPARE(d.Preis1, 64.5);
    QCOMPARE(d.Preis2, 61.28);
    QCOMPARE(d.Preis3, 58.05);
    LadePreise(QStringLiteral("GIBTSNICHT"), d);
    QCOMPARE(d.Preis1, 0.0);
    QCOMPARE(d.Preis2, 0.0);
    QCOMPARE(d.Preis3, 0.0);
}

void tst_dm_datenbank::ladeKunde()
{
    TestProgrammordner p;
    TKundenDaten k;
    LadeKunde(QStringLiteral("1"), QStringLiteral("2"), k);
    QVERIFY(k.Gefunden);
    QCOMPARE(k.Firma, 1);
    QCOMPARE(k.Kunde, 2);
    QCOMPARE(k.Name_KU, QStringLiteral("Bäckerei Wimmer GmbH"));
    QCOMPARE(k.Strasse_Hnr, QStringLiteral("Getreidegasse 3"));
    QCOMPARE(k.PLZ, QStringLiteral("5020"));
    QCOMPARE(k.Ort, QStringLiteral("Salzburg"));
    QCOMPARE(k.Kundengruppe, 2);
    QCOMPARE(k.Preisliste, 1);
    QCOMPARE(k.Skontotage, 10);
    QCOMPARE(k.Skontoprozent, 2.0);
    QCOMPARE(k.Nettotage, 30);
    QVERIFY(!k.Zahlschein);
    QCOMPARE(k.EMail1, QStringLiteral("office@baeckerei-wimmer.at"));
    QCOMPARE(k.Land, QStringLiteral("Austria"));

    // blanks around the numbers are fine; the one-time customer exists
    LadeKunde(QStringLiteral(" 1 "), QStringLiteral(" 0"), k);
    QVERIFY(k.Gefunden);
    QCOMPARE(k.Name_KU, QStringLiteral("Barverkauf / Einmalkunde"));

    // not found: only the flag changes
    LadeKunde(QStringLiteral("1"), QStringLiteral("999"), k);
    QVERIFY(!k.Gefunden);
    QCOMPARE(k.Name_KU, QStringLiteral("Barverkauf / Einmalkunde"));
    LadeKunde(QStringLiteral("2"), QStringLiteral("2"), k);
    QVERIFY(!k.Gefunden);
}

void tst_dm_datenbank::ladeKundeUngueltig()
{
    TestProgrammordner p;
    TKundenDaten k;
    k.Gefunden = true;
    k.Name_KU = QStringLiteral("bleibt");
    // no query at all: works even without a connection
    p.dm()->Datenbank_Verbindung.Close();
    for (const char *text : {"12a", "", " ", "1.5", "x"}) {
        LadeKunde(QStringLiteral("1"), QLatin1String(text), k);
        QVERIFY(!k.Gefunden);
        QCOMPARE(k.Name_KU, QStringLiteral("bleibt"));
    }
    p.dm()->Datenbank_Verbindung.Open();
    QVERIFY_THROWS_EXCEPTION(EConvertError, LadeKunde(QStringLiteral("eins"), QStringLiteral("2"), k));
    QVERIFY(!k.Gefunden);
}

void tst_dm_datenbank::ladeFirma()
{
    TestProgrammordner p;
    TFirmenDaten f;
    LadeFirma(1, f);
    QVERIFY(f.Gefunden);
    QCOMPARE(f.Firma, 1);
    QCOMPARE(f.Name_FI, QStringLiteral("Tischlerei & IT-Service Brandstätter"));
    QCOMPARE(f.Waehrungskuerzel, QStringLiteral("EUR"));
    QCOMPARE(f.LogoPfad, QStringLiteral("logo.png"));
    QCOMPARE(f.EMAIL1, QStringLiteral("office@brandstaetter-holz.at"));

    p.ausfuehren(QStringLiteral("update Firmenstamm set LogoPfad = '\"/srv/bilder/mein logo.png\"'"));
    LadeFirma(1, f);
    QCOMPARE(f.LogoPfad, QStringLiteral("/srv/bilder/mein logo.png"));
    p.ausfuehren(QStringLiteral("update Firmenstamm set LogoPfad = 'logo.png\"'"));
    LadeFirma(1, f);
    QCOMPARE(f.LogoPfad, QStringLiteral("logo.png"));

    LadeFirma(2, f);
    QVERIFY(!f.Gefunden);
    QCOMPARE(f.Firma, -1);
    QCOMPARE(f.Name_FI, QString());
    QCOMPARE(f.LogoPfad, QString());
}

void tst_dm_datenbank::ohneAnfuehrungszeichen_data()
{
    QTest::addColumn<QString>("ein");
    QTest::addColumn<QString>("aus");
    QTest::newRow("leer") << "" << "";
    QTest::newRow("nur eines") << "\"" << "";
    QTest::newRow("zwei") << "\"\"" << "";
    QTest::newRow("umschlossen") << "\"C:\\Bilder\\a.png\"" << "C:\\Bilder\\a.png";
    QTest::newRow("vorne") << "\"a.png" << "a.png";
    QTest::newRow("hinten") << "a.png\"" << "a.png";
    QTest::newRow("innen bleibt") << "a\"b" << "a\"b";
    QTest::newRow("nur ein Paar") << "\"\"a\"\"" << "\"a\"";
}

void tst_dm_datenbank::ohneAnfuehrungszeichen()
{
    QFETCH(QString, ein);
    QFETCH(QString, aus);
    QCOMPARE(OhneAnfuehrungszeichen(ein), aus);
}

// Other writers are held to the schema too: a customer number is unique within
// a company, and an over-long text is refused; the driver says so.
void tst_dm_datenbank::doppelterKundeUndZuLangerText()
{
    TestProgrammordner p(TestProgrammordner::Daten::Klein);
    const QString ins = QStringLiteral("insert into Kundenstamm (Firma, Kunde, Name_KU) values (:f, :k, :n)");
    try {
        p.ausfuehren(ins, {{"f", 1}, {"k", 1}, {"n", "Doppelt"}});
        QFAIL("doppelter Kunde angenommen");
    } catch (const EDatabaseError &e) {
        QVERIFY2(e.text().contains(QStringLiteral("UNIQUE"), Qt::CaseInsensitive), qPrintable(e.text()));
    }
    p.ausfuehren(ins, {{"f", 2}, {"k", 1}, {"n", "andere Firma"}});
    try {
        p.ausfuehren(ins, {{"f", 1}, {"k", 3}, {"n", QString(61, QLatin1Char('N'))}});
        QFAIL("zu langer Name angenommen");
    } catch (const EDatabaseError &e) {
        QVERIFY2(e.text().contains(QStringLiteral("Kundenstamm.Name_KU")), qPrintable(e.text()));
    }
    p.ausfuehren(ins, {{"f", 1}, {"k", 3}, {"n", QString(60, QChar(0x00fc))}}); // 60 characters, not bytes
    QCOMPARE(p.wert(QStringLiteral("select count(*) from Kundenstamm where Firma = 1")).toInt(), 4);
    try {
        p.ausfuehren(QStringLiteral("insert into Artikelstamm (Artikel) values ('A1')"));
        QFAIL("doppelter Artikel angenommen");
    } catch (const EDatabaseError &e) {
        QVERIFY2(e.text().contains(QStringLiteral("UNIQUE"), Qt::CaseInsensitive), qPrintable(e.text()));
    }
}

void tst_dm_datenbank::protokoll()
{
    TestProgrammordner p(TestProgrammordner::Daten::Leer);
    const QDateTime grenze(QDate(2014, 6, 17), QTime(0, 0));
    p.dm()->ProtokollZeileAnhaengen(grenze.addSecs(-1), QStringLiteral("alt"), QStringLiteral("Anna"));
    p.dm()->ProtokollZeileAnhaengen(grenze, QStringLiteral("genau an der Grenze"), QString());
    p.dm()->ProtokollZeileAnhaengen(TestProgrammordner::jetzt(), QStringLiteral("neu"), QString());
    QCOMPARE(p.dm()->ProtokollLoeschen(grenze), 1);
    QCOMPARE(p.wert(QStringLiteral("select count(*) from Protokoll")).toInt(), 2);
    QCOMPARE(p.wert(QStringLiteral("select min(DatumZeit) from Protokoll")).toDateTime(), grenze);
    QCOMPARE(p.wert(Tdm_datenbank::SQL_qry_protokoll), QVariant());
}

QTEST_GUILESS_MAIN(tst_dm_datenbank)
#include "tst_dm_datenbank.moc"
