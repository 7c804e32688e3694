#pragma once
// The PDF side of Factur-X: PDF/A-3b metadata and the embedded invoice XML.
#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace EInvoice {

// XMP packet: PDF/A-3B identification, title, creator tool, producer and
// dates as given, and the Factur-X extension schema (DocumentType INVOICE,
// DocumentFileName factur-x.xml, Version 1.0, ConformanceLevel EN 16931).
QByteArray FacturXXmp(const QString &titel, const QString &ersteller, const QString &produzent, const QDateTime &zeit);

// The file has an output intent, i.e. it was rendered as PDF/A.
bool IstPdfA(const QString &pdfDatei);

// The bytes of the Factur-X file made from a PDF/A rendering: PDF 1.7,
// factur-x.xml in the EmbeddedFiles name tree and in the catalog's /AF
// (/AFRelationship /Alternative, /Subtype text/xml, /Params /ModDate /Size),
// XMP replaced, document info dates set to zeit. Throws std::exception
// (qpdf) on an unreadable file.
QByteArray FacturXPdf(const QString &pdfA1Datei, const QByteArray &xml, const QDateTime &zeit);

} // namespace EInvoice
