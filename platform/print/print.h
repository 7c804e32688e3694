#pragma once
#include <QString>
#include <QStringList>

// Printers, paper and bins through CUPS (libcups).
//
// Every list begins with "Default": in the printer list it stands for the CUPS
// default destination, in the paper and bin lists for the printer's own default
// (no media / media-source option is sent). The destinations follow in CUPS
// order, the default destination among them under its own name. When CUPS
// cannot be reached (no scheduler, a closed port, a dead host: the connection
// gives up after connectTimeoutMs) or the printer is unknown, a list holds just
// "Default"; the lists never throw and never wait longer than the time-out, so
// they are safe to call while the program starts.
namespace Print {

QString defaultEntry(); // "Default"

struct PrintJob {
    QString printer = defaultEntry(); // a destination name, or "Default" / empty for the CUPS default
    QString paper;                     // a paperNames() entry; empty or "Default": printer default
    QString bin;                       // a binNames() entry; empty or "Default": printer default
    int copies = 1;
    QString title;                     // job title, the document name ("RechnungNr_123")
};

QStringList printerNames();
QStringList paperNames(const QString &printer);
QStringList binNames(const QString &printer);

// Name of the CUPS default destination; empty when there is none or CUPS is unreachable.
QString defaultPrinter();

// Hands a PDF file to CUPS. Returns the job id; throws TvxError with CUPS's
// message when the scheduler, the printer or the job is refused. The file may
// be removed once this returns (CUPS has received its content).
int printPdf(const QString &pdfFile, const PrintJob &job);

// Connection time-out in milliseconds (default 3000).
void setConnectTimeoutMs(int ms);
int connectTimeoutMs();

} // namespace Print
