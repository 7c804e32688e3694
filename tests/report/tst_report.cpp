#include "pdfwords.h"
#include "samplereport.h"

#include "platform/core/clock.h"
#include "platform/core/errors.h"
#include "platform/report/document.h"
#include "platform/report/format.h"
#include "platform/report/report.h"
#include "platform/report/viewer.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

using namespace rpt;

namespace {

constexpr double kTol = 0.6; // mm: glyph boxes differ a little from element boxes

double sumOfGroup(const QList<QVariantMap> &rows, const QString &g)
{
    double s = 0;
    for (const auto &r : rows)
        if (r.value(QStringLiteral("Gruppe")).toString() == g)
            s += r.value(QStringLiteral("Betrag")).toDouble();
    return s;
}

QString money(double v) { return formatNumber(v, QStringLiteral(",0.00;-,0.00")); }

} // namespace

class TestReport : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString path(const QString &f) const { return m_dir.filePath(f); }

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        Clock::setFixed(QDateTime(QDate(2024, 3, 5), QTime(10, 0)));
        QVERIFY(m_dir.isValid());
    }

    void formats_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("expected");
        const QString amount = QStringLiteral(",0.00;-,0.00");
        QTest::newRow("thousands") << QVariant(1234567.891) << amount << QStringLiteral("1.234.567,89");
        QTest::newRow("negative") << QVariant(-1234.5) << amount << QStringLiteral("-1.234,50");
        QTest::newRow("zero") << QVariant(0.0) << amount << QStringLiteral("0,00");
        QTest::newRow("tiny negative prints zero") << QVariant(-0.001) << amount << QStringLiteral("0,00");
        QTest::newRow("binary half") << QVariant(0.125) << amount << QStringLiteral("0,13");
        QTest::newRow("int") << QVariant(12) << amount << QStringLiteral("12,00");
        QTest::newRow("percent is literal") << QVariant(10.0) << QStringLiteral("0.00%;-0.00%") << QStringLiteral("10,00%");
        QTest::newRow("neg percent") << QVariant(-2.5) << QStringLiteral("0.00%;-0.00%") << QStringLiteral("-2,50%");
        QTest::newRow("one section minus") << QVariant(-3.0) << QStringLiteral("0.0") << QStringLiteral("-3,0");
        QTest::newRow("zero section") << QVariant(0.0) << QStringLiteral("0.00;-0.00;'null'") << QStringLiteral("null");
        QTest::newRow("optional digits") << QVariant(2.5) << QStringLiteral("#,##0.##") << QStringLiteral("2,5");
        QTest::newRow("date") << QVariant(QDate(2024, 1, 7)) << QStringLiteral("dd.mm.yyyy") << QStringLiteral("07.01.2024");
        QTest::newRow("datetime minutes") << QVariant(QDateTime(QDate(2024, 1, 7), QTime(9, 5, 3)))
                                          << QStringLiteral("dd.mm.yyyy hh:mm:ss") << QStringLiteral("07.01.2024 09:05:03");
        QTest::newRow("string") << QVariant(QStringLiteral("abc")) << amount << QStringLiteral("abc");
        QTest::newRow("null") << QVariant() << amount << QString();
    }
    void formats()
    {
        QFETCH(QVariant, value);
        QFETCH(QString, format);
        QFETCH(QString, expected);
        QCOMPARE(formatValue(value, format), expected);
    }

    // The sample report through the PDF device, read back with poppler.
    void sampleReportPdf()
    {
        Report r;
        sample::build(r);
        const auto rows = sample::rows(64);
        ListDataSource src(rows);
        r.setDataSource(&src);
        const QString file = path(QStringLiteral("sample.pdf"));
        r.exportPdf(file);
        if (qEnvironmentVariableIsSet("TVX_KEEP_SHOTS"))
            QFile::copy(file, qEnvironmentVariable("TVX_KEEP_SHOTS") + QStringLiteral("/sample.pdf"));

        const int pages = pdf::pageCount(file);
        QVERIFY2(pages >= 3, qPrintable(QString::number(pages)));
        QVERIFY(pdf::info(file).contains(QLatin1String("Beispielbericht")));
        const auto words = pdf::words(file);

        // page header and footer on every page, with page number and count
        const auto firma = pdf::find(words, QStringLiteral("Muster"));
        QCOMPARE(firma.size(), pages);
        for (int p = 1; p <= pages; ++p) {
            QCOMPARE(firma[p - 1].page, p);
            QVERIFY(qAbs(firma[p - 1].y - firma[0].y) < 0.01);
            QVERIFY(qAbs(firma[p - 1].x - 135.0) < kTol);
            const QString text = pdf::layoutText(file, p);
            QVERIFY2(QRegularExpression(QStringLiteral("Seite\\s+%1\\s+von\\s+%2\\b").arg(p).arg(pages)).match(text).hasMatch(),
                     qPrintable(text.right(200)));
            QVERIFY(text.contains(QLatin1String("Bezeichnung")));
        }
        // the header shows row data on every page, the first page included
        QCOMPARE(pdf::find(words, QStringLiteral("Beispiel")).size(), pages);
        // the footer sits at the page bottom: 297 - 10 margin - 12 band + 4
        const auto seite = pdf::find(words, QStringLiteral("Seite"));
        QCOMPARE(seite.size(), pages);
        QVERIFY2(qAbs(seite[0].y - 279.0) < kTol, qPrintable(QString::number(seite[0].y)));

        // every row printed once, in order, none below the footer line
        double lastY = 0;
        int lastPage = 1;
        for (int i = 0; i < rows.size(); ++i) {
            const auto w = pdf::find(words, rows[i][QStringLiteral("Artikel")].toString());
            QCOMPARE(w.size(), 1);
            QVERIFY(w[0].page > lastPage || (w[0].page == lastPage && w[0].y > lastY));
            QVERIFY(w[0].y2 < 297 - 10 - 12 + 0.01);
            lastPage = w[0].page;
            lastY = w[0].y;
        }

        // a region follows the one above: with the note shown the text starts
        // under it (0.5 + 5 + 0.5 + 4.5 + 0.5), without it in the note's place
        auto top = [&](const QString &t) { return pdf::find(words, t).value(0); };
        const pdf::Word a5 = top(QStringLiteral("A005")), t5 = top(QStringLiteral("Langtext")),
                        a2 = top(QStringLiteral("A002")), t2 = top(QStringLiteral("Kurztext2"));
        QVERIFY(!top(QStringLiteral("Hinweis5")).text.isEmpty());
        QCOMPARE(a2.page, t2.page);
        QVERIFY2(qAbs((t2.y - a2.y) - 5.5) < kTol, qPrintable(QString::number(t2.y - a2.y)));
        const auto langs = pdf::find(words, QStringLiteral("Langtext"));
        const pdf::Word l5 = langs.value(1); // Langtext of row 0 comes first
        QCOMPARE(l5.page, a5.page);
        QVERIFY2(qAbs((l5.y - a5.y) - 10.5) < kTol, qPrintable(QString::number(l5.y - a5.y)));
        Q_UNUSED(t5);

        // the growing memo wraps within its 100 mm and pushes the next row down
        const pdf::Word end0 = top(QStringLiteral("Schluss0")), a1 = top(QStringLiteral("A001"));
        QVERIFY(end0.y > langs[0].y + 4);
        QVERIFY(end0.x2 < 155 + kTol);
        QVERIFY(a1.y > end0.y2);

        // group sums, reset per group, and the total
        const QString all = pdf::layoutText(file);
        for (const QString g : {QStringLiteral("G1"), QStringLiteral("G2"), QStringLiteral("G3"), QStringLiteral("G4")}) {
            const QRegularExpression re(QStringLiteral("Summe Gruppe\\s+%1\\s+(\\S+)").arg(g));
            const auto m = re.match(all);
            QVERIFY2(m.hasMatch(), qPrintable(g));
            QCOMPARE(m.captured(1), money(sumOfGroup(rows, g)));
        }
        double total = 0;
        for (const auto &row : rows)
            total += row[QStringLiteral("Betrag")].toDouble();
        const auto m = QRegularExpression(QStringLiteral("Gesamtbetrag\\s+(\\S+)")).match(all);
        QVERIFY(m.hasMatch());
        QCOMPARE(m.captured(1), money(total));
        QVERIFY(QRegularExpression(QStringLiteral("Positionen:\\s+64\\b")).match(all).hasMatch());
    }

    // The generated document: logo kept in aspect, header text growth moves the captions.
    void documentGeometry()
    {
        Report r;
        sample::build(r);
        const auto rows = sample::rows(20);
        ListDataSource src(rows);
        r.setDataSource(&src);
        auto doc = r.generate();
        for (const Page &p : doc->pages) {
            const PaintOp *logo = p.find(QStringLiteral("im_logo"));
            QVERIFY(logo);
            QCOMPARE(logo->rect.height(), 15.0); // 600 x 200 into 50 x 15
            QVERIFY(qAbs(logo->rect.width() - 45.0) < 1e-9);
        }
        const double captionTop = doc->pages[0].find(QStringLiteral("rlbl_artikel"))->rect.top();

        // a header text of three lines moves the caption bar down by its growth
        r.element(QStringLiteral("me_kopf")).text = QStringLiteral("Zeile eins\nZeile zwei\nZeile drei");
        doc = r.generate();
        const PaintOp *kopf = doc->pages[0].find(QStringLiteral("me_kopf"));
        const double growth = kopf->rect.height() - 4.5;
        QVERIFY(growth > 6);
        QVERIFY(qAbs(doc->pages[0].find(QStringLiteral("rlbl_artikel"))->rect.top() - (captionTop + growth)) < 1e-6);

        // hidden header text: the captions take its place
        r.region(QStringLiteral("reg_kopf")).visible = false;
        doc = r.generate();
        QVERIFY(!doc->pages[0].find(QStringLiteral("me_kopf")));
        QVERIFY(qAbs(doc->pages[0].find(QStringLiteral("rr_spalten"))->rect.top() - (10 + 24 + 0.5)) < 1e-6);
    }

    // Rich text from RTF grows with its paragraphs and prints its formatting;
    // a picture at its own size takes the size its resolution gives.
    void richTextAndPictures()
    {
        Report r;
        r.page.marginTop = r.page.marginLeft = 10;
        Band &d = r.addBand(BandKind::Detail, QStringLiteral("det"), 10);
        d.dynamicHeight = true;
        Region &reg = d.addRegion(QStringLiteral("reg_rtf"), {0, 0, 150, 5});
        reg.addRichText(QStringLiteral("re_text"), {10, 0, 120, 5}, QStringLiteral("Beschreibung"));
        Element &after = d.addDataText(QStringLiteral("dt_danach"), {10, 6, 50, 5}, QStringLiteral("Nr"));
        after.shiftRelativeTo = &reg;
        Element &pic = d.addPicture(QStringLiteral("im_bild"), {140, 0, 10, 10}, PictureMode::OwnSize);
        QImage img(236, 118, QImage::Format_RGB32); // 20 x 10 mm at 300 dpi
        img.fill(Qt::darkGreen);
        img.setDotsPerMeterX(11811);
        img.setDotsPerMeterY(11811);
        pic.picture = img;
        ListDataSource src({QVariantMap{
            {QStringLiteral("Nr"), QStringLiteral("Danach1")},
            {QStringLiteral("Beschreibung"),
             QStringLiteral("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 Normal \\b Fettwort\\b0  und "
                            "\\i schr\\'e4g\\i0\\par Zweite Zeile\\par Dritte Zeile\\par}")}}});
        r.setDataSource(&src);
        auto doc = r.generate();
        const PaintOp *rt = doc->pages[0].find(QStringLiteral("re_text"));
        QVERIFY(rt);
        QVERIFY2(rt->rect.height() > 3 * 4, qPrintable(QString::number(rt->rect.height())));
        QVERIFY(qAbs(doc->pages[0].find(QStringLiteral("dt_danach"))->rect.top() - (10 + rt->rect.height() + 1)) < 1e-6);
        const PaintOp *p = doc->pages[0].find(QStringLiteral("im_bild"));
        QVERIFY(qAbs(p->rect.width() - 236 / 11.811) < 0.01 && qAbs(p->rect.height() - 118 / 11.811) < 0.01);

        const QString file = path(QStringLiteral("rtf.pdf"));
        writePdf(*doc, file);
        const QString text = pdf::layoutText(file);
        QVERIFY2(text.contains(QStringLiteral("Normal Fettwort und schräg")), qPrintable(text));
        QVERIFY(text.contains(QLatin1String("Dritte Zeile")));
        QVERIFY(!text.contains(QLatin1String("rtf1")));
        QProcess fonts;
        fonts.start(QStringLiteral("pdffonts"), {file});
        fonts.waitForFinished();
        const QString f = QString::fromUtf8(fonts.readAll());
        QVERIFY2(f.contains(QLatin1String("LiberationSans-Bold")) && f.contains(QLatin1String("LiberationSans-Italic")), qPrintable(f));
    }

    // Keep-together: a region that does not fit moves to the next page, the
    // part of the band above it stays; a band split elsewhere keeps its order.
    void keepTogether()
    {
        Report r;
        r.page = PageSetup{QStringLiteral("klein"), 150, 100, 10, 10, 10, 10}; // body 80 mm
        Band &d = r.addBand(BandKind::Detail, QStringLiteral("det"), 35);
        d.dynamicHeight = true;
        Region &kopf = d.addRegion(QStringLiteral("reg_kopf"), {0, 0, 100, 5});
        kopf.addDataText(QStringLiteral("dt_nr"), {0, 0, 30, 5}, QStringLiteral("Nr"));
        Region &block = d.addRegion(QStringLiteral("reg_block"), {0, 5, 100, 30});
        block.shiftRelativeTo = &kopf;
        block.keepTogether = true;
        block.addDataText(QStringLiteral("dt_a"), {10, 5, 40, 5}, QStringLiteral("A"));
        block.addDataText(QStringLiteral("dt_b"), {10, 29, 40, 5}, QStringLiteral("B"));
        ListDataSource src;
        for (int i = 1; i <= 3; ++i)
            src.rows << QVariantMap{{QStringLiteral("Nr"), QStringLiteral("Nr%1").arg(i)},
                                    {QStringLiteral("A"), QStringLiteral("Oben%1").arg(i)},
                                    {QStringLiteral("B"), QStringLiteral("Unten%1").arg(i)}};
        r.setDataSource(&src);
        const QString file = path(QStringLiteral("keep.pdf"));
        r.exportPdf(file);
        const auto words = pdf::words(file);
        auto at = [&](const QString &t) { return pdf::find(words, t).value(0); };
        // rows 1 and 2 take 70 mm; row 3's line fits at 80-85 mm, its block (30 mm) does not
        QCOMPARE(at(QStringLiteral("Nr3")).page, 1);
        QVERIFY(qAbs(at(QStringLiteral("Nr3")).y - 80) < kTol);
        QCOMPARE(at(QStringLiteral("Oben3")).page, 2);
        QCOMPARE(at(QStringLiteral("Unten3")).page, 2);
        QVERIFY(qAbs(at(QStringLiteral("Oben3")).y - 10) < kTol);
        QVERIFY(qAbs(at(QStringLiteral("Unten3")).y - 34) < kTol);

        // without keep-together the block splits between its elements
        block.keepTogether = false;
        auto doc = r.generate();
        QCOMPARE(doc->pageCount(), 2);
        QVERIFY(doc->pages[0].find(QStringLiteral("dt_a")) != nullptr);
        QCOMPARE(doc->pages[0].ops.size(), 8); // rows 1, 2 (3 each), Nr3 and Oben3 (85-90 mm)
        QCOMPARE(doc->pages[1].ops.size(), 1);
        QVERIFY(doc->pages[1].find(QStringLiteral("dt_b")));

        // a keepTogether band moves as a whole
        block.keepTogether = false;
        d.keepTogether = true;
        doc = r.generate();
        QCOMPARE(doc->pages[0].ops.size(), 6);
        QCOMPARE(doc->pages[1].ops.size(), 3);
        QVERIFY(qAbs(doc->pages[1].find(QStringLiteral("dt_nr"))->rect.top() - 10) < 1e-6);
    }

    // Two passes: the first pass's page count, events in both, sums restart.
    void twoPasses()
    {
        Report r;
        sample::build(r);
        ListDataSource src(sample::rows(64));
        r.setDataSource(&src);
        QList<int> starts;
        r.onStart = [&] { starts << r.pass(); };
        auto doc = r.generate();
        QCOMPARE(starts, (QList<int>{1, 2}));
        QVERIFY(doc->pageCount() >= 3);
        QCOMPARE(r.pageCount(), doc->pageCount());
        QCOMPARE(doc->pages.last().find(QStringLiteral("lbl_von"))->text, QStringLiteral("von %1").arg(doc->pageCount()));
        const QString total = doc->pages.last().find(QStringLiteral("sum_gesamt"))->text;
        QCOMPARE(r.generate()->pages.last().find(QStringLiteral("sum_gesamt"))->text, total);
        r.twoPass = false;
        starts.clear();
        doc = r.generate();
        QCOMPARE(starts, QList<int>{1});
        QCOMPARE(doc->pages[0].find(QStringLiteral("lbl_von"))->text, QStringLiteral("von 0"));
    }

    // A group that starts a new page: each group after the first begins on a page of its own.
    void groupNewPage()
    {
        Report r;
        sample::build(r);
        r.group(QStringLiteral("grp_gruppe")).newPage = true;
        ListDataSource src(sample::rows(48));
        r.setDataSource(&src);
        auto doc = r.generate();
        QList<int> firsts; // page of the first row of each group
        for (int p = 0; p < doc->pageCount(); ++p)
            for (const PaintOp &op : doc->pages[p].ops)
                if (op.name == QLatin1String("dt_artikel")
                    && (op.text == QLatin1String("A000") || op.text == QLatin1String("A016") || op.text == QLatin1String("A032"))) {
                    QCOMPARE(doc->pages[p].find(QStringLiteral("dt_artikel"))->text, op.text); // first row on its page
                    firsts << p;
                }
        QCOMPARE(firsts.size(), 3);
        QVERIFY(firsts[0] < firsts[1] && firsts[1] < firsts[2]);
        // the footer of the group before the break is on the page before
        QVERIFY(doc->pages[firsts[1] - 1].find(QStringLiteral("sum_gruppe")));
    }

    void eventsAndLookups()
    {
        Report r;
        sample::build(r);
        ListDataSource src(sample::rows(3));
        r.setDataSource(&src);
        QStringList seen;
        r.element(QStringLiteral("dt_name")).onGetText = [&](QString &t) {
            seen << t;
            t = t.toUpper();
        };
        auto doc = r.generate();
        QCOMPARE(seen.size(), 6); // 3 rows, 2 passes
        QCOMPARE(doc->pages[0].find(QStringLiteral("dt_name"))->text, QStringLiteral("ARTIKEL NUMMER 0"));
        QCOMPARE(r.element(QStringLiteral("sum_gesamt")).sum(), 1000.0 + 1.25 + 2.5);
        QVERIFY_THROWS_EXCEPTION(TvxError, r.element(QStringLiteral("gibt_es_nicht")));
        QVERIFY(!r.findElement(QStringLiteral("gibt_es_nicht")));
        QVERIFY_THROWS_EXCEPTION(TvxError, r.band(QStringLiteral("gibt_es_nicht")));
        QVERIFY_THROWS_EXCEPTION(TvxError, r.addBand(BandKind::Detail, QStringLiteral("det2"), 5));
        QVERIFY_THROWS_EXCEPTION(TvxError, r.band(QStringLiteral("det")).addLabel(QStringLiteral("dt_name"), {}, {}));
        // an error in an event ends the run and leaves the report usable
        r.band(QStringLiteral("det")).beforePrint = [] { throw TvxError(QStringLiteral("Fehler im Ereignis")); };
        QVERIFY_THROWS_EXCEPTION(TvxError, r.generate());
        QCOMPARE(r.currentRow(), -1);
        r.band(QStringLiteral("det")).beforePrint = {};
        QVERIFY(r.generate()->pageCount() == 1);
    }

    void emptySource()
    {
        Report r;
        sample::build(r);
        ListDataSource src;
        r.setDataSource(&src);
        auto doc = r.generate();
        QCOMPARE(doc->pageCount(), 1);
        QVERIFY(doc->pages[0].find(QStringLiteral("lbl_firma")));
        QCOMPARE(doc->pages[0].find(QStringLiteral("sum_gesamt"))->text, QStringLiteral("0,00"));
        QVERIFY(!doc->pages[0].find(QStringLiteral("sum_gruppe")));
    }

    void layoutOverride()
    {
        Report r;
        sample::build(r);
        const QJsonObject before = QJsonDocument::fromJson(r.layoutJson()).object();
        const QString file = path(QStringLiteral("Rechnung.rtm"));
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("{\n"
            "          \"format\": \"tvx-report-layout\",\n"
            "          \"elements\": {\n"
            "            \"lbl_firma\": { \"text\": \"Neue Firma AG\", \"left\": 30, \"font\": { \"size\": 14, \"bold\": false, \"family\": \"Liberation Serif\" } },\n"
            "            \"dt_betrag\": { \"alignment\": \"left\", \"color\": \"#ff0000\" },\n"
            "            \"lbl_strasse\": { \"visible\": false },\n"
            "            \"dt_hinweis\": { \"band\": \"ftr\", \"top\": 8, \"left\": 20 },\n"
            "            \"unbekannt_1\": { \"text\": \"wird ignoriert\" }\n"
            "          },\n"
            "          \"regions\": { \"reg_kopf\": { \"keepTogether\": true }, \"reg_unbekannt\": {} },\n"
            "          \"bands\": { \"ftr\": { \"height\": 14 } },\n"
            "          \"texts\": { \"lbl_gutschrift_anmerkung\": \"Betrag wird gutgeschrieben.\", \"lbl_innergemLieferung\": \"Steuerfrei.\" }\n"
            "        }");
        f.close();
        r.loadLayout(file);

        Element &firma = r.element(QStringLiteral("lbl_firma"));
        QCOMPARE(firma.text, QStringLiteral("Neue Firma AG"));
        QCOMPARE(firma.left, 30.0);
        QCOMPARE(firma.top, 0.0); // not in the file: kept
        QCOMPARE(firma.font.pointSizeF(), 14.0);
        QVERIFY(!firma.font.bold());
        QCOMPARE(r.element(QStringLiteral("dt_betrag")).alignment, Qt::Alignment(Qt::AlignLeft));
        QCOMPARE(r.element(QStringLiteral("dt_betrag")).color, QColor(255, 0, 0));
        QVERIFY(!r.element(QStringLiteral("lbl_strasse")).visible);
        QCOMPARE(r.element(QStringLiteral("dt_hinweis")).band()->name(), QStringLiteral("ftr"));
        QVERIFY(!r.element(QStringLiteral("dt_hinweis")).region());
        QVERIFY(r.region(QStringLiteral("reg_kopf")).keepTogether);
        QCOMPARE(r.band(QStringLiteral("ftr")).height, 14.0);
        QCOMPARE(r.layoutText(QStringLiteral("lbl_gutschrift_anmerkung")), QStringLiteral("Betrag wird gutgeschrieben."));
        QCOMPARE(r.layoutText(QStringLiteral("lbl_innergemLieferung")), QStringLiteral("Steuerfrei."));
        QVERIFY(!r.findElement(QStringLiteral("unbekannt_1")));

        // everything the file does not name is as built
        const QJsonObject after = QJsonDocument::fromJson(r.layoutJson()).object();
        const QStringList touched{QStringLiteral("lbl_firma"), QStringLiteral("dt_betrag"), QStringLiteral("lbl_strasse"),
                                  QStringLiteral("dt_hinweis")};
        const QJsonObject eb = before[QStringLiteral("elements")].toObject(), ea = after[QStringLiteral("elements")].toObject();
        QCOMPARE(ea.keys(), eb.keys());
        for (const QString &k : eb.keys())
            if (!touched.contains(k))
                QCOMPARE(ea[k], eb[k]);

        // the printed page shows the override
        ListDataSource src(sample::rows(2));
        r.setDataSource(&src);
        const QString out = path(QStringLiteral("override.pdf"));
        r.exportPdf(out);
        const auto words = pdf::words(out);
        const auto neu = pdf::find(words, QStringLiteral("Neue"));
        QCOMPARE(neu.size(), 1);
        QVERIFY(qAbs(neu[0].x - 30) < kTol);
        QVERIFY(pdf::find(words, QStringLiteral("Hauptstraße")).isEmpty());
    }

    void layoutErrors_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("message");
        QTest::newRow("not json") << QByteArray("{ \"elements\": { nicht json") << QStringLiteral("kein gültiges JSON");
        QTest::newRow("not an object") << QByteArray("[1, 2]") << QStringLiteral("kein gültiges JSON-Objekt");
        QTest::newRow("other format") << QByteArray("{\"format\": \"rtm\"}") << QStringLiteral("unbekanntes Format rtm");
        QTest::newRow("number as text") << QByteArray("{\"elements\": {\"lbl_firma\": {\"left\": \"abc\"}}}")
                                        << QStringLiteral("lbl_firma: \"left\" muss eine Zahl sein");
        QTest::newRow("bad colour") << QByteArray("{\"elements\": {\"lbl_firma\": {\"color\": \"lila-blau\"}}}")
                                    << QStringLiteral("keine Farbe: lila-blau");
        QTest::newRow("bad alignment") << QByteArray("{\"elements\": {\"lbl_firma\": {\"alignment\": \"mitte\"}}}")
                                       << QStringLiteral("nicht mitte");
        QTest::newRow("unknown band") << QByteArray("{\"elements\": {\"lbl_firma\": {\"band\": \"nirgends\"}}}")
                                      << QStringLiteral("unbekanntes Band: nirgends");
        // the first entry is valid: nothing may change before the bad one is found
        QTest::newRow("late error") << QByteArray("{\"elements\": {\"dt_name\": {\"left\": 99}, \"lbl_firma\": {\"visible\": 1}}}")
                                    << QStringLiteral("\"visible\" muss true oder false sein");
    }
    void layoutErrors()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        Report r;
        sample::build(r);
        const QByteArray before = r.layoutJson();
        const QString file = path(QStringLiteral("bad.rtm"));
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(content);
        f.close();
        try {
            r.loadLayout(file);
            QFAIL("no error");
        } catch (const TvxError &e) {
            QVERIFY2(e.text().contains(message), qPrintable(e.text()));
            QVERIFY2(e.text().contains(file), qPrintable(e.text()));
        }
        QCOMPARE(r.layoutJson(), before);
    }

    void layoutMissingAndRoundTrip()
    {
        Report r;
        sample::build(r);
        const QString missing = path(QStringLiteral("Reports/Rechnung.rtm"));
        try {
            r.loadLayout(missing);
            QFAIL("no error");
        } catch (const TvxError &e) {
            QCOMPARE(e.text(), QStringLiteral("Berichtslayout nicht gefunden: %1").arg(missing));
        }
        // what saveLayout writes, loadLayout restores on a report that was changed since
        r.setLayoutText(QStringLiteral("anmerkung"), QStringLiteral("Text mit Umlaut: äöü"));
        const QString file = path(QStringLiteral("roundtrip.rtm"));
        r.saveLayout(file);
        Report other;
        sample::build(other);
        other.element(QStringLiteral("lbl_firma")).left = 1;
        other.element(QStringLiteral("dt_betrag")).font.setItalic(true);
        other.region(QStringLiteral("reg_text")).shiftRelativeTo = nullptr;
        other.loadLayout(file);
        QCOMPARE(QString::fromUtf8(other.layoutJson()), QString::fromUtf8(r.layoutJson()));
    }

    // The viewer: page buttons, zoom buttons, keys; and a screenshot to look at.
    void viewer()
    {
        Report r;
        sample::build(r);
        ListDataSource src(sample::rows(64));
        r.setDataSource(&src);
        auto doc = r.generate();
        const int n = doc->pageCount();
        QVERIFY(n >= 3);

        ReportPreview w;
        w.resize(1000, 800);
        w.setDocument(doc);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        ReportViewer *v = w.findChild<ReportViewer *>(QStringLiteral("vw_vorschau"));
        QVERIFY(v);
        auto btn = [&](const char *name) { return w.findChild<QAbstractButton *>(QLatin1String(name)); };
        QCOMPARE(btn("btn_first")->text(), QStringLiteral("| <"));
        QCOMPARE(btn("btn_back")->text(), QStringLiteral("<<"));
        QCOMPARE(btn("btn_forward")->text(), QStringLiteral(">>"));
        QCOMPARE(btn("btn_last")->text(), QStringLiteral("> |"));
        QCOMPARE(v->currentPage(), 0);
        QVERIFY(!btn("btn_back")->isEnabled());

        QTest::mouseClick(btn("btn_forward"), Qt::LeftButton);
        QCOMPARE(v->currentPage(), 1);
        QTest::mouseClick(btn("btn_last"), Qt::LeftButton);
        QCOMPARE(v->currentPage(), n - 1);
        QVERIFY(!btn("btn_forward")->isEnabled());
        v->nextPage(); // nothing after the last page
        QCOMPARE(v->currentPage(), n - 1);
        QTest::mouseClick(btn("btn_back"), Qt::LeftButton);
        QCOMPARE(v->currentPage(), n - 2);
        QTest::mouseClick(btn("btn_first"), Qt::LeftButton);
        QCOMPARE(v->currentPage(), 0);
        v->setFocus();
        QTest::keyClick(v, Qt::Key_PageDown);
        QCOMPARE(v->currentPage(), 1);
        QTest::keyClick(v, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(v->currentPage(), n - 1);
        QTest::keyClick(v, Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(v->currentPage(), 0);

        const double dpi = v->logicalDpiX();
        for (int z : {140, 68, 100}) {
            QTest::mouseClick(btn(qPrintable(QStringLiteral("sb_%1").arg(z))), Qt::LeftButton);
            QCOMPARE(v->zoom(), z);
            QVERIFY(btn(qPrintable(QStringLiteral("sb_%1").arg(z)))->isChecked());
            QVERIFY(qAbs(v->currentImage().width() - 210 / 25.4 * dpi * z / 100) <= 1);
        }
        // the page is painted: dark text pixels on white, window colour around it
        const QImage img = v->currentImage();
        int dark = 0;
        for (int y = 0; y < img.height(); y += 2)
            for (int x = 0; x < img.width(); x += 2)
                dark += qGray(img.pixel(x, y)) < 100;
        QVERIFY(dark > 200);
        const QString shot = path(QStringLiteral("preview.png"));
        QVERIFY(w.grab().save(shot));
        if (qEnvironmentVariableIsSet("TVX_KEEP_SHOTS"))
            QFile::copy(shot, qEnvironmentVariable("TVX_KEEP_SHOTS") + QStringLiteral("/preview.png"));
    }
};

QTEST_MAIN(TestReport)
#include "tst_report.moc"
