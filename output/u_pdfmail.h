#pragma once
// PDF filing and e-mail: the file names of both PDF branches of RechnungAusgeben,
// emptying the e-mail folder, and handing the invoice PDF to the mail program.
#include "platform/core/errors.h"

#include <QString>
#include <QStringList>
#include <functional>

// Filed PDF: <folder>/<period><sk_18><number>_w.pdf (".pdf" without the suffix
// flag). The folder comes without its enclosing quotes.
QString PdfDateiname(const QString &ordner, int periode_re, int rechnung_nr, bool suffixW);

// The e-mail folder: program folder + "EMAILS" (the program does not create it).
QString EmailOrdner();

// E-mail PDF: <e-mail folder>/RechnungNr_<number>.pdf for language index 0,
// InvoiceNr_<number>.pdf for any other.
QString EmailPdfDateiname(int rechnung_nr, int sprachindex);

// The interface language index (rg_sprache).
int Sprachindex();

// The e-mail file list fl_emailpdfs: the files of one directory, by name.
struct TEmailDateiliste {
    QString verzeichnis;
    QStringList dateien() const; // names only, alphabetical; refreshed on every call
};
TEmailDateiliste fl_emailpdfs();

// Deletes every file of the list, but only when its directory contains "EMAILS",
// so that no other folder can be emptied by a wrong setting. Single failures are
// not reported.
void EmailOrdnerLeeren(const TEmailDateiliste &liste);

// Hands the first "Rechnung…"/"Invoice…" PDF of the e-mail folder, with subject
// and body, to the mail program; recipient the customer's EMail1 ("smtp:" in
// front when SmtpVoranstellen). ex_2 when there is no such PDF, ex_1 when the
// customer record is missing; an error of the hand-over itself is ignored.
void RechnungMailen(int firma, int kunde, const QString &betreff, const TEmailDateiliste &liste,
                    const QString &text);

// The overview buttons "PDF erzeugen" and "Rechnung mailen" for one invoice.
// PDF: ex_7 when nothing was produced (the invoice has no rows), else sm_46 +
// the folder text as entered.
void PdfErzeugen(int firma, int periode_re, int rechnung_nr);
void RechnungPerMail(int firma, int periode_re, int rechnung_nr, int kunde);

// ---- electronic invoices ---------------------------------------------------------
// The e-invoice library builds on this one, so it comes in through two seams that
// the application's wiring sets; unset, PDFs stay plain and there is no XRechnung.

// Turns an invoice PDF just written by RechnungAusgeben into a Factur-X file in
// place; on failure the file is left as it was and the error thrown.
extern std::function<void(const QString &pdf, int firma, int periode_re, int rechnung_nr)> ERechnungEinbetten;
// Writes the invoice as XRechnung into the file and returns the path written;
// on failure no file is left.
extern std::function<QString(const QString &xmlDatei, int firma, int periode_re, int rechnung_nr)>
    XRechnungAusgeben;

// What the seams throw when data the rules require is missing: text() names every
// missing item in the user's language.
struct ERechnungUnvollstaendig : TvxError {
    using TvxError::TvxError;
};

// After a PDF branch, when the setting cb_erechnung is on: embeds the e-invoice
// into each written PDF. A failure never loses the document: the plain PDF stays
// (filed, or attached to the e-mail) and the user is told why and that it carries
// no e-invoice data. True when every file was embedded; false also when the
// setting is off or the seam unset.
enum class TPdfZweck { Ablage, Email };
bool ERechnungEinbettenWennGewaehlt(const QStringList &pdfDateien, int firma, int periode_re, int rechnung_nr,
                                    TPdfZweck zweck);

// The XRechnung beside the filed PDF: PdfDateiname with ".xml" for ".pdf".
QString XRechnungDateiname(const QString &ordner, int periode_re, int rechnung_nr);

// The overview button "XRechnung": writes the invoice into the PDF folder (ex_3
// when the folder is missing) and names the file written. Missing data: its text
// and that no file was written; other errors propagate.
void XRechnungErzeugen(int firma, int periode_re, int rechnung_nr);
