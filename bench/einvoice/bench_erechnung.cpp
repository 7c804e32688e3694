// A 100-position invoice as e-invoice: the CII XML (rows, totals, schema check),
// the XRechnung file, and the Factur-X file made from a plain PDF (rendered
// again as PDF/A, attachment and metadata through qpdf) and from a PDF/A one.
// Prints the milliseconds of each (median of 5). Goal: Factur-X under 500 ms.
#include "app/core/u_global.h"
#include "app/core/u_sprache.h"
#include "einvoice/u_erechnung.h"
#include "output/udm_rechnungen.h"
#include "tests/support/testprogrammordner.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

double median(const std::function<void()> &f)
{
    std::vector<double> ms;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer t;
        t.start();
        f();
        ms.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return ms[2];
}

void pdf(Tdm_rechnungen &dm, int nr, const QString &datei, bool pdfA)
{
    Gutschrift = false;
    dm.bericht.oeffnen(1, 20120101, nr);
    dm.rp_rechnung.documentName = QStringLiteral("RechnungNr_%1").arg(nr);
    dm.rp_rechnung.twoPass = true;
    rpt::PdfOptions o;
    o.pdfA = pdfA;
    dm.rp_rechnung.exportPdf(datei, o);
    dm.bericht.schliessen();
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TestProgrammordner p;
    setProgrammordner(p.ordner());
    Sprache::setProgramFolder(p.ordner());
    Einstellung::setSource(nullptr);
    MwStKuerzel = QStringLiteral("MwSt");
    Waehrung = QStringLiteral("€");
    ZweiDurchlaeufe = true;
    Tdm_rechnungen dm;
    dm.bericht.layoutLaden(p.pfad(QStringLiteral("Reports/Rechnung.rtm")));
    p.ausfuehren(QStringLiteral("UPDATE Kundenstamm SET Kaeuferreferenz = '04011000-12345-34'"));
    // invoice 100: copies of the shipped positions of invoice 1 (customer 2)
    for (int i = 0; i < 100; ++i) {
        p.ausfuehren(QStringLiteral("CREATE TEMP TABLE kopie AS SELECT * FROM Artikelpositionen WHERE ID_Artikelpositionen = :q"),
                     {{QStringLiteral("q"), 2 + i % 4}});
        p.ausfuehren(QStringLiteral("UPDATE kopie SET ID_Artikelpositionen = :id, Rechnung_nr = 100, Position_X = :x"),
                     {{QStringLiteral("id"), 1000 + i}, {QStringLiteral("x"), i + 1}});
        p.ausfuehren(QStringLiteral("INSERT INTO Artikelpositionen SELECT * FROM kopie"));
        p.ausfuehren(QStringLiteral("DROP TABLE kopie"));
    }
    QTemporaryDir tmp;
    const QString datei = tmp.filePath(QStringLiteral("r.pdf"));
    const double xml = median([] { EInvoice::CiiXml(1, 20120101, 100, EInvoice::Syntax::FacturX); });
    const double xr = median([&] { EInvoice::XRechnungSchreiben(tmp.filePath(QStringLiteral("r.xml")), 1, 20120101, 100); });
    const double plain = median([&] { pdf(dm, 100, datei, false); });
    const double fxPlain = median([&] {
        pdf(dm, 100, datei, false);
        EInvoice::FacturXEinbetten(datei, 1, 20120101, 100);
    }) - plain;
    const double pdfa = median([&] { pdf(dm, 100, datei, true); });
    const double fxA = median([&] {
        pdf(dm, 100, datei, true);
        EInvoice::FacturXEinbetten(datei, 1, 20120101, 100);
    }) - pdfa;
    std::printf("100 positions: CII XML %.1f ms, XRechnung file %.1f ms\n", xml, xr);
    std::printf("plain PDF %.1f ms, PDF/A PDF %.1f ms\n", plain, pdfa);
    std::printf("Factur-X from the plain PDF (renders again) %.1f ms, from a PDF/A rendering %.1f ms\n", fxPlain, fxA);
    return 0;
}
