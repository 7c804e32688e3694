// A capture of 100 positions issued and previewed: the rows copied one by one
// with a key query each, inside the transaction, then the document (a PDF in
// place of the printer, so no print system is needed). Prints the
// milliseconds of the row copy and of the whole save, and of the preview.
// Goal: the whole save under 500 ms, the preview under 400 ms.
#include "app/core/u_global.h"
#include "app/core/u_sprache.h"
#include "capture/u_ausstellen.h"
#include "capture/u_erfassung.h"
#include "output/u_vorschauanzeigen.h"
#include "output/udm_rechnung_vorschau.h"
#include "output/udm_rechnungen.h"
#include "platform/core/dialogs.h"
#include "platform/dataset/dataset.h"
#include "platform/report/document.h"
#include "tests/support/testprogrammordner.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <cstdio>

namespace {

void erfassen(TErfassung &e, int anzahl)
{
    e.ed_kunde_re->setText(QStringLiteral("1"));
    e.btn_kopfok_stammkunde_reClick();
    Dataset &t = *e.tbl_rechnungerfassen;
    const char *artikel[] = {"IT300", "H200", "TEXT"};
    for (int i = 0; i < anzahl; ++i) {
        if (i > 0)
            t.append();
        else
            t.edit();
        t.setValue(QStringLiteral("Artikel"), QString::fromLatin1(artikel[i % 3]));
        t.setValue(QStringLiteral("Menge"), 1.0 + i % 4);
        t.setValue(QStringLiteral("Preis"), 10.0 + i);
        t.post();
    }
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ScopedScriptedDialogs dialoge;
    TestProgrammordner p;
    Einstellung::setSource(nullptr);
    MwStKuerzel = QStringLiteral("MwSt");
    Waehrung = QStringLiteral("€");
    ZweiDurchlaeufe = true;
    Tdm_rechnungen rechnungen;
    Tdm_rechnung_vorschau vorschau;
    QWidget seite;
    auto *e = new TErfassung(&seite);
    QTemporaryDir tmp;

    QElapsedTimer uhr;
    qint64 kopie = 0;
    TAusstellung a;
    a.rechnungAusgeben = [&](int firma, int periode, int nr, bool) {
        kopie = uhr.elapsed();
        Gutschrift = false;
        TAusgabeFolge f;
        if (rechnungen.bericht.oeffnen(firma, periode, nr) > 0) {
            rechnungen.rp_rechnung.twoPass = true;
            rechnungen.pdfAusgeben(tmp.filePath(QStringLiteral("r.pdf")));
            f.erzeugt = true;
        }
        rechnungen.bericht.schliessen();
        return f;
    };
    vorschau.anzeigen = [](std::shared_ptr<const rpt::ReportDocument>) {};

    const int runden = 5;
    qint64 speichern = 0, zeigen = 0, kopieSumme = 0;
    for (int r = 0; r < runden; ++r) {
        erfassen(*e, 100);
        uhr.start();
        btn_re_vorschauClick(*e);
        zeigen += uhr.elapsed();
        uhr.start();
        btn_rechnungdruckenClick(*e, e->btn_rechnungdrucken, a);
        speichern += uhr.elapsed();
        kopieSumme += kopie;
        if (!dialoge.texts().isEmpty()) {
            std::fprintf(stderr, "message: %s\n", qPrintable(dialoge.texts().join(QStringLiteral(" | "))));
            return 1;
        }
    }
    std::printf("100 positions: row copy %lld ms, whole save with PDF %lld ms, preview %lld ms (mean of %d)\n",
                kopieSumme / runden, speichern / runden, zeigen / runden, runden);
    delete e;
    return 0;
}
