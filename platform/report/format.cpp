#include "platform/report/format.h"

#include <cmath>

namespace rpt {
namespace {

QStringList sections(const QString &format)
{
    QStringList out;
    QString cur;
    QChar quote;
    for (QChar c : format) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'"' || c == u'\'') {
            quote = c;
        } else if (c == u';') {
            out << cur;
            cur.clear();
            continue;
        }
        cur += c;
    }
    out << cur;
    return out;
}

bool isDigitChar(QChar c) { return c == u'0' || c == u'#' || c == u'.' || c == u','; }

// Copies literal text, dropping the quotes.
QString literal(const QString &s)
{
    QString out;
    QChar quote;
    for (QChar c : s) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            else
                out += c;
        } else if (c == u'"' || c == u'\'') {
            quote = c;
        } else {
            out += c;
        }
    }
    return out;
}

struct Pattern {
    QString prefix, suffix;
    int minInt = 0, minDec = 0, maxDec = 0;
    bool grouping = false;
};

Pattern parse(const QString &section)
{
    // the digits are the first run of 0 # . , (outside quotes) holding a 0 or #
    Pattern p;
    int first = -1, last = -1;
    QChar quote;
    for (int i = 0; i < section.size() && last < 0; ++i) {
        const QChar c = section[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            continue;
        }
        if (c == u'"' || c == u'\'') {
            quote = c;
            continue;
        }
        if (!isDigitChar(c))
            continue;
        int j = i;
        bool hasDigit = false;
        while (j < section.size() && isDigitChar(section[j])) {
            hasDigit = hasDigit || section[j] == u'0' || section[j] == u'#';
            ++j;
        }
        if (hasDigit) {
            first = i;
            last = j - 1;
        }
        i = j - 1;
    }
    if (first < 0) {
        p.prefix = literal(section);
        return p;
    }
    p.prefix = literal(section.left(first));
    p.suffix = literal(section.mid(last + 1));
    const QString digits = section.mid(first, last - first + 1);
    const int dot = digits.indexOf(u'.');
    const QString intPart = dot < 0 ? digits : digits.left(dot);
    const QString decPart = dot < 0 ? QString() : digits.mid(dot + 1);
    p.grouping = intPart.contains(u',');
    p.minInt = int(intPart.count(u'0'));
    p.minDec = int(decPart.count(u'0'));
    p.maxDec = p.minDec + int(decPart.count(u'#'));
    return p;
}

QString apply(double absValue, const Pattern &p, const QLocale &loc)
{
    QString num = QString::number(absValue, 'f', p.maxDec);
    QString ip = num, dp;
    const int dot = num.indexOf(u'.');
    if (dot >= 0) {
        ip = num.left(dot);
        dp = num.mid(dot + 1);
    }
    while (dp.size() > p.minDec && dp.endsWith(u'0'))
        dp.chop(1);
    if (ip == QLatin1String("0") && p.minInt == 0)
        ip.clear();
    while (ip.size() < p.minInt)
        ip.prepend(u'0');
    if (p.grouping && ip.size() > 3) {
        const QString sep = loc.groupSeparator();
        QString g;
        for (int i = 0; i < ip.size(); ++i) {
            if (i > 0 && (ip.size() - i) % 3 == 0)
                g += sep;
            g += ip[i];
        }
        ip = g;
    }
    QString out = ip;
    if (!dp.isEmpty())
        out += loc.decimalPoint() + dp;
    return p.prefix + out + p.suffix;
}

} // namespace

QString formatNumber(double value, const QString &format, const QLocale &loc)
{
    if (!std::isfinite(value))
        return QString::number(value);
    if (format.isEmpty())
        return loc.toString(value, 'g', 15);
    const QStringList secs = sections(format);
    const Pattern pos = parse(secs[0]);
    // the sign and the zero test go by the value as it prints
    const double rounded = QString::number(std::fabs(value), 'f', pos.maxDec).toDouble();
    if (rounded == 0.0)
        return apply(0.0, secs.size() >= 3 && !secs[2].isEmpty() ? parse(secs[2]) : pos, loc);
    if (value < 0) {
        if (secs.size() >= 2 && !secs[1].isEmpty())
            return apply(-value, parse(secs[1]), loc);
        return QStringLiteral("-") + apply(-value, pos, loc);
    }
    return apply(value, pos, loc);
}

QString formatDate(const QDateTime &dt, const QString &format, const QLocale &loc)
{
    if (!dt.isValid())
        return {};
    if (format.isEmpty())
        return dt.time() == QTime(0, 0) ? dt.date().toString(QStringLiteral("dd.MM.yyyy"))
                                         : dt.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"));
    QString out;
    const QDate d = dt.date();
    const QTime t = dt.time();
    bool afterHour = false;
    int i = 0;
    auto run = [&](QChar c) {
        int n = 0;
        while (i + n < format.size() && format[i + n].toLower() == c)
            ++n;
        return n;
    };
    while (i < format.size()) {
        const QChar c = format[i];
        const QChar lc = c.toLower();
        if (c == u'"' || c == u'\'') {
            const int end = format.indexOf(c, i + 1);
            out += format.mid(i + 1, (end < 0 ? format.size() : end) - i - 1);
            i = end < 0 ? int(format.size()) : end + 1;
            continue;
        }
        const int n = (lc == u'd' || lc == u'm' || lc == u'y' || lc == u'h' || lc == u'n' || lc == u's') ? run(lc) : 0;
        if (lc == u'y') {
            out += n <= 2 ? QString::number(d.year() % 100).rightJustified(2, u'0') : QString::number(d.year());
        } else if (lc == u'd') {
            if (n == 1)
                out += QString::number(d.day());
            else if (n == 2)
                out += QString::number(d.day()).rightJustified(2, u'0');
            else if (n == 3)
                out += loc.dayName(d.dayOfWeek(), QLocale::ShortFormat);
            else
                out += loc.dayName(d.dayOfWeek(), QLocale::LongFormat);
        } else if (lc == u'm' && afterHour && n <= 2) {
            out += n == 1 ? QString::number(t.minute()) : QString::number(t.minute()).rightJustified(2, u'0');
        } else if (lc == u'm') {
            if (n == 1)
                out += QString::number(d.month());
            else if (n == 2)
                out += QString::number(d.month()).rightJustified(2, u'0');
            else if (n == 3)
                out += loc.monthName(d.month(), QLocale::ShortFormat);
            else
                out += loc.monthName(d.month(), QLocale::LongFormat);
        } else if (lc == u'h') {
            out += n == 1 ? QString::number(t.hour()) : QString::number(t.hour()).rightJustified(2, u'0');
        } else if (lc == u'n') {
            out += n == 1 ? QString::number(t.minute()) : QString::number(t.minute()).rightJustified(2, u'0');
        } else if (lc == u's') {
            out += n == 1 ? QString::number(t.second()) : QString::number(t.second()).rightJustified(2, u'0');
        } else {
            out += c;
            i += 1;
            continue;
        }
        afterHour = lc == u'h';
        i += n;
    }
    return out;
}

QString formatValue(const QVariant &v, const QString &format, const QLocale &loc)
{
    if (!v.isValid() || v.isNull())
        return {};
    switch (v.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        if (format.isEmpty())
            return v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float
                       ? loc.toString(v.toDouble(), 'g', 15)
                       : QString::number(v.toLongLong());
        return formatNumber(v.toDouble(), format, loc);
    case QMetaType::QDate:
        return formatDate(QDateTime(v.toDate(), QTime(0, 0)), format, loc);
    case QMetaType::QDateTime:
        return formatDate(v.toDateTime(), format, loc);
    default:
        return v.toString();
    }
}

} // namespace rpt
