// A 100-row report generated (two passes) and written to PDF; prints the milliseconds.
// Goal: under 200 ms per report.
#include "tests/report/samplereport.h"

#include "platform/report/document.h"
#include "platform/report/report.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QTemporaryDir dir;
    rpt::Report r;
    sample::build(r);
    rpt::ListDataSource src(sample::rows(100));
    r.setDataSource(&src);
    const QString file = dir.filePath(QStringLiteral("bench.pdf"));
    r.exportPdf(file); // warm-up: font database, glyph caches

    QList<qint64> pdf, gen;
    for (int i = 0; i < 10; ++i) {
        QElapsedTimer t;
        t.start();
        auto doc = r.generate();
        gen << t.nsecsElapsed() / 1000;
        t.restart();
        rpt::writePdf(*doc, file);
        pdf << t.nsecsElapsed() / 1000 + gen.last();
    }
    std::sort(pdf.begin(), pdf.end());
    std::sort(gen.begin(), gen.end());
    std::printf("report 100 rows, %d pages: generate (2 passes) median %.1f ms, generate + PDF median %.1f ms, "
                "worst %.1f ms (goal < 200 ms)\n",
                r.generate()->pageCount(), gen[gen.size() / 2] / 1000.0, pdf[pdf.size() / 2] / 1000.0,
                pdf.last() / 1000.0);
    return 0;
}
