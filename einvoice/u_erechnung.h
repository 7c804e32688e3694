#pragma once
// Electronic invoices: one stored invoice as UN/CEFACT Cross Industry Invoice
// (profile EN 16931), either embedded in its PDF as a Factur-X / ZUGFeRD
// PDF/A-3b file or written alone as XRechnung. The amounts come from the same
// rows and the same computation as the printed document, so the XML and the
// PDF agree to the cent. Nothing is written that fails the XML schema.
#include "output/u_pdfmail.h"
#include "platform/core/errors.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace EInvoice {

// Why no e-invoice could be written: every missing item, already in the
// user's language. what()/text() is the full message (ei_1 and the items).
// It is the TvxError the PDF output's seams expect for missing data.
struct EUnvollstaendig : ERechnungUnvollstaendig {
    explicit EUnvollstaendig(const QStringList &fehlt);
    QStringList fehlt;
};

// The document did not pass the XML schema; text() names the first findings.
struct EUngueltig : TvxError {
    explicit EUngueltig(const QString &text) : TvxError(text) {}
};

enum class Syntax { FacturX, XRechnung };

// The invoice (Firma, Periode_re, Rechnung_nr) as CII XML, from the stored
// rows; validated against the schema before it is returned. Throws
// EUnvollstaendig, EUngueltig, EDatabaseError; TvxError when the invoice has no
// rows.
QByteArray CiiXml(int firma, int periode_re, int rechnung_nr, Syntax syntax);

// What CiiXml would refuse, without building anything (empty: complete).
QStringList Fehlend(int firma, int periode_re, int rechnung_nr, Syntax syntax);

// Turns an invoice PDF just written by RechnungAusgeben into a PDF/A-3b
// Factur-X file in place (factur-x.xml embedded). When the file was not
// rendered as PDF/A (rpt::PdfOptions::pdfA), the invoice is rendered again
// through dm_rechnungen's report as PDF/A first. On any failure the original
// file is left unchanged and the error thrown.
void FacturXEinbetten(const QString &pdfDatei, int firma, int periode_re, int rechnung_nr);

// Writes the XRechnung XML into xmlDatei (through a temporary file, so a
// failure leaves no partial file); returns the path written.
QString XRechnungSchreiben(const QString &xmlDatei, int firma, int periode_re, int rechnung_nr);

// The XRechnung file that belongs beside a filed PDF: same name, ".xml".
QString XRechnungDateiname(const QString &pdfDatei);

} // namespace EInvoice
