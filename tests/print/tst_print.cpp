// Printing against a real CUPS scheduler with the cups-pdf printer TVX_PDF
// (tools/start-cups.sh; cups-pdf writes /var/spool/cups-pdf/TVX/job_<id>-<title>.pdf).
#include "../report/pdfwords.h"
#include "../report/samplereport.h"

#include "platform/core/errors.h"
#include "platform/print/print.h"
#include "platform/report/report.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cups/cups.h>

namespace {

const QString kOut = QStringLiteral("/var/spool/cups-pdf/TVX");

QString runTool(const QString &program, const QStringList &args, int *exitCode = nullptr)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    // the CUPS tools answer in the user's language; the checks read English
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    env.insert(QStringLiteral("LANG"), QStringLiteral("C"));
    p.setProcessEnvironment(env);
    p.start(program, args);
    p.waitForFinished(60000);
    if (exitCode)
        *exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return QString::fromUtf8(p.readAll());
}

bool cupsReady()
{
    return runTool(QStringLiteral("lpstat"), {QStringLiteral("-r")}).contains(QLatin1String("is running"))
           && runTool(QStringLiteral("lpstat"), {QStringLiteral("-p"), QStringLiteral("TVX_PDF")})
                  .contains(QLatin1String("TVX_PDF"));
}

// Every attribute of a job as text (first value), through IPP Get-Job-Attributes.
QMap<QString, QString> jobAttributes(int id)
{
    QMap<QString, QString> out;
    http_t *http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, 5000, nullptr);
    if (!http)
        return out;
    ipp_t *req = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    const QByteArray uri = QByteArrayLiteral("ipp://localhost/jobs/") + QByteArray::number(id);
    ippAddString(req, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri.constData());
    ippAddString(req, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    ippAddString(req, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr, "all");
    ipp_t *resp = cupsDoRequest(http, req, "/");
    for (ipp_attribute_t *a = resp ? ippFirstAttribute(resp) : nullptr; a; a = ippNextAttribute(resp)) {
        if (!ippGetName(a))
            continue;
        QString v;
        switch (ippGetValueTag(a)) {
        case IPP_TAG_INTEGER:
        case IPP_TAG_ENUM:
            v = QString::number(ippGetInteger(a, 0));
            break;
        default:
            v = QString::fromUtf8(ippGetString(a, 0, nullptr));
        }
        out.insert(QString::fromUtf8(ippGetName(a)), v);
    }
    ippDelete(resp);
    httpClose(http);
    return out;
}

int jobState(int id) { return jobAttributes(id).value(QStringLiteral("job-state")).toInt(); }

// Page 1 of a PDF as a grey image at 40 dpi.
QImage raster(const QString &pdfFile, const QString &dir)
{
    const QString base = dir + QStringLiteral("/r") + QString::number(qHash(pdfFile));
    runTool(QStringLiteral("pdftoppm"), {QStringLiteral("-gray"), QStringLiteral("-r"), QStringLiteral("40"),
                                         QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                                         QStringLiteral("1"), QStringLiteral("-singlefile"), pdfFile, base});
    return QImage(base + QStringLiteral(".pgm")).convertToFormat(QImage::Format_Grayscale8);
}

// Mean grey difference of two equally sized pages, 0..255.
double difference(const QImage &a, const QImage &b)
{
    if (a.isNull() || a.size() != b.size())
        return 255;
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            sum += qAbs(qGray(a.pixel(x, y)) - qGray(b.pixel(x, y)));
    return sum / (a.width() * a.height());
}

int darkPixels(const QImage &img)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += qGray(img.pixel(x, y)) < 128;
    return n;
}

} // namespace

class TestPrint : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;

    QString samplePdf(const QString &name)
    {
        rpt::Report r;
        sample::build(r);
        rpt::ListDataSource src(sample::rows(5));
        r.setDataSource(&src);
        const QString f = m_dir.filePath(name);
        r.exportPdf(f);
        return f;
    }

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QVERIFY(m_dir.isValid());
        if (!cupsReady()) {
            const QString script = qEnvironmentVariable("TVX_SOURCE_DIR") + QStringLiteral("/tools/start-cups.sh");
            const QString log = runTool(QStringLiteral("bash"), {script});
            if (!cupsReady()) {
                if (qEnvironmentVariableIsSet("CI"))
                    QFAIL(qPrintable(QStringLiteral("CUPS does not start: ") + log));
                QSKIP(qPrintable(QStringLiteral("CUPS with TVX_PDF cannot be started here (needs root): ") + log));
            }
        }
    }

    void listsWithCups()
    {
        const QStringList printers = Print::printerNames();
        QCOMPARE(printers.value(0), QStringLiteral("Default"));
        QVERIFY2(printers.contains(QStringLiteral("TVX_PDF")), qPrintable(printers.join(QLatin1Char(','))));
        QCOMPARE(printers.count(QStringLiteral("Default")), 1);
        QCOMPARE(Print::defaultPrinter(), QStringLiteral("TVX_PDF"));

        const QStringList paper = Print::paperNames(QStringLiteral("TVX_PDF"));
        QCOMPARE(paper.value(0), QStringLiteral("Default"));
        QVERIFY(paper.contains(QStringLiteral("A4")));
        QVERIFY(paper.contains(QStringLiteral("Letter")));
        QCOMPARE(Print::paperNames(QStringLiteral("Default")), paper);
        // cups-pdf has no paper bins
        QCOMPARE(Print::binNames(QStringLiteral("TVX_PDF")), QStringList{QStringLiteral("Default")});
        QCOMPARE(Print::paperNames(QStringLiteral("GibtEsNicht")), QStringList{QStringLiteral("Default")});
    }

    // The report engine's print path: PDF rendered, handed to CUPS with title, copies and paper.
    void printReport()
    {
        rpt::Report r;
        sample::build(r);
        rpt::ListDataSource src(sample::rows(5));
        r.setDataSource(&src);
        r.documentName = QStringLiteral("RechnungNr_4711");
        Print::PrintJob job;
        job.printer = QStringLiteral("TVX_PDF");
        job.paper = QStringLiteral("A4");
        job.copies = 2;
        const int id = r.print(job);
        QVERIFY(id > 0);
        QTRY_COMPARE_WITH_TIMEOUT(jobState(id), int(IPP_JSTATE_COMPLETED), 60000);

        const auto attrs = jobAttributes(id);
        QCOMPARE(attrs.value(QStringLiteral("job-name")), QStringLiteral("RechnungNr_4711"));
        QCOMPARE(attrs.value(QStringLiteral("copies")), QStringLiteral("2"));
        QVERIFY2(attrs.value(QStringLiteral("media")).contains(QLatin1String("a4"), Qt::CaseInsensitive),
                 qPrintable(attrs.value(QStringLiteral("media"))));
        QVERIFY(attrs.value(QStringLiteral("job-printer-uri")).endsWith(QLatin1String("/TVX_PDF")));
        QVERIFY(runTool(QStringLiteral("lpstat"), {QStringLiteral("-W"), QStringLiteral("completed"), QStringLiteral("-o"),
                                                   QStringLiteral("TVX_PDF")})
                    .contains(QStringLiteral("TVX_PDF-%1 ").arg(id)));

        const QString out = kOut + QStringLiteral("/job_%1-RechnungNr_4711.pdf").arg(id);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(out), 30000);
        // cups-pdf re-renders through Ghostscript, which drops the text layer,
        // so the arrived page is compared with the report's own PDF as a picture
        QCOMPARE(pdf::pageCount(out), 1);
        QVERIFY(pdf::info(out).contains(QLatin1String("A4")));
        const QString mine = m_dir.filePath(QStringLiteral("mine.pdf"));
        r.exportPdf(mine);
        const QImage sent = raster(mine, m_dir.path()), arrived = raster(out, m_dir.path());
        QVERIFY(darkPixels(sent) > 500);
        const double diff = difference(sent, arrived);
        qInfo("page difference sent/arrived: %.2f of 255", diff);
        QVERIFY2(diff < 6, qPrintable(QString::number(diff)));
        // and a different page would not pass that comparison
        r.element(QStringLiteral("lbl_firma")).visible = false;
        r.band(QStringLiteral("det")).visible = false;
        r.exportPdf(mine);
        QVERIFY(difference(raster(mine, m_dir.path()), arrived) > diff + 1);
        QFile::remove(out);
    }

    void printToDefault()
    {
        Print::PrintJob job; // printer "Default", paper and bin "Default"
        job.title = QStringLiteral("RechnungNr_4712");
        QCOMPARE(job.printer, QStringLiteral("Default"));
        const int id = Print::printPdf(samplePdf(QStringLiteral("default.pdf")), job);
        QTRY_COMPARE_WITH_TIMEOUT(jobState(id), int(IPP_JSTATE_COMPLETED), 60000);
        const auto attrs = jobAttributes(id);
        QVERIFY(attrs.value(QStringLiteral("job-printer-uri")).endsWith(QLatin1String("/TVX_PDF")));
        QCOMPARE(attrs.value(QStringLiteral("copies")), QStringLiteral("1"));
        QFile::remove(kOut + QStringLiteral("/job_%1-RechnungNr_4712.pdf").arg(id));
    }

    // A queue whose PPD has paper bins: the list shows them, a job takes the chosen one.
    void bins()
    {
        QFile base(QStringLiteral("/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd"));
        if (!base.open(QIODevice::ReadOnly))
            QSKIP("cups-pdf PPD not installed");
        const QString ppd = m_dir.filePath(QStringLiteral("bins.ppd"));
        QFile f(ppd);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(base.readAll());
        f.write("*OpenUI *InputSlot/Paper Source: PickOne\n*OrderDependency: 20 AnySetup *InputSlot\n"
                "*DefaultInputSlot: Upper\n*InputSlot Upper/Oberes Fach: \"\"\n*InputSlot Lower/Unteres Fach: \"\"\n"
                "*InputSlot Manual/Manuelle Zufuhr: \"\"\n*CloseUI: *InputSlot\n");
        f.close();
        int rc = 0;
        const QString log = runTool(QStringLiteral("lpadmin"), {QStringLiteral("-p"), QStringLiteral("TVX_BINS"), QStringLiteral("-E"),
                                                                QStringLiteral("-v"), QStringLiteral("cups-pdf:/"), QStringLiteral("-P"), ppd,
                                                                QStringLiteral("-o"), QStringLiteral("Label-default=1"),
                                                                QStringLiteral("-o"), QStringLiteral("TitlePref-default=1")},
                                    &rc);
        if (rc != 0)
            QSKIP(qPrintable(QStringLiteral("cannot add a test queue: ") + log));
        auto cleanup = qScopeGuard([] { runTool(QStringLiteral("lpadmin"), {QStringLiteral("-x"), QStringLiteral("TVX_BINS")}); });

        QVERIFY(Print::printerNames().contains(QStringLiteral("TVX_BINS")));
        QCOMPARE(Print::binNames(QStringLiteral("TVX_BINS")),
                 (QStringList{QStringLiteral("Default"), QStringLiteral("Upper"), QStringLiteral("Lower"), QStringLiteral("Manual")}));
        Print::PrintJob job;
        job.printer = QStringLiteral("TVX_BINS");
        job.bin = QStringLiteral("Lower");
        job.paper = QStringLiteral("Letter");
        job.title = QStringLiteral("RechnungNr_4713");
        const int id = Print::printPdf(samplePdf(QStringLiteral("bins.pdf")), job);
        QTRY_COMPARE_WITH_TIMEOUT(jobState(id), int(IPP_JSTATE_COMPLETED), 60000);
        const auto attrs = jobAttributes(id);
        QCOMPARE(attrs.value(QStringLiteral("InputSlot")), QStringLiteral("Lower"));
        QVERIFY(attrs.value(QStringLiteral("media")).contains(QLatin1String("letter"), Qt::CaseInsensitive));
        QFile::remove(kOut + QStringLiteral("/job_%1-RechnungNr_4713.pdf").arg(id));
    }

    void errors()
    {
        const QString file = samplePdf(QStringLiteral("err.pdf"));
        Print::PrintJob job;
        job.printer = QStringLiteral("GibtEsNicht");
        try {
            Print::printPdf(file, job);
            QFAIL("no error for an unknown printer");
        } catch (const TvxError &e) {
            QVERIFY(!e.text().isEmpty());
            // says which printer, not CUPS's bare "No such file or directory"
            QVERIFY2(e.text().contains(QStringLiteral("GibtEsNicht")), qPrintable(e.text()));
        }
        QVERIFY_THROWS_EXCEPTION(TvxError, Print::printPdf(m_dir.filePath(QStringLiteral("fehlt.pdf")), Print::PrintJob{}));
    }

    // No scheduler reachable: every list holds just "Default", at once; printing fails with CUPS's message.
    void noCups()
    {
        const QByteArray old = qgetenv("CUPS_SERVER");
        const bool had = qEnvironmentVariableIsSet("CUPS_SERVER");
        qputenv("CUPS_SERVER", "127.0.0.1:1");
        cupsSetServer(nullptr);
        auto restore = qScopeGuard([&] {
            if (had)
                qputenv("CUPS_SERVER", old);
            else
                qunsetenv("CUPS_SERVER");
            cupsSetServer(nullptr);
        });
        const QString file = samplePdf(QStringLiteral("nocups.pdf"));
        QElapsedTimer t;
        t.start();
        const QStringList just{QStringLiteral("Default")};
        QCOMPARE(Print::printerNames(), just);
        QCOMPARE(Print::paperNames(QStringLiteral("Default")), just);
        QCOMPARE(Print::binNames(QStringLiteral("TVX_PDF")), just);
        QCOMPARE(Print::defaultPrinter(), QString());
        try {
            Print::printPdf(file, Print::PrintJob{});
            QFAIL("printing without CUPS succeeded");
        } catch (const TvxError &e) {
            QVERIFY2(e.text().startsWith(QLatin1String("CUPS ist nicht erreichbar (127.0.0.1)")), qPrintable(e.text()));
        }
        // a guard against hanging, not a speed measurement
        QVERIFY2(t.elapsed() < 5000, qPrintable(QString::number(t.elapsed())));
    }
};

QTEST_MAIN(TestPrint)
#include "tst_print.moc"
