#include "app/core/u_einstellungen.h"
#include "app/core/u_global.h"
#include "maintenance/u_export.h"
#include "maintenance/u_exportformate.h"
#include "platform/core/dialogs.h"
#include "platform/core/errors.h"
#include "platform/ini/inifile.h"
#include "tests/support/testprogrammordner.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QRegularExpression>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTextTable>
#include <QTimer>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

// A small result with the awkward values: umlauts and the euro sign, a
// separator, a quote and a line break inside a text, zero, negative and large
// numbers, midnight and a time of day, a boolean and NULL.
struct Beispiel {
    QStringList titel{"Nr", "Name", "Betrag", "Datum", "Bezahlt", "Hinweis"};
    QList<QVariantList> zeilen{
        {1, QStringLiteral("Müller; \"Sohn\""), 1234567.5, QDateTime(QDate(2024, 6, 14), QTime(10, 30)), true,
         QVariant()},
        {2, QStringLiteral("Zeile 1\r\nZeile 2 €"), 0.0, QDateTime(QDate(2024, 6, 1), QTime(0, 0)), false,
         QStringLiteral("x")},
        {20120101, QStringLiteral("Ärger & <Tags>"), -0.125, QDateTime(QDate(1899, 12, 30), QTime(0, 0)), false,
         QString()},
    };
    ExportQuelle quelle() const
    {
        ExportQuelle q;
        q.titel = titel;
        q.zeilen = int(zeilen.size());
        q.wert = [this](int z, int s) { return zeilen[z][s]; };
        return q;
    }
    // the texts every text-like format must show
    static QList<QStringList> texte()
    {
        return {{"1", "Müller; \"Sohn\"", "1.234.567,5", "14.06.2024 10:30:00", "Wahr", ""},
                {"2", "Zeile 1\r\nZeile 2 €", "0", "01.06.2024", "Falsch", "x"},
                {"20120101", "Ärger & <Tags>", "-0,125", "30.12.1899", "Falsch", ""}};
    }
};

ExportQuelle grosseQuelle(int zeilen)
{
    ExportQuelle q;
    q.titel = QStringList{"ID", "Text", "Preis"};
    q.zeilen = zeilen;
    q.wert = [](int z, int s) -> QVariant {
        switch (s) {
        case 0: return z + 1;
        case 1: return QStringLiteral("Position %1").arg(z + 1);
        default: return (z + 1) * 1.25;
        }
    };
    return q;
}

QByteArray lesen(const QString &datei)
{
    QFile f(datei);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

// Splits a CSV/text export back into records and fields (quotes doubled inside).
QList<QStringList> csvLesen(const QString &text, const QString &trenner, const QString &satzende)
{
    QList<QStringList> out;
    QStringList satz;
    QString feld;
    bool inQuote = false;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (inQuote) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                feld += '"';
                ++i;
            } else if (c == '"') {
                inQuote = false;
            } else {
                feld += c;
            }
        } else if (c == '"') {
            inQuote = true;
        } else if (text.mid(i, trenner.size()) == trenner) {
            satz << feld;
            feld.clear();
            i += int(trenner.size()) - 1;
        } else if (text.mid(i, satzende.size()) == satzende) {
            satz << feld;
            out << satz;
            satz.clear();
            feld.clear();
            i += int(satzende.size()) - 1;
        } else {
            feld += c;
        }
    }
    return out;
}

// Reads the cells of an RTF table: rows end with \row, cells with \cell.
QList<QStringList> rtfTabelle(const QByteArray &rtf)
{
    QList<QStringList> zeilen;
    QStringList zeile;
    QString zelle;
    QByteArray roh;
    auto flush = [&] {
        zelle += decodeCp1252(roh);
        roh.clear();
    };
    for (int i = 0; i < rtf.size(); ++i) {
        const char c = rtf[i];
        if (c == '\\') {
            const char n = i + 1 < rtf.size() ? rtf[i + 1] : 0;
            if (n == '\\' || n == '{' || n == '}') {
                roh += n;
                ++i;
                continue;
            }
            if (n == '\'') {
                roh += char(rtf.mid(i + 2, 2).toInt(nullptr, 16));
                i += 3;
                continue;
            }
            int k = i + 1;
            while (k < rtf.size() && std::isalpha(uchar(rtf[k])))
                ++k;
            const QByteArray wort = rtf.mid(i + 1, k - i - 1);
            int m = k;
            if (m < rtf.size() && (rtf[m] == '-' || std::isdigit(uchar(rtf[m])))) {
                ++m;
                while (m < rtf.size() && std::isdigit(uchar(rtf[m])))
                    ++m;
            }
            const int zahl = rtf.mid(k, m - k).toInt();
            if (m < rtf.size() && rtf[m] == ' ')
                ++m;
            i = m - 1;
            if (wort == "u") {
                flush();
                zelle += QChar(ushort(qint16(zahl)));
                if (i + 1 < rtf.size() && rtf[i + 1] == '?')
                    ++i;
            } else if (wort == "line") {
                flush();
                zelle += "\r\n";
            } else if (wort == "cell") {
                flush();
                zeile << zelle;
                zelle.clear();
            } else if (wort == "row") {
                zeilen << zeile;
                zeile.clear();
            } else if (wort == "trowd") {
                zelle.clear();
                roh.clear();
            }
        } else if (c == '{' || c == '}' || c == '\n' || c == '\r') {
        } else {
            roh += c;
        }
    }
    return zeilen;
}

// Cells of the first worksheet of an .xlsx, read from its XML: "A1" -> (type, value).
QMap<QString, QPair<QString, QString>> xlsxZellen(const QString &datei, QByteArray *styles = nullptr)
{
    QProcess unzip;
    unzip.start("unzip", {"-p", datei, "xl/worksheets/sheet1.xml"});
    unzip.waitForFinished(30000);
    const QByteArray xml = unzip.readAllStandardOutput();
    if (styles) {
        QProcess u2;
        u2.start("unzip", {"-p", datei, "xl/styles.xml"});
        u2.waitForFinished(30000);
        *styles = u2.readAllStandardOutput();
    }
    QMap<QString, QPair<QString, QString>> out;
    QXmlStreamReader r(xml);
    QString ref, typ, wert;
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartElement() && r.name() == u"c") {
            ref = r.attributes().value("r").toString();
            typ = r.attributes().value("t").toString();
            wert.clear();
        } else if (r.isStartElement() && (r.name() == u"v" || r.name() == u"t")) {
            wert += r.readElementText();
        } else if (r.isEndElement() && r.name() == u"c") {
            out[ref] = qMakePair(typ, wert.replace("_x000D_", "\r")); // the format's escape of CR
        }
    }
    return out;
}

QString pdfText(const QString &datei)
{
    QProcess p;
    p.start("pdftotext", {"-layout", datei, "-"});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

class TestExport : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString pfad(const QString &n) const { return m_dir.filePath(n); }

private slots:
    void valueFormats_data()
    {
        QTest::addColumn<QVariant>("wert");
        QTest::addColumn<bool>("betrag");
        QTest::addColumn<QString>("text");
        QTest::newRow("grouped") << QVariant(1234567.5) << false << "1.234.567,5";
        QTest::newRow("all digits") << QVariant(0.1 + 0.2) << false << "0,30000000000000004";
        QTest::newRow("zero") << QVariant(0.0) << false << "0";
        QTest::newRow("negative") << QVariant(-1000.0) << false << "-1.000";
        QTest::newRow("no exponent") << QVariant(1e-7) << false << "0,0000001";
        QTest::newRow("integer plain") << QVariant(20120101) << false << "20120101";
        QTest::newRow("amount") << QVariant(1234.5) << true << "1.234,50 €";
        QTest::newRow("negative amount") << QVariant(-0.004) << true << "0,00 €";
        QTest::newRow("amount int stays") << QVariant(7) << true << "7";
        QTest::newRow("date-time") << QVariant(QDateTime(QDate(2024, 3, 1), QTime(17, 5, 9))) << false
                                   << "01.03.2024 17:05:09";
        QTest::newRow("midnight") << QVariant(QDateTime(QDate(2024, 3, 1), QTime(0, 0))) << false << "01.03.2024";
        QTest::newRow("true") << QVariant(true) << false << "Wahr";
        QTest::newRow("false") << QVariant(false) << false << "Falsch";
        QTest::newRow("null") << QVariant() << false << "";
    }
    void valueFormats()
    {
        QFETCH(QVariant, wert);
        QFETCH(bool, betrag);
        QFETCH(QString, text);
        ExportZahlenformate f;
        f.alsBetrag = betrag;
        QCOMPARE(exportText(wert, f), text);
    }

    // The default: text, CR LF, no title line, not fixed width, Windows-1252.
    void defaultTextFile()
    {
        Beispiel b;
        ExportEinstellungen e;
        e.datei = pfad("Export.TXT");
        const ExportErgebnis r = exportieren(b.quelle(), e);
        QCOMPARE(r.zeilen, 3);
        QVERIFY(r.verlustfrei);
        const QByteArray roh = lesen(e.datei);
        QVERIFY(roh.contains("M\xfcller"));      // ü in Windows-1252
        QVERIFY(roh.contains("Zeile 2 \x80")); // €
        QVERIFY(roh.endsWith("\r\n"));
        QCOMPARE(csvLesen(decodeCp1252(roh), "\t", "\r\n"), Beispiel::texte());
        QCOMPARE(QFile(e.datei).permissions() & (QFileDevice::ReadOther | QFileDevice::WriteOther),
                 QFileDevice::Permissions());
    }

    void textVariants_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("trenner");
        QTest::addColumn<bool>("titel");
        QTest::addColumn<bool>("ansi");
        QTest::newRow("CSV ; with titles") << int(ExportFormat::Csv) << ";" << true << true;
        QTest::newRow("text UTF-8 comma") << int(ExportFormat::Text) << "," << false << false;
    }
    void textVariants()
    {
        QFETCH(int, format);
        QFETCH(QString, trenner);
        QFETCH(bool, titel);
        QFETCH(bool, ansi);
        Beispiel b;
        ExportEinstellungen e;
        e.format = ExportFormat(format);
        e.trenner = trenner;
        e.titelzeile = titel;
        e.ansi = ansi;
        e.datei = pfad("variante.csv");
        exportieren(b.quelle(), e);
        const QByteArray roh = lesen(e.datei);
        const QString text = ansi ? decodeCp1252(roh) : QString::fromUtf8(roh);
        QList<QStringList> erwartet = Beispiel::texte();
        if (titel)
            erwartet.prepend(b.titel);
        QCOMPARE(csvLesen(text, trenner, "\r\n"), erwartet);
    }

    void fixedWidthText()
    {
        Beispiel b;
        ExportEinstellungen e;
        e.festeBreite = true;
        e.titelzeile = true;
        e.trenner = " ";
        e.datei = pfad("fest.txt");
        exportieren(b.quelle(), e);
        const QStringList zeilen = decodeCp1252(lesen(e.datei)).split("\r\n", Qt::SkipEmptyParts);
        QCOMPARE(zeilen.size(), 4); // the line break inside the text became a blank
        for (const QString &z : zeilen)
            QCOMPARE(z.size(), zeilen[0].size());
        QVERIFY(zeilen[2].contains("Zeile 1 Zeile 2 €"));
        QVERIFY(zeilen[1].startsWith("       1 ")); // numbers right-aligned under "Nr"
    }

    void charactersOutsideWindows1252AreReported()
    {
        ExportQuelle q;
        q.titel = {"T"};
        q.zeilen = 1;
        q.wert = [](int, int) { return QStringLiteral("Łódź"); };
        ExportEinstellungen e;
        e.datei = pfad("polnisch.txt");
        QVERIFY(!exportieren(q, e).verlustfrei);
        e.ansi = false;
        QVERIFY(exportieren(q, e).verlustfrei);
        QCOMPARE(QString::fromUtf8(lesen(e.datei)), QStringLiteral("Łódź\r\n"));
    }

    void htmlFile()
    {
        Beispiel b;
        ExportEinstellungen e;
        e.format = ExportFormat::Html;
        e.datei = pfad("export.html");
        exportieren(b.quelle(), e);
        QTextDocument doc;
        doc.setHtml(QString::fromUtf8(lesen(e.datei)));
        QTextTable *t = nullptr;
        for (QTextFrame *f : doc.rootFrame()->childFrames())
            if ((t = qobject_cast<QTextTable *>(f)))
                break;
        QVERIFY(t);
        QCOMPARE(t->rows(), 4);
        QCOMPARE(t->columns(), 6);
        auto zelle = [&](int r, int c) {
            const QTextTableCell z = t->cellAt(r, c);
            QTextCursor cur(z.firstCursorPosition());
            cur.setPosition(z.lastCursorPosition().position(), QTextCursor::KeepAnchor);
            return cur.selectedText().replace(QChar::LineSeparator, "\r\n");
        };
        for (int c = 0; c < 6; ++c)
            QCOMPARE(zelle(0, c), b.titel[c]);
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 6; ++c)
                QCOMPARE(zelle(r + 1, c), Beispiel::texte()[r][c]);
    }

    void xmlFile()
    {
        Beispiel b;
        ExportEinstellungen e;
        e.format = ExportFormat::Xml;
        e.datei = pfad("export.xml");
        exportieren(b.quelle(), e);
        QXmlStreamReader r(lesen(e.datei));
        QStringList felder;
        QList<QStringList> saetze;
        while (!r.atEnd()) {
            r.readNext();
            if (r.isStartElement() && r.name() == u"Datensatz")
                saetze << QStringList();
            else if (r.isStartElement() && r.name() == u"Feld" && saetze.isEmpty())
                felder << r.attributes().value("Name").toString();
            else if (r.isStartElement() && r.name() == u"Feld") {
                QCOMPARE(r.attributes().value("Name").toString(), b.titel[saetze.last().size()]);
                saetze.last() << r.readElementText();
            }
        }
        QVERIFY2(!r.hasError(), qPrintable(r.errorString()));
        QCOMPARE(felder, b.titel);
        QList<QStringList> erwartet = Beispiel::texte();
        erwartet[1][1] = "Zeile 1\nZeile 2 €"; // XML readers normalise line ends
        QCOMPARE(saetze, erwartet);
    }

    void xlsxFile()
    {
        Beispiel b;
        ExportEinstellungen e;
        e.format = ExportFormat::Xlsx;
        e.datei = pfad("export.xlsx");
        QVERIFY(exportieren(b.quelle(), e).verlustfrei);
        QByteArray styles;
        const auto c = xlsxZellen(e.datei, &styles);
        QCOMPARE(c.value("A1").second, QStringLiteral("Nr"));
        QCOMPARE(c.value("F1").second, QStringLiteral("Hinweis"));
        QCOMPARE(c.value("A2"), qMakePair(QString(), QStringLiteral("1")));          // a number
        QCOMPARE(c.value("A4").second, QStringLiteral("20120101"));
        QCOMPARE(c.value("B2").second, QStringLiteral("Müller; \"Sohn\""));
        QCOMPARE(c.value("B3").second, QStringLiteral("Zeile 1\r\nZeile 2 €"));
        QCOMPARE(c.value("C2").second.toDouble(), 1234567.5);
        QCOMPARE(c.value("C3"), qMakePair(QString(), QStringLiteral("0")));          // zero is written
        QCOMPARE(c.value("C4").second.toDouble(), -0.125);
        QCOMPARE(c.value("D2").second.toDouble(), 45457.4375);                       // 14.06.2024 10:30
        QCOMPARE(c.value("D3").second.toDouble(), 45444.0);                          // 01.06.2024
        QCOMPARE(c.value("D4").second, QStringLiteral("30.12.1899"));                // before Excel's dates
        QCOMPARE(c.value("E2"), qMakePair(QStringLiteral("b"), QStringLiteral("1")));
        QCOMPARE(c.value("E3"), qMakePair(QStringLiteral("b"), QStringLiteral("0")));
        QVERIFY(!c.contains("F2"));                                                  // NULL stays empty
        QVERIFY(styles.contains("formatCode=\"dd.mm.yyyy\""));
        QVERIFY(styles.contains("formatCode=\"dd.mm.yyyy hh:mm:ss\""));
    }

    void rtfFile()
    {
        Beispiel b;
        ExportEinstellungen e;
        e.format = ExportFormat::Rtf;
        e.datei = pfad("export.rtf");
        exportieren(b.quelle(), e);
        const QByteArray rtf = lesen(e.datei);
        QVERIFY(rtf.startsWith("{\\rtf1\\ansi\\ansicpg1252"));
        QCOMPARE(rtf.count('{'), rtf.count('}') - rtf.count("\\}"));
        QList<QStringList> erwartet = Beispiel::texte();
        erwartet.prepend(b.titel);
        QCOMPARE(rtfTabelle(rtf), erwartet);
    }

    void pdfFileOverSeveralPages()
    {
        Beispiel b;
        ExportEinstellungen e;
        e.format = ExportFormat::Pdf;
        e.datei = pfad("export.pdf");
        exportieren(b.quelle(), e);
        const QString text = pdfText(e.datei);
        for (const QString &s : {"Nr", "Hinweis", "Müller; \"Sohn\"", "1.234.567,5", "14.06.2024 10:30:00", "Wahr",
                                 "-0,125", "30.12.1899", "Seite 1"})
            QVERIFY2(text.contains(s), qPrintable(s + " in\n" + text));

        e.datei = pfad("gross.pdf");
        exportieren(grosseQuelle(300), e);
        const QString gross = pdfText(e.datei);
        QVERIFY(gross.contains("Position 1 ") && gross.contains("Position 300"));
        QVERIFY(gross.contains("Seite 3"));
        QVERIFY(gross.contains("375")); // 300 * 1.25
        if (qEnvironmentVariableIsSet("TVX_SCREENSHOTS"))
            QFile::copy(e.datei, qEnvironmentVariable("TVX_SCREENSHOTS") + "/export.pdf");

        // a result wider than the page: landscape, the further columns on pages of their own
        ExportQuelle breit;
        for (int s = 0; s < 40; ++s)
            breit.titel << QStringLiteral("Spalte%1").arg(s + 1);
        breit.zeilen = 5;
        breit.wert = [](int z, int s) { return QStringLiteral("Wert %1-%2").arg(z + 1).arg(s + 1); };
        e.datei = pfad("breit.pdf");
        exportieren(breit, e);
        QProcess info;
        info.start("pdfinfo", {e.datei});
        info.waitForFinished(30000);
        const QString angaben = QString::fromUtf8(info.readAllStandardOutput());
        QVERIFY2(angaben.contains(QRegularExpression("Page size:\\s+84[12](\\.\\d+)? x 595")), qPrintable(angaben));
        const QStringList seiten = pdfText(e.datei).split('\f', Qt::SkipEmptyParts);
        QVERIFY(seiten.size() >= 2);
        QVERIFY(seiten[0].contains("Spalte1 ") && !seiten[0].contains("Spalte40"));
        QVERIFY(seiten.last().contains("Spalte40") && seiten.last().contains("Wert 5-40"));
    }

    void clipboard()
    {
        Beispiel b;
        ExportEinstellungen e;
        e.format = ExportFormat::Zwischenablage;
        e.titelzeile = true;
        e.trenner = ";"; // the clipboard always separates by tabs
        QCOMPARE(exportieren(b.quelle(), e).zeilen, 3);
        QList<QStringList> erwartet = Beispiel::texte();
        erwartet.prepend(b.titel);
        QCOMPARE(csvLesen(QGuiApplication::clipboard()->text(), "\t", "\r\n"), erwartet);
    }

    // Targets that cannot be written: a clear message naming the file, and an
    // existing target is left as it was.
    void unwritableTargets_data()
    {
        QTest::addColumn<QString>("datei");
        QTest::addColumn<QString>("grund");
        QTest::addColumn<int>("format");
        QTest::newRow("missing folder") << pfad("fehlt/Export.TXT") << "existiert nicht" << int(ExportFormat::Text);
        QTest::newRow("folder of the name") << m_dir.path() << "Ordner" << int(ExportFormat::Text);
        QTest::newRow("read-only file system") << "/proc/Export.TXT" << "/proc/Export.TXT" << int(ExportFormat::Text);
        QTest::newRow("xlsx read-only") << "/proc/Export.xlsx" << "/proc/Export.xlsx" << int(ExportFormat::Xlsx);
        QTest::newRow("no name") << "" << "keine Zieldatei" << int(ExportFormat::Pdf);
    }
    void unwritableTargets()
    {
        QFETCH(QString, datei);
        QFETCH(QString, grund);
        QFETCH(int, format);
        Beispiel b;
        ExportEinstellungen e;
        e.format = ExportFormat(format);
        e.datei = datei;
        try {
            exportieren(b.quelle(), e);
            QFAIL("no error");
        } catch (const TvxError &ex) {
            QVERIFY2(ex.text().contains(grund), qPrintable(ex.text()));
        }
    }

    void cancelledExportKeepsTheTarget()
    {
        ExportEinstellungen e;
        e.datei = pfad("bleibt.TXT");
        {
            QFile f(e.datei);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("alt");
        }
        for (ExportFormat fmt : {ExportFormat::Text, ExportFormat::Xlsx, ExportFormat::Pdf}) {
            e.format = fmt;
            int aufrufe = 0;
            const ExportErgebnis r = exportieren(grosseQuelle(5000), e, [&](int) { return ++aufrufe < 3; });
            QVERIFY(r.abgebrochen);
            QCOMPARE(lesen(e.datei), QByteArray("alt"));
        }
        QCOMPARE(QDir(m_dir.path()).entryList({"*bleibt*"}, QDir::Files | QDir::Hidden).size(), 1);
    }

    void hundredThousandRowsReportProgress()
    {
        ExportEinstellungen e;
        e.datei = pfad("gross.TXT");
        QList<int> stand;
        const ExportErgebnis r = exportieren(grosseQuelle(100000), e, [&](int n) {
            stand << n;
            return true;
        });
        QCOMPARE(r.zeilen, 100000);
        QVERIFY(stand.size() >= 100000 / 250);
        QVERIFY(std::is_sorted(stand.begin(), stand.end()));
        QCOMPARE(stand.last(), 100000);
        const QByteArray roh = lesen(e.datei);
        QCOMPARE(roh.count("\r\n"), 100000);
        QVERIFY(roh.endsWith("100000\tPosition 100000\t125.000\r\n"));
    }

    // ---- the dialog -------------------------------------------------------------

    void dialogDefaultsExportAndSavedSettings()
    {
        TestProgrammordner p(TestProgrammordner::Daten::Leer, TestProgrammordner::Modul::NichtOeffnen);
        setProgrammordner(p.ordner());
        QSettings(FormStorage::organisation(), FormStorage::organisation()).remove(Tfrm_export::einstellungsGruppe());
        Beispiel b;
        ScopedScriptedDialogs d;
        {
            Tfrm_export f(b.quelle());
            f.show();
            QVERIFY(QTest::qWaitForWindowExposed(&f));
            QCOMPARE(f.lb_format->currentItem()->text(), QStringLiteral("Text"));
            QCOMPARE(QDir::fromNativeSeparators(f.ed_datei->text()), p.pfad("Sicherungen/Export.TXT"));
            QVERIFY(!f.cb_titelzeile->isChecked());
            QVERIFY(!f.cb_festebreite->isChecked());
            QCOMPARE(f.cb_trenner->currentData().toString(), QStringLiteral("\t"));
            QVERIFY(f.cb_zeichensatz->currentData().toBool());
            QCOMPARE(f.ed_datumsformat->text(), QStringLiteral("dd.MM.yyyy"));
            QCOMPARE(f.ed_tausender->text(), QStringLiteral("."));
            QCOMPARE(f.ed_dezimal->text(), QStringLiteral(","));
            QCOMPARE(f.ed_waehrung->text(), QStringLiteral("€"));
            QCOMPARE(f.ed_wahr->text() + "/" + f.ed_falsch->text(), QStringLiteral("Wahr/Falsch"));
            if (qEnvironmentVariableIsSet("TVX_SCREENSHOTS"))
                f.grab().save(qEnvironmentVariable("TVX_SCREENSHOTS") + "/exportdialog.png");
            QTest::mouseClick(f.btn_exportieren, Qt::LeftButton);
            QCOMPARE(f.result(), int(QDialog::Accepted));
            QCOMPARE(f.pb_export->value(), f.pb_export->maximum());
        }
        QCOMPARE(d.shown.size(), 1);
        QCOMPARE(d.shown[0].kind, Dialogs::Kind::Info);
        QVERIFY(d.lastText().contains("3 Datensätze") && d.lastText().contains("Export.TXT"));
        QCOMPARE(csvLesen(decodeCp1252(lesen(p.pfad("Sicherungen/Export.TXT"))), "\t", "\r\n"), Beispiel::texte());

        // switching to CSV takes its file ending and separator; the choice is kept
        {
            Tfrm_export f(b.quelle());
            f.lb_format->setCurrentRow(1);
            QCOMPARE(QDir::fromNativeSeparators(f.ed_datei->text()), p.pfad("Sicherungen/Export.csv"));
            QCOMPARE(f.cb_trenner->currentData().toString(), QStringLiteral(";"));
            QVERIFY(f.cb_titelzeile->isChecked());
            QVERIFY(f.btn_exportierenClick());
        }
        {
            Tfrm_export f(b.quelle());
            QCOMPARE(f.einstellungen().format, ExportFormat::Csv);
            QCOMPARE(QDir::fromNativeSeparators(f.ed_datei->text()), p.pfad("Sicherungen/Export.csv"));
            // an existing file is overwritten only on Yes
            d.clear();
            d.answers = {false};
            QVERIFY(!f.btn_exportierenClick());
            QCOMPARE(d.texts().size(), 1);
            QCOMPARE(d.shown[0].kind, Dialogs::Kind::Question);
        }
        QSettings st(FormStorage::organisation(), FormStorage::organisation());
        QCOMPARE(st.value("Export Artikeljournal/Format").toString(), QStringLiteral("CSV"));
        setProgrammordner(QString());
    }

    void dialogUnwritableTargetKeepsTheDialog()
    {
        Beispiel b;
        ScopedScriptedDialogs d;
        Tfrm_export f(b.quelle());
        f.lb_format->setCurrentRow(0);
        f.ed_datei->setText("/proc/Export.TXT");
        f.show();
        QTest::mouseClick(f.btn_exportieren, Qt::LeftButton);
        QVERIFY(f.isVisible());
        QCOMPARE(d.shown.size(), 1);
        QCOMPARE(d.shown[0].kind, Dialogs::Kind::Error);
        QVERIFY(d.lastText().contains("/proc/Export.TXT"));
        QVERIFY(f.btn_exportieren->isEnabled() && f.lb_format->isEnabled());
        QCOMPARE(f.ed_datei->text(), QStringLiteral("/proc/Export.TXT"));
    }

    // The window stays alive during a long export: the cancel button is served
    // while it runs, and nothing is written.
    void dialogCancelDuringLongExport()
    {
        ScopedScriptedDialogs d;
        Tfrm_export f(grosseQuelle(100000));
        f.ed_datei->setText(pfad("abgebrochen.TXT"));
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        bool gesperrt = false;
        QTimer::singleShot(0, &f, [&] {
            gesperrt = f.laeuft() && !f.btn_exportieren->isEnabled() && !f.lb_format->isEnabled()
                       && QGuiApplication::overrideCursor() && QGuiApplication::overrideCursor()->shape() == Qt::WaitCursor;
            QTest::mouseClick(f.btn_abbrechen, Qt::LeftButton);
        });
        QVERIFY(!f.btn_exportierenClick());
        QVERIFY(gesperrt);
        QVERIFY(!QFile::exists(pfad("abgebrochen.TXT")));
        QVERIFY(d.lastText().contains("abgebrochen"));
        QVERIFY(f.isVisible() && f.btn_exportieren->isEnabled());
        QVERIFY(!QGuiApplication::overrideCursor());
    }
};

QTEST_MAIN(TestExport)
#include "tst_export.moc"
