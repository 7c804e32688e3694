#include "platform/print/print.h"
#include "platform/core/errors.h"

#include <QFileInfo>

#include <cups/cups.h>
#include <cups/pwg.h>
// The PPD API is marked deprecated but is the only source of a queue's own
// InputSlot names; driverless queues without a PPD fall back to IPP media-source.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <cups/ppd.h>

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace Print {
namespace {

int g_timeoutMs = 3000;

// One connection to the scheduler with a bounded connect and request time,
// so that an unreachable server never blocks the caller for long.
class Connection {
public:
    Connection()
    {
        m_http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                              g_timeoutMs, nullptr);
        if (m_http)
            httpSetTimeout(m_http, g_timeoutMs / 1000.0 + 2.0, nullptr, nullptr);
    }
    ~Connection()
    {
        if (m_http)
            httpClose(m_http);
    }
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;
    http_t *http() const { return m_http; }
    explicit operator bool() const { return m_http != nullptr; }

private:
    http_t *m_http = nullptr;
};

bool isDefault(const QString &name)
{
    return name.trimmed().isEmpty() || name.compare(defaultEntry(), Qt::CaseInsensitive) == 0;
}

// The destination of a name; "Default" means the CUPS default. Caller frees.
cups_dest_t *namedDest(http_t *http, const QString &printer)
{
    const QByteArray name = printer.toUtf8();
    return cupsGetNamedDest(http, isDefault(printer) ? nullptr : name.constData(), nullptr);
}

struct DestInfo {
    cups_dest_t *dest = nullptr;
    cups_dinfo_t *info = nullptr;
    ~DestInfo()
    {
        if (info)
            cupsFreeDestInfo(info);
        if (dest)
            cupsFreeDests(1, dest);
    }
};

// Values of one "-supported" attribute of a printer; empty when unknown.
QStringList supportedValues(const QString &printer, const char *option, bool mediaNames)
{
    QStringList out;
    Connection c;
    if (!c)
        return out;
    DestInfo d;
    d.dest = namedDest(c.http(), printer);
    if (!d.dest)
        return out;
    d.info = cupsCopyDestInfo(c.http(), d.dest);
    if (!d.info)
        return out;
    ipp_attribute_t *attr = cupsFindDestSupported(c.http(), d.dest, d.info, option);
    const int n = attr ? ippGetCount(attr) : 0;
    for (int i = 0; i < n; ++i) {
        const char *v = ippGetString(attr, i, nullptr);
        if (!v)
            continue;
        QString name = QString::fromUtf8(v);
        if (mediaNames) {
            if (name.startsWith(QLatin1String("custom_")))
                continue; // the custom-size range, not a paper
            // show the familiar name ("A4") instead of the PWG keyword
            if (pwg_media_t *m = pwgMediaForPWG(v)) {
                if (m->ppd)
                    name = QString::fromUtf8(m->ppd);
                else if (m->legacy)
                    name = QString::fromUtf8(m->legacy);
            }
        } else if (name == QLatin1String("auto")) {
            continue; // the same as "Default"
        }
        if (!out.contains(name))
            out << name;
    }
    return out;
}

// InputSlot choices of the queue's PPD; false when the queue has no PPD.
bool ppdInputSlots(http_t *http, const QByteArray &printer, QStringList &out)
{
    const char *file = cupsGetPPD2(http, printer.constData());
    if (!file)
        return false;
    const QByteArray path(file);
    ppd_file_t *ppd = ppdOpenFile(path.constData());
    unlink(path.constData());
    if (!ppd)
        return false;
    if (ppd_option_t *opt = ppdFindOption(ppd, "InputSlot"))
        for (int i = 0; i < opt->num_choices; ++i)
            out << QString::fromUtf8(opt->choices[i].choice);
    ppdClose(ppd);
    return true;
}

QByteArray destName(http_t *http, const QString &printer)
{
    if (!isDefault(printer))
        return printer.toUtf8();
    cups_dest_t *d = namedDest(http, printer);
    if (!d)
        return {};
    QByteArray name(d->name);
    cupsFreeDests(1, d);
    return name;
}

} // namespace

QString defaultEntry() { return QStringLiteral("Default"); }

void setConnectTimeoutMs(int ms) { g_timeoutMs = qMax(100, ms); }
int connectTimeoutMs() { return g_timeoutMs; }

QStringList printerNames()
{
    QStringList out{defaultEntry()};
    Connection c;
    if (!c)
        return out;
    cups_dest_t *dests = nullptr;
    const int n = cupsGetDests2(c.http(), &dests);
    for (int i = 0; i < n; ++i) {
        if (dests[i].instance)
            continue;
        const QString name = QString::fromUtf8(dests[i].name);
        if (!out.contains(name))
            out << name;
    }
    cupsFreeDests(n, dests);
    return out;
}

QString defaultPrinter()
{
    Connection c;
    if (!c)
        return {};
    cups_dest_t *d = namedDest(c.http(), defaultEntry());
    if (!d)
        return {};
    const QString name = QString::fromUtf8(d->name);
    cupsFreeDests(1, d);
    return name;
}

QStringList paperNames(const QString &printer)
{
    return QStringList{defaultEntry()} + supportedValues(printer, CUPS_MEDIA, true);
}

QStringList binNames(const QString &printer)
{
    QStringList out{defaultEntry()};
    {
        Connection c;
        if (!c)
            return out;
        const QByteArray name = destName(c.http(), printer);
        if (name.isEmpty())
            return out;
        QStringList choices;
        if (ppdInputSlots(c.http(), name, choices)) {
            for (const QString &s : std::as_const(choices))
                if (!out.contains(s))
                    out << s;
            return out;
        }
    }
    return out + supportedValues(printer, CUPS_MEDIA_SOURCE, false);
}

int printPdf(const QString &pdfFile, const PrintJob &job)
{
    if (!QFileInfo(pdfFile).isFile())
        throw TvxError(QStringLiteral("Druckdatei nicht gefunden: %1").arg(pdfFile));
    Connection c;
    if (!c)
        throw TvxError(QStringLiteral("CUPS ist nicht erreichbar (%1): %2")
                           .arg(QString::fromUtf8(cupsServer()), QString::fromLocal8Bit(strerror(errno))));

    const QByteArray printer = destName(c.http(), job.printer);
    if (printer.isEmpty())
        throw TvxError(QStringLiteral("Es ist kein Standarddrucker eingerichtet (%1)")
                           .arg(QString::fromUtf8(cupsLastErrorString())));
    // CUPS says only "No such file or directory" for a queue that does not exist
    if (cups_dest_t *d = namedDest(c.http(), QString::fromUtf8(printer)))
        cupsFreeDests(1, d);
    else
        throw TvxError(QStringLiteral("Der Drucker \u201E%1\u201C ist nicht eingerichtet").arg(QString::fromUtf8(printer)));

    int nopt = 0;
    cups_option_t *opts = nullptr;
    nopt = cupsAddOption("copies", QByteArray::number(qMax(1, job.copies)).constData(), nopt, &opts);
    if (!isDefault(job.paper))
        nopt = cupsAddOption(CUPS_MEDIA, job.paper.trimmed().toUtf8().constData(), nopt, &opts);
    if (!isDefault(job.bin)) {
        // a PPD queue takes its own InputSlot name, a driverless one the IPP keyword
        QStringList choices;
        const bool ppd = ppdInputSlots(c.http(), printer, choices);
        nopt = cupsAddOption(ppd ? "InputSlot" : CUPS_MEDIA_SOURCE, job.bin.trimmed().toUtf8().constData(), nopt,
                             &opts);
    }

    const QByteArray file = QFile::encodeName(pdfFile);
    const QByteArray title = (job.title.isEmpty() ? QFileInfo(pdfFile).completeBaseName() : job.title).toUtf8();
    const int id = cupsPrintFile2(c.http(), printer.constData(), file.constData(), title.constData(), nopt, opts);
    cupsFreeOptions(nopt, opts);
    if (id <= 0)
        throw TvxError(QStringLiteral("Der Drucker \u201E%1\u201C hat den Auftrag abgelehnt: %2")
                           .arg(QString::fromUtf8(printer), QString::fromUtf8(cupsLastErrorString())));
    return id;
}

} // namespace Print

#pragma GCC diagnostic pop
