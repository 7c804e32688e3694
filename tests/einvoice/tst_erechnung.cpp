// Electronic invoices: the CII XML of stored invoices against the printed
// document, the official schema and rules (xmllint, Saxon with the EN 16931,
// Factur-X and XRechnung stylesheets), the Factur-X PDF/A-3 file, and the
// refusal when data is missing.
#include "../report/pdfwords.h"

#include "app/core/u_global.h"
#include "app/core/u_sprache.h"
#include "app/core/u_strings.h"
#include "data/u_dm_datenbank.h"
#include "einvoice/u_ecodes.h"
#include "einvoice/u_erechnung.h"
#include "einvoice/u_eschema.h"
#include "einvoice/u_facturx.h"
#include "output/u_storno.h"
#include "output/udm_rechnungen.h"
#include "tests/support/rechnungseinstellungen.h"
#include "tests/support/testprogrammordner.h"

#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>

namespace {

constexpr int kPeriode = 20240101;
const QString kRam = QStringLiteral("urn:un:unece:uncefact:data:standard:ReusableAggregateBusinessInformationEntity:100");

struct Pos {
    QString artikel;
    double menge = 1;
    double preis = 0;
    double rabatt = 0;
    QString text = {};
};

// An issued invoice of period 20240101; its rows as issuing writes them.
void rechnungAnlegen(const TestProgrammordner &p, int nr, int kunde, const QList<Pos> &positionen)
{
    int id = p.wert(QStringLiteral("select coalesce(max(ID_Artikelpositionen), 0) from Artikelpositionen")).toInt();
    int x = 0;
    for (const Pos &pos : positionen) {
        p.ausfuehren(QStringLiteral(
                         "INSERT INTO Artikelpositionen (ID_Artikelpositionen, Firma, Periode_ls, Periode_re, Periode_au, "
                         "Periode_bv, Lieferschein_nr, Rechnung_nr, Auftrag_nr, Barverkauf_nr, Position_X, Lieferdatum, "
                         "Kunde, Artikel, Menge, Preis, Rabatt, Einkaufspreis, Text, Status, Identifikation, "
                         "ZahlungsStatus, Rechnungsdatum, Valutadatum, Hinweis, Rechnungsbetrag, Kopftext, Fusstext, "
                         "Zusatztext1, ArtikelName, BenutzerSession) "
                         "VALUES (:id, 1, 0, 20240101, 0, 0, 0, :nr, 0, 0, :x, '2024-06-12 00:00:00', :kunde, :artikel, "
                         ":menge, :preis, :rabatt, 0, :text, 50, 'RECHNUNG', 'Keine Zahlung', '2024-06-14 00:00:00', "
                         "'2024-06-14 00:00:00', '', 0, 'Vielen Dank für Ihren Auftrag.', 'Zahlbar binnen 30 Tagen.', "
                         "'', '', '')"),
                     {{QStringLiteral("id"), ++id},
                      {QStringLiteral("nr"), nr},
                      {QStringLiteral("x"), ++x},
                      {QStringLiteral("kunde"), kunde},
                      {QStringLiteral("artikel"), pos.artikel},
                      {QStringLiteral("menge"), pos.menge},
                      {QStringLiteral("preis"), pos.preis},
                      {QStringLiteral("rabatt"), pos.rabatt},
                      {QStringLiteral("text"), pos.text}});
    }
}

QString quelle() { return TestProgrammordner::quellordner(); }

// The official validation artefacts, unpacked from tests/einvoice/regeln.tar.xz
// by the build (TVX_EINVOICE_RULES points elsewhere to try newer ones).
QString regeln()
{
    const QString env = qEnvironmentVariable("TVX_EINVOICE_RULES");
    return env.isEmpty() ? QStringLiteral(TVX_EINVOICE_REGELN) : env;
}

struct Lauf {
    int rc = -1;
    QString out, err;
};
Lauf ausfuehren(const QString &prog, const QStringList &args, int ms = 300000)
{
    QProcess p;
    p.start(prog, args);
    Lauf l;
    if (!p.waitForFinished(ms))
        return l;
    l.rc = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    l.out = QString::fromUtf8(p.readAllStandardOutput());
    l.err = QString::fromUtf8(p.readAllStandardError());
    return l;
}

QString ramText(const QDomElement &e, const QString &name)
{
    return e.elementsByTagNameNS(kRam, name).item(0).toElement().text();
}

// "1.234,56" as the document prints 1234.56
QString gedruckt(const QString &xmlBetrag, int vorzeichen)
{
    return QLocale().toString(xmlBetrag.toDouble() * vorzeichen, 'f', 2);
}

QByteArray lesen(const QString &datei)
{
    QFile f(datei);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TstERechnung : public QObject {
    Q_OBJECT

    struct Umgebung {
        TestProgrammordner p;
        Tdm_rechnungen dm;
        QTemporaryDir tmp;
        Umgebung() : p(TestProgrammordner::Daten::Testdaten)
        {
            setProgrammordner(p.ordner());
            Sprache::setProgramFolder(p.ordner());
            RechnungseinstellungenSetzen();
            dm.bericht.layoutLaden(p.pfad(QStringLiteral("Reports/Rechnung.rtm")));
            // XRechnung needs a buyer reference (Leitweg-ID) of every buyer
            p.ausfuehren(QStringLiteral("UPDATE Kundenstamm SET Kaeuferreferenz = '04011000-12345-34' "
                                        "WHERE coalesce(Kaeuferreferenz, '') = ''"));
        }
        ~Umgebung()
        {
            setProgrammordner({});
            Sprache::setProgramFolder({});
        }
        // The plain PDF as the output routine's PDF branch writes it; the report's
        // totals of that run in summen.
        QString pdf(int nr, const QString &name)
        {
            Gutschrift = false;
            if (dm.bericht.oeffnen(1, kPeriode, nr) == 0)
                return {};
            dm.rp_rechnung.documentName = QStringLiteral("RechnungNr_%1").arg(nr);
            dm.rp_rechnung.twoPass = true;
            const QString datei = tmp.filePath(name);
            dm.pdfAusgeben(datei);
            summen = dm.bericht.summen();
            dm.bericht.schliessen();
            return datei;
        }
        TRechnungssummen summen;
    };

    // the documents of all cases, validated together at the end
    QTemporaryDir m_dokumente;
    QStringList m_faelle;

    // Lays out the invoice of one case in u; returns its number.
    static int fallAnlegen(Umgebung &u, const QString &fall)
    {
        TestProgrammordner &p = u.p;
        p.ausfuehren(QStringLiteral("INSERT INTO Artikelstamm (Artikel, Name_AR, Einheit, Artikelgruppe, MWST, Preis1, "
                                    "Sichtbar) VALUES ('EA', 'Montagearbeit', 'Std', 1, 1, 1, 1), "
                                    "('EB', 'Brennholz', 'kg', 1, 2, 1, 1), ('EC', 'Leimholz', 'm²', 1, 3, 1, 1)"));
        const QList<Pos> inland{{QStringLiteral("TEXT"), 1, 0, 0, QStringLiteral("Wie besprochen, Ihre Küche im Erdgeschoss")},
                                {QStringLiteral("EA"), 6.5, 58.0},
                                {QStringLiteral("EB"), 120, 0.35, 10},
                                {QStringLiteral("EA"), 1.25, 64.5, 5}};
        if (fall == QLatin1String("inland")) {
            rechnungAnlegen(p, 1, 2, inland);
        } else if (fall == QLatin1String("ohne MwSt")) {
            rechnungAnlegen(p, 1, 19, {{QStringLiteral("EA"), 8, 52.0}, {QStringLiteral("EC"), 3.2, 32.4, 3}});
        } else if (fall == QLatin1String("innergemeinschaftlich")) {
            rechnungAnlegen(p, 1, 11, {{QStringLiteral("EC"), 4.2, 189.0, 3}, {QStringLiteral("EB"), 24, 9.8}});
        } else if (fall == QLatin1String("Gutschrift")) {
            rechnungAnlegen(p, 1, 2, inland);
            u.pdf(1, QStringLiteral("vorher.pdf")); // issued and printed: totals written back
            return StornoSchreiben(1, kPeriode, 1);
        } else if (fall == QLatin1String("Rappenrundung")) {
            Einstellung::set(QStringLiteral("cb_rappenrundung"), true);
            // A: 10.12 + VAT 2.02 -> 2.00; B: 2.00 + 0.20; total 14.32 -> 14.30
            rechnungAnlegen(p, 1, 2, {{QStringLiteral("EA"), 1, 10.12}, {QStringLiteral("EB"), 2, 1.0}});
        } else if (fall == QLatin1String("60 Positionen")) {
            QList<Pos> viele;
            for (int i = 0; i < 60; ++i)
                viele << Pos{i % 3 == 0 ? QStringLiteral("EA") : i % 3 == 1 ? QStringLiteral("EB") : QStringLiteral("EC"),
                             1.0 + i % 7, 3.17 + i * 1.03, i % 5 == 0 ? 7.5 : 0.0};
            rechnungAnlegen(p, 1, 6, viele);
        }
        return 1;
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_dokumente.isValid());
        for (const char *d : {"alle", "xrechnung", "svrl-en16931", "svrl-facturx", "svrl-xrechnung"})
            QVERIFY(QDir(m_dokumente.path()).mkpath(QLatin1String(d)));
    }

    void codes_data()
    {
        QTest::addColumn<QString>("land");
        QTest::addColumn<QString>("code");
        QTest::newRow("de") << QStringLiteral("Österreich") << QStringLiteral("AT");
        QTest::newRow("en") << QStringLiteral("Austria") << QStringLiteral("AT");
        QTest::newRow("fr") << QStringLiteral("Allemagne") << QStringLiteral("DE");
        QTest::newRow("es") << QStringLiteral("Alemania") << QStringLiteral("DE");
        QTest::newRow("fr CH") << QStringLiteral("Suisse") << QStringLiteral("CH");
        QTest::newRow("es CH") << QStringLiteral("Suiza") << QStringLiteral("CH");
        QTest::newRow("list US") << QStringLiteral("United States") << QStringLiteral("US");
        QTest::newRow("list CA") << QStringLiteral("Canada") << QStringLiteral("CA");
        QTest::newRow("case/blanks") << QStringLiteral("  italien ") << QStringLiteral("IT");
        QTest::newRow("own name") << QStringLiteral("Polska") << QStringLiteral("PL");
        QTest::newRow("code") << QStringLiteral("nl") << QStringLiteral("NL");
        QTest::newRow("not a country") << QStringLiteral("Europe") << QString();
        QTest::newRow("empty") << QString() << QString();
    }
    void codes()
    {
        QFETCH(QString, land);
        QFETCH(QString, code);
        QCOMPARE(EInvoice::Laendercode(land), code);
    }

    void einheiten()
    {
        const QList<std::pair<const char *, const char *>> tabelle{
            {"Stk", "H87"}, {"kg", "KGM"}, {"g", "GRM"}, {"m", "MTR"},  {"m²", "MTK"},     {"m³", "MTQ"},
            {"to", "TNE"},  {"Std", "HUR"}, {"km", "KMT"}, {"l", "LTR"}, {"pauschal", "LS"}, {"rm", "C62"},
            {"", "C62"}};
        for (const auto &[einheit, code] : tabelle)
            QCOMPARE(EInvoice::Einheitencode(QString::fromUtf8(einheit)), QLatin1String(code));
        QCOMPARE(EInvoice::Waehrungscode(QStringLiteral("€")), QStringLiteral("EUR"));
        QCOMPARE(EInvoice::Waehrungscode(QStringLiteral("USD")), QStringLiteral("USD"));
        QCOMPARE(EInvoice::Waehrungscode(QStringLiteral("Taler")), QString());
        QVERIFY(EInvoice::IbanGueltig(QStringLiteral("AT49 2040 4000 0123 4567")));
        QVERIFY(EInvoice::IbanGueltig(QStringLiteral("DE02120300000000202051")));
        QVERIFY(!EInvoice::IbanGueltig(QStringLiteral("AT482040400001234567")));
        QVERIFY(!EInvoice::IbanGueltig(QStringLiteral("1234")));
    }

    // Each case as Factur-X PDF and as XRechnung: amounts as printed, the PDF/A-3 file.
    void faelle_data()
    {
        QTest::addColumn<QString>("fall");
        QTest::addColumn<QString>("kategorien"); // VAT categories of the breakdown
        QTest::addColumn<QString>("typ");
        for (const auto &[fall, kat, typ] :
             {std::tuple{"inland", "S S", "380"}, std::tuple{"ohne MwSt", "E", "380"},
              std::tuple{"innergemeinschaftlich", "K", "380"}, std::tuple{"Gutschrift", "S S", "381"},
              std::tuple{"Rappenrundung", "S S", "380"}, std::tuple{"60 Positionen", "S S S", "380"}})
            QTest::newRow(fall) << QString::fromUtf8(fall) << QString::fromLatin1(kat) << QString::fromLatin1(typ);
    }
    void faelle()
    {
        QFETCH(QString, fall);
        QFETCH(QString, kategorien);
        QFETCH(QString, typ);
        Umgebung u;
        const int nr = fallAnlegen(u, fall);
        const QString name = QString(fall).replace(QLatin1Char(' '), QLatin1Char('_'));

        // the plain document first, as the PDF branch writes it
        const QString pdf = u.pdf(nr, name + QStringLiteral(".pdf"));
        QVERIFY(!pdf.isEmpty());
        const TRechnungssummen gedruckteSummen = u.summen;
        const QString text = pdf::layoutText(pdf);

        const QByteArray fx = EInvoice::CiiXml(1, kPeriode, nr, EInvoice::Syntax::FacturX);
        const QString xrDatei = EInvoice::XRechnungSchreiben(
            EInvoice::XRechnungDateiname(u.tmp.filePath(QStringLiteral("%1_RechnungNr_%2_w.pdf").arg(kPeriode).arg(nr))),
            1, kPeriode, nr);
        QCOMPARE(xrDatei, u.tmp.filePath(QStringLiteral("%1_RechnungNr_%2_w.xml").arg(kPeriode).arg(nr)));
        QCOMPARE(QFile::permissions(xrDatei) & (QFile::ReadGroup | QFile::ReadOther), QFile::Permissions());
        const QByteArray xr = lesen(xrDatei);
        QVERIFY(xr.contains("urn:xeinkauf.de:kosit:xrechnung_3.0"));

        // every amount as printed (a credit note carries them with the other sign)
        QDomDocument doc;
        QVERIFY(doc.setContent(fx, true));
        const QDomElement wurzel = doc.documentElement();
        QCOMPARE(ramText(wurzel, QStringLiteral("TypeCode")), typ);
        const int vz = typ == QLatin1String("381") ? -1 : 1;
        const QDomElement summe =
            wurzel.elementsByTagNameNS(kRam, QStringLiteral("SpecifiedTradeSettlementHeaderMonetarySummation")).item(0).toElement();
        const QString zahlbetrag = ramText(summe, QStringLiteral("DuePayableAmount"));
        QCOMPARE(qRound64(zahlbetrag.toDouble() * 100) * vz, qRound64(gedruckteSummen.gesamt * 100));
        QVERIFY2(text.contains(QRegularExpression(QStringLiteral("Gesamtbetrag €\\s+") +
                                                  QRegularExpression::escape(gedruckt(zahlbetrag, vz)))),
                 qPrintable(gedruckt(zahlbetrag, vz)));
        double mwst = 0;
        for (double m : gedruckteSummen.mwst)
            mwst += m;
        QCOMPARE(qRound64(ramText(summe, QStringLiteral("TaxTotalAmount")).toDouble() * 100) * vz, qRound64(mwst * 100));
        const QDomNodeList zeilen = wurzel.elementsByTagNameNS(kRam, QStringLiteral("IncludedSupplyChainTradeLineItem"));
        qint64 zeilenSumme = 0;
        for (int i = 0; i < zeilen.size(); ++i) {
            const QString b = ramText(zeilen.item(i).toElement(), QStringLiteral("LineTotalAmount"));
            zeilenSumme += qRound64(b.toDouble() * 100);
            QVERIFY2(text.contains(gedruckt(b, vz)), qPrintable(b));
        }
        QCOMPARE(zeilenSumme * vz, qRound64(gedruckteSummen.netto * 100));
        // the text-only position is a note, not a line
        QCOMPARE(zeilen.size(), fall == QLatin1String("60 Positionen") ? 60 : fall == QLatin1String("inland") || fall == QLatin1String("Gutschrift") ? 3 : 2);
        QStringList kat;
        const QDomNodeList steuern =
            wurzel.elementsByTagNameNS(kRam, QStringLiteral("ApplicableHeaderTradeSettlement")).item(0).toElement().elementsByTagNameNS(kRam, QStringLiteral("ApplicableTradeTax"));
        for (int i = 0; i < steuern.size(); ++i) {
            const QDomElement s = steuern.item(i).toElement();
            kat << ramText(s, QStringLiteral("CategoryCode"));
            const QString betrag = ramText(s, QStringLiteral("CalculatedAmount"));
            if (betrag.toDouble() != 0)
                QVERIFY2(text.contains(gedruckt(betrag, vz)), qPrintable(betrag));
        }
        QCOMPARE(kat.join(QLatin1Char(' ')), kategorien);
        if (fall == QLatin1String("Rappenrundung"))
            QCOMPARE(ramText(summe, QStringLiteral("RoundingAmount")), QStringLiteral("-0.02"));
        if (fall == QLatin1String("Gutschrift")) {
            const QDomElement ref = wurzel.elementsByTagNameNS(kRam, QStringLiteral("InvoiceReferencedDocument")).item(0).toElement();
            QCOMPARE(ramText(ref, QStringLiteral("IssuerAssignedID")), QStringLiteral("1"));
        }
        if (fall == QLatin1String("innergemeinschaftlich")) {
            QVERIFY(fx.contains("<ram:ExemptionReasonCode>VATEX-EU-IC</ram:ExemptionReasonCode>"));
            QVERIFY(fx.contains("DE812345678") && fx.contains("ATU12345678"));
        }
        if (fall == QLatin1String("inland"))
            QVERIFY(fx.contains("Wie besprochen, Ihre Küche im Erdgeschoss"));

        // Factur-X: the same file, now PDF/A-3b with the XML inside
        EInvoice::FacturXEinbetten(pdf, 1, kPeriode, nr);
        const Lauf check = ausfuehren(QStringLiteral("qpdf"), {QStringLiteral("--check"), pdf});
        QVERIFY2(check.rc == 0 && check.out.contains(QLatin1String("No syntax or stream encoding errors")),
                 qPrintable(check.out + check.err));
        const Lauf anhang = ausfuehren(QStringLiteral("qpdf"), {QStringLiteral("--show-attachment=factur-x.xml"), pdf});
        QCOMPARE(anhang.rc, 0);
        QCOMPARE(anhang.out.toUtf8(), fx);
        QCOMPARE(pdf::layoutText(pdf), text);
        try {
            QPDF q;
            q.processFile(QFile::encodeName(pdf).constData());
            QCOMPARE(QString::fromStdString(q.getPDFVersion()), QStringLiteral("1.7"));
            QPDFObjectHandle root = q.getRoot();
            QVERIFY(root.getKey("/OutputIntents").isArray());
            QPDFObjectHandle af = root.getKey("/AF");
            QVERIFY(af.isArray() && af.getArrayNItems() == 1);
            QPDFObjectHandle dateiangabe = af.getArrayItem(0);
            QCOMPARE(QString::fromStdString(dateiangabe.getKey("/AFRelationship").getName()), QStringLiteral("/Alternative"));
            QCOMPARE(QString::fromStdString(dateiangabe.getKey("/UF").getUTF8Value()), QStringLiteral("factur-x.xml"));
            QPDFObjectHandle ef = dateiangabe.getKey("/EF").getKey("/F");
            QCOMPARE(QString::fromStdString(ef.getDict().getKey("/Subtype").getName()), QStringLiteral("/text/xml"));
            QCOMPARE(ef.getDict().getKey("/Params").getKey("/Size").getIntValue(), fx.size());
            QVERIFY(ef.getDict().getKey("/Params").getKey("/ModDate").isString());
            QVERIFY(root.getKey("/Names").getKey("/EmbeddedFiles").isDictionary());
            QPDFObjectHandle meta = root.getKey("/Metadata");
            QVERIFY(!meta.getDict().hasKey("/Filter"));
            const std::shared_ptr<Buffer> roh = meta.getRawStreamData();
            const QString xmp = QString::fromUtf8(reinterpret_cast<const char *>(roh->getBuffer()), qsizetype(roh->getSize()));
            QDomDocument xmpDoc;
            QVERIFY2(xmpDoc.setContent(xmp, true), "XMP is well-formed XML");
            QVERIFY(xmp.contains(QLatin1String("<pdfaid:part>3</pdfaid:part>")));
            QVERIFY(xmp.contains(QLatin1String("<pdfaid:conformance>B</pdfaid:conformance>")));
            QVERIFY(xmp.contains(QLatin1String("urn:factur-x:pdfa:CrossIndustryDocument:invoice:1p0#")));
            QVERIFY(xmp.contains(QLatin1String("<fx:ConformanceLevel>EN 16931</fx:ConformanceLevel>")));
            QVERIFY(xmp.contains(QLatin1String("<fx:DocumentFileName>factur-x.xml</fx:DocumentFileName>")));
            QVERIFY(xmp.contains(QStringLiteral("<rdf:li xml:lang=\"x-default\">RechnungNr_%1</rdf:li>").arg(nr)));
            QPDFObjectHandle info = q.getTrailer().getKey("/Info");
            QCOMPARE(QString::fromStdString(info.getKey("/Title").getUTF8Value()), QStringLiteral("RechnungNr_%1").arg(nr));
            QCOMPARE(QString::fromStdString(info.getKey("/ModDate").getUTF8Value()), QStringLiteral("D:20240614103000+02'00'"));
            QVERIFY(xmp.contains(QLatin1String("<xmp:ModifyDate>2024-06-14T10:30:00+02:00</xmp:ModifyDate>")));
        } catch (const std::exception &e) {
            QFAIL(e.what());
        }

        // to look at: TVX_EINVOICE_KEEP=<folder> keeps the files of each case
        const QString behalten = qEnvironmentVariable("TVX_EINVOICE_KEEP");
        if (!behalten.isEmpty() && QDir().mkpath(behalten)) {
            QFile::copy(pdf, behalten + QStringLiteral("/%1.pdf").arg(name));
            QFile::copy(xrDatei, behalten + QStringLiteral("/%1-xr.xml").arg(name));
        }

        // for the rules, all at once at the end
        QFile a(m_dokumente.filePath(QStringLiteral("alle/%1-fx.xml").arg(name)));
        QVERIFY(a.open(QIODevice::WriteOnly) && a.write(fx) == fx.size());
        a.close();
        QFile b(m_dokumente.filePath(QStringLiteral("alle/%1-xr.xml").arg(name)));
        QVERIFY(b.open(QIODevice::WriteOnly) && b.write(xr) == xr.size());
        b.close();
        QVERIFY(QFile::copy(b.fileName(), m_dokumente.filePath(QStringLiteral("xrechnung/%1-xr.xml").arg(name))));
        m_faelle << name;
    }

    // The shipped invoices (period 20120101): the e-invoice totals are the printed
    // ones; the one-time customer without an address is refused.
    void gelieferteRechnungen_data()
    {
        QTest::addColumn<int>("nr");
        for (int nr = 1; nr <= 10; ++nr)
            QTest::newRow(qPrintable(QStringLiteral("invoice %1").arg(nr))) << nr;
    }
    void gelieferteRechnungen()
    {
        QFETCH(int, nr);
        Umgebung u;
        Gutschrift = false;
        QVERIFY(u.dm.bericht.oeffnen(1, 20120101, nr) > 0);
        u.dm.rp_rechnung.twoPass = true;
        const QString pdf = u.tmp.filePath(QStringLiteral("g.pdf"));
        u.dm.pdfAusgeben(pdf);
        const TRechnungssummen gedruckt = u.dm.bericht.summen();
        u.dm.bericht.schliessen();
        const QString kunde = u.p.wert(QStringLiteral("SELECT Kunde FROM Artikelpositionen WHERE Periode_re = 20120101 "
                                                     "AND Rechnung_nr = :n"),
                                       {{QStringLiteral("n"), nr}})
                                  .toString();
        if (kunde == QLatin1String("0")) {
            QVERIFY_THROWS_EXCEPTION(EInvoice::EUnvollstaendig, EInvoice::CiiXml(1, 20120101, nr, EInvoice::Syntax::FacturX));
            QCOMPARE(EInvoice::Fehlend(1, 20120101, nr, EInvoice::Syntax::FacturX),
                     (QStringList{txt("ei_13"), txt("ei_14"), txt("ei_15"), txt("ei_16")}));
            return;
        }
        for (const EInvoice::Syntax syntax : {EInvoice::Syntax::FacturX, EInvoice::Syntax::XRechnung}) {
            const QByteArray xml = EInvoice::CiiXml(1, 20120101, nr, syntax);
            QDomDocument doc;
            QVERIFY(doc.setContent(xml, true));
            const int vz = ramText(doc.documentElement(), QStringLiteral("TypeCode")) == QLatin1String("381") ? -1 : 1;
            QCOMPARE(vz == -1, gedruckt.gesamt < 0);
            const QDomElement summe = doc.documentElement()
                                          .elementsByTagNameNS(kRam, QStringLiteral("SpecifiedTradeSettlementHeaderMonetarySummation"))
                                          .item(0)
                                          .toElement();
            QCOMPARE(qRound64(ramText(summe, QStringLiteral("DuePayableAmount")).toDouble() * 100) * vz,
                     qRound64(gedruckt.gesamt * 100));
            QCOMPARE(qRound64(ramText(summe, QStringLiteral("LineTotalAmount")).toDouble() * 100) * vz,
                     qRound64(gedruckt.netto * 100));
            double mwst = 0;
            for (double m : gedruckt.mwst)
                mwst += m;
            QCOMPARE(qRound64(ramText(summe, QStringLiteral("TaxTotalAmount")).toDouble() * 100) * vz, qRound64(mwst * 100));
            const bool xr = syntax == EInvoice::Syntax::XRechnung;
            const QString name = QStringLiteral("geliefert_%1-%2.xml").arg(nr).arg(xr ? QStringLiteral("xr") : QStringLiteral("fx"));
            QFile f(m_dokumente.filePath(QStringLiteral("alle/") + name));
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(xml) == xml.size());
            f.close();
            if (xr)
                QVERIFY(f.copy(m_dokumente.filePath(QStringLiteral("xrechnung/") + name)));
        }
        m_faelle << QStringLiteral("geliefert %1").arg(nr);
    }

    // The in-process schema check finds what xmllint finds.
    void schema()
    {
        Umgebung u;
        fallAnlegen(u, QStringLiteral("inland"));
        QByteArray xml = EInvoice::CiiXml(1, kPeriode, 1, EInvoice::Syntax::FacturX);
        QVERIFY(EInvoice::SchemaFehler(xml).isEmpty());
        // two elements out of their order
        xml.replace("<ram:TypeCode>380</ram:TypeCode>", "");
        xml.replace("</ram:IssueDateTime>", "</ram:IssueDateTime><ram:TypeCode>380</ram:TypeCode>");
        const QStringList fehler = EInvoice::SchemaFehler(xml);
        QVERIFY(!fehler.isEmpty());
        QVERIFY2(fehler.first().contains(QLatin1String("TypeCode")), qPrintable(fehler.join(QLatin1Char('\n'))));
        QVERIFY(!EInvoice::SchemaFehler("<kein xml").isEmpty());
    }

    // The documents of all cases: schema (xmllint) and the three rule sets.
    void offizielleRegeln()
    {
        QCOMPARE(m_faelle.size(), 6 + 9);
        const QString r = regeln();
        const QString alle = m_dokumente.filePath(QStringLiteral("alle"));
        QStringList dateien;
        for (const QString &f : QDir(alle).entryList({QStringLiteral("*.xml")}, QDir::Files))
            dateien << alle + QLatin1Char('/') + f;
        QCOMPARE(dateien.size(), 2 * m_faelle.size());
        const Lauf lint = ausfuehren(QStringLiteral("xmllint"),
                                     QStringList{QStringLiteral("--noout"), QStringLiteral("--schema"),
                                                 r + QStringLiteral("/facturx/schema-EN16931/FACTUR-X_EN16931.xsd")} + dateien);
        QVERIFY2(lint.rc == 0, qPrintable(lint.err));

        struct Satz {
            const char *xslt, *quelle, *ziel;
        };
        const Satz saetze[] = {{"en16931/cii/xslt/EN16931-CII-validation.xslt", "alle", "svrl-en16931"},
                               {"facturx/FACTUR-X_EN16931.xslt", "alle", "svrl-facturx"},
                               {"xrechnung/XRechnung-CII-validation.xslt", "xrechnung", "svrl-xrechnung"}};
        QStringList verstoesse;
        for (const Satz &s : saetze) {
            // one JVM per rule set: Saxon transforms a whole folder
            const Lauf saxon = ausfuehren(
                QStringLiteral("java"),
                {QStringLiteral("-cp"), QStringLiteral("/usr/share/java/Saxon-HE.jar"), QStringLiteral("net.sf.saxon.Transform"),
                 QStringLiteral("-s:") + m_dokumente.filePath(QLatin1String(s.quelle)),
                 QStringLiteral("-xsl:") + r + QLatin1Char('/') + QLatin1String(s.xslt),
                 QStringLiteral("-o:") + m_dokumente.filePath(QLatin1String(s.ziel))});
            QVERIFY2(saxon.rc == 0, qPrintable(saxon.err.right(2000)));
            const QDir ziel(m_dokumente.filePath(QLatin1String(s.ziel)));
            const QStringList berichte = ziel.entryList({QStringLiteral("*.xml")}, QDir::Files);
            QCOMPARE(berichte.size(), QDir(m_dokumente.filePath(QLatin1String(s.quelle))).entryList({QStringLiteral("*.xml")}, QDir::Files).size());
            for (const QString &datei : berichte) {
                QDomDocument svrl;
                QVERIFY(svrl.setContent(lesen(ziel.filePath(datei)), true));
                const QDomNodeList fa = svrl.elementsByTagNameNS(QStringLiteral("http://purl.oclc.org/dsdl/svrl"),
                                                                 QStringLiteral("failed-assert"));
                for (int i = 0; i < fa.size(); ++i) {
                    const QDomElement e = fa.item(i).toElement();
                    const QString flag = e.attribute(QStringLiteral("flag"));
                    const QString zeile = QStringLiteral("%1 %2 [%3] %4 %5")
                                              .arg(QLatin1String(s.ziel), datei, flag, e.attribute(QStringLiteral("id")),
                                                   e.text().simplified().left(300));
                    // the Factur-X rules flag nothing: each of their asserts is an error. They
                    // do not know XRechnung's guideline identifier (BT-24), which is all they may
                    // find in an XRechnung document.
                    const bool fxKennung = e.attribute(QStringLiteral("id")) == QLatin1String("FX-SCH-A-000556") &&
                                           datei.endsWith(QLatin1String("-xr.xml"));
                    if ((flag == QLatin1String("fatal") || flag == QLatin1String("error") || flag.isEmpty()) && !fxKennung)
                        verstoesse << zeile;
                    else
                        qInfo("%s", qPrintable(zeile)); // advice of the rules, recorded
                }
            }
        }
        QVERIFY2(verstoesse.isEmpty(), qPrintable(verstoesse.join(QLatin1Char('\n'))));
    }

    // Missing data: the exact message, and no file written or changed.
    void fehlendeAngaben_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<bool>("xrechnung");
        QTest::addColumn<QStringList>("fehlt");
        QTest::newRow("contact, XRechnung") << QStringLiteral("UPDATE Firmenstamm SET Kontakt_FI = '', Telefon_FI = '12'")
                                            << true << QStringList{QStringLiteral("ei_8"), QStringLiteral("ei_9")};
        QTest::newRow("contact, Factur-X") << QStringLiteral("UPDATE Firmenstamm SET Kontakt_FI = '', Telefon_FI = ''")
                                           << false << QStringList{};
        QTest::newRow("IBAN") << QStringLiteral("UPDATE Firmenstamm SET IBAN_FI = 'AT482040400001234567'") << false
                              << QStringList{QStringLiteral("ei_11")};
        QTest::newRow("seller") << QStringLiteral("UPDATE Firmenstamm SET UStIdNr_FI = NULL, Land_FI = 'Europe'") << false
                                << QStringList{QStringLiteral("ei_6"), QStringLiteral("ei_7")};
        QTest::newRow("buyer") << QStringLiteral("UPDATE Kundenstamm SET Ort = '', Land = '' WHERE Kunde = 2") << false
                               << QStringList{QStringLiteral("ei_15"), QStringLiteral("ei_16")};
        QTest::newRow("intra-community, VAT charged")
            << QStringLiteral("UPDATE Kundenstamm SET InnerGemLieferung = 1 WHERE Kunde = 2") << false
            << QStringList{QStringLiteral("ei_20")};
        QTest::newRow("intra-community, no VAT id")
            << QStringLiteral("UPDATE Kundenstamm SET InnerGemLieferung = 1, MWST = 0, UIDNummer = 'keine' WHERE Kunde = 2")
            << false << QStringList{QStringLiteral("ei_17")};
        QTest::newRow("VAT class") << QStringLiteral("UPDATE Artikelstamm SET MWST = 7 WHERE Artikel = 'EB'") << false
                                   << QStringList{QStringLiteral("ei_19")};
        QTest::newRow("buyer reference") << QStringLiteral("UPDATE Kundenstamm SET Kaeuferreferenz = NULL WHERE Kunde = 2")
                                         << true << QStringList{QStringLiteral("ei_18")};
    }
    void fehlendeAngaben()
    {
        QFETCH(QString, sql);
        QFETCH(bool, xrechnung);
        QFETCH(QStringList, fehlt);
        Umgebung u;
        fallAnlegen(u, QStringLiteral("inland"));
        u.p.ausfuehren(sql);
        const QString pdf = u.pdf(1, QStringLiteral("r.pdf"));
        const QByteArray vorher = lesen(pdf);
        const QString xml = u.tmp.filePath(QStringLiteral("r.xml"));
        QStringList texte;
        for (const QString &k : fehlt)
            texte << txt(k) + (k == QLatin1String("ei_19") ? QStringLiteral("EB") : QString());
        QCOMPARE(EInvoice::Fehlend(1, kPeriode, 1, xrechnung ? EInvoice::Syntax::XRechnung : EInvoice::Syntax::FacturX),
                 texte);
        try {
            if (xrechnung)
                EInvoice::XRechnungSchreiben(xml, 1, kPeriode, 1);
            else
                EInvoice::FacturXEinbetten(pdf, 1, kPeriode, 1);
            QVERIFY2(fehlt.isEmpty(), "nothing refused");
        } catch (const EInvoice::EUnvollstaendig &e) {
            QCOMPARE(e.fehlt, texte);
            QCOMPARE(e.text(), txt("ei_1") + QStringLiteral("\n- ") + texte.join(QStringLiteral("\n- ")));
            QCOMPARE(QString::fromStdString(e.what()), e.text());
            QVERIFY(!QFile::exists(xml));
            QCOMPARE(lesen(pdf), vorher);
        }
        if (fehlt.isEmpty())
            QVERIFY(lesen(pdf).contains("/AFRelationship"));
    }

    // An unreadable PDF is refused and left as it was; so is an invoice that does not exist.
    void kaputtesPdfBleibt()
    {
        Umgebung u;
        fallAnlegen(u, QStringLiteral("inland"));
        const QString pdf = u.tmp.filePath(QStringLiteral("kaputt.pdf"));
        QFile f(pdf);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("%PDF-1.4\nkein PDF");
        f.close();
        // not PDF/A: rendered again through the report; so a broken file is replaced
        // by the document, never left half written
        EInvoice::FacturXEinbetten(pdf, 1, kPeriode, 1);
        QVERIFY(EInvoice::IstPdfA(pdf));
        QVERIFY(pdf::layoutText(pdf).contains(QLatin1String("Gesamtbetrag")));
        QVERIFY_THROWS_EXCEPTION(TvxError, EInvoice::CiiXml(1, kPeriode, 99, EInvoice::Syntax::FacturX));
        const QByteArray vorher = lesen(pdf);
        QVERIFY_THROWS_EXCEPTION(TvxError, EInvoice::FacturXEinbetten(pdf, 1, kPeriode, 99));
        QCOMPARE(lesen(pdf), vorher);
        QCOMPARE(QDir(u.tmp.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
    }
};

QTEST_MAIN(TstERechnung)
#include "tst_erechnung.moc"
