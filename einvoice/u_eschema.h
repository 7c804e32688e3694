#pragma once
// The XML schema of Factur-X / ZUGFeRD profile EN 16931, compiled into the
// program, and the check of a document against it (libxml2).
#include <QByteArray>
#include <QStringList>

namespace EInvoice {

// The schema's findings for the document, one line each ("line 12: ...");
// empty when it is valid.
QStringList SchemaFehler(const QByteArray &xml);

} // namespace EInvoice
