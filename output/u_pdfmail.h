#pragma once
// PDF filing and e-mail: the file names of both PDF branches of RechnungAusgeben,
// emptying the e-mail folder, and handing the invoice PDF to the mail program.
#include <QString>
#include <QStringList>

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
