#include "output/udm_rechnungen.h"
#include "output/u_pdfmail.h"

#include "app/core/u_global.h"
#include "app/core/u_sprache.h"
#include "app/core/u_strings.h"
#include "data/u_dm_datenbank.h"
#include "output/u_vorschau.h"
#include "platform/print/print.h"
#include "platform/report/document.h"

#include <QFileInfo>

Tdm_rechnungen *dm_rechnungen = nullptr;

Tdm_rechnungen::Tdm_rechnungen(QObject *parent)
    : QObject(parent), rp_rechnung(bericht.rp_rechnung), qry_rechnung(bericht.qry_rechnung)
{
    dm_rechnungen = this;
    setObjectName(QStringLiteral("dm_rechnungen"));
    Sprache::registerReport(0, {[this](const QString &datei) { bericht.layoutLaden(datei); },
                                [this](const QString &label, const QString &caption) {
                                    bericht.beschriftungSetzen(label, caption);
                                }});
}

Tdm_rechnungen::~Tdm_rechnungen()
{
    Sprache::unregisterReport(0);
    if (dm_rechnungen == this)
        dm_rechnungen = nullptr;
}

int Tdm_rechnungen::druckerAusgeben(const QString &drucker, const QString &papier, const QString &zufuhr, int kopien)
{
    Print::PrintJob job;
    job.printer = drucker;
    job.paper = papier;
    job.bin = zufuhr;
    job.copies = kopien;
    job.title = rp_rechnung.documentName;
    return rp_rechnung.print(job);
}

void Tdm_rechnungen::bildschirmAusgeben()
{
    const std::shared_ptr<const rpt::ReportDocument> doc = rp_rechnung.generate();
    if (frm_vorschau) {
        frm_vorschau->anzeigen(doc);
    } else {
        Tfrm_vorschau fenster(qobject_cast<QWidget *>(parent()));
        fenster.anzeigen(doc);
    }
}

void Tdm_rechnungen::pdfAusgeben(const QString &datei)
{
    // a PDF is one document, whatever the copies of the print settings say
    rpt::PdfOptions o;
    o.title = rp_rechnung.documentName;
    rp_rechnung.exportPdf(datei, o);
}

TRechnungsausgabe TRechnungsausgabe::Druckeinstellungen()
{
    TRechnungsausgabe a;
    a.drucker = Einstellung::text(QStringLiteral("cb_drucker_re"));
    a.papier = Einstellung::text(QStringLiteral("cb_papier_re"));
    a.zufuhr = Einstellung::text(QStringLiteral("cb_zufuhr_re"));
    bool ok = false;
    const int kopien = Einstellung::text(QStringLiteral("ed_anzahl_re")).trimmed().toInt(&ok);
    a.kopien = ok && kopien > 0 ? kopien : 1;
    return a;
}

TAusgabeErgebnis RechnungAusgeben(int firma, int periode_re, int rechnung_nr, const TRechnungsausgabe &a)
{
    if (!dm_rechnungen)
        throw TvxError(QStringLiteral("Rechnungsmodul fehlt"));
    Tdm_rechnungen &dm = *dm_rechnungen;
    TAusgabeErgebnis ergebnis;

    // 1: the PDF folder must exist before anything is produced
    QString pdfOrdner;
    if (a.pdf) {
        pdfOrdner = OhneAnfuehrungszeichen(a.pdfOrdner);
        if (pdfOrdner.trimmed().isEmpty() || !QFileInfo(pdfOrdner).isDir())
            throw ETestException(txt("ex_3"));
    }
    // 2
    Gutschrift = false;
    // 3-4; 10: the query is closed on every way out
    struct Schliessen {
        TRechnungsbericht &b;
        ~Schliessen() { b.schliessen(); }
    } schliessen{dm.bericht};
    if (dm.bericht.oeffnen(firma, periode_re, rechnung_nr) == 0)
        return ergebnis;
    // 5-6
    dm.rp_rechnung.documentName = txt("sk_17") + QString::number(rechnung_nr);
    // 7
    dm.rp_rechnung.twoPass = false;
    if (ZweiDurchlaeufe)
        dm.rp_rechnung.twoPass = true;
    // 8: printer or screen
    if (a.drucken) {
        if (a.bildschirm)
            dm.bildschirmAusgeben();
        else
            ergebnis.druckauftrag = dm.druckerAusgeben(a.drucker, a.papier, a.zufuhr, a.kopien);
        ergebnis.erzeugt = true;
    }
    // 9: filing, then the PDF for the e-mail; each writes one copy
    if (a.pdf) {
        const QString datei = PdfDateiname(pdfOrdner, periode_re, rechnung_nr, a.suffixW);
        dm.pdfAusgeben(datei);
        ergebnis.pdfDateien << datei;
        ergebnis.erzeugt = true;
    }
    if (a.email) {
        const QString datei = EmailPdfDateiname(rechnung_nr, Sprachindex());
        dm.pdfAusgeben(datei);
        ergebnis.pdfDateien << datei;
        ergebnis.erzeugt = true;
    }
    return ergebnis;
}
