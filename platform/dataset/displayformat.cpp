#include "platform/dataset/displayformat.h"

#include <QLocale>
#include <QStringList>
#include <cmath>

namespace {

// Splits at ';' outside quoted literals.
QStringList splitSections(const QString &format)
{
    QStringList out;
    QString cur;
    QChar quote;
    for (QChar c : format) {
        if (!quote.isNull()) {
            cur += c;
            if (c == quote)
                quote = QChar();
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
            cur += c;
        } else if (c == QLatin1Char(';')) {
            out << cur;
            cur.clear();
        } else {
            cur += c;
        }
    }
    out << cur;
    return out;
}

struct NumberPattern {
    QString prefix, suffix;
    bool grouping = false;
    int minInt = 0;
    int minDec = 0;
    int maxDec = 0;
};

bool isPlaceholder(QChar c)
{
    return c == QLatin1Char('0') || c == QLatin1Char('#') || c == QLatin1Char('.') || c == QLatin1Char(',');
}

NumberPattern parsePattern(const QString &sec)
{
    NumberPattern p;
    int first = -1, last = -1;
    QChar quote;
    for (int i = 0; i < sec.size(); ++i) {
        const QChar c = sec[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            continue;
        }
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
            continue;
        }
        if (isPlaceholder(c)) {
            if (first < 0)
                first = i;
            last = i;
        }
    }
    auto literal = [](const QString &s) {
        QString out;
        QChar quote;
        for (QChar c : s) {
            if (!quote.isNull()) {
                if (c == quote)
                    quote = QChar();
                else
                    out += c;
            } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
                quote = c;
            } else {
                out += c;
            }
        }
        return out;
    };
    if (first < 0) {
        p.prefix = literal(sec);
        p.minInt = -1; // no number at all
        return p;
    }
    p.prefix = literal(sec.left(first));
    p.suffix = literal(sec.mid(last + 1));
    bool afterPoint = false;
    for (int i = first; i <= last; ++i) {
        const QChar c = sec[i];
        if (c == QLatin1Char('.')) {
            afterPoint = true;
        } else if (c == QLatin1Char(',')) {
            if (!afterPoint)
                p.grouping = true;
        } else if (c == QLatin1Char('0')) {
            if (afterPoint) {
                ++p.minDec;
                ++p.maxDec;
            } else {
                ++p.minInt;
            }
        } else if (c == QLatin1Char('#')) {
            if (afterPoint)
                ++p.maxDec;
        }
    }
    return p;
}

QString numberText(double absValue, const NumberPattern &p)
{
    QLocale loc;
    loc.setNumberOptions(p.grouping ? QLocale::NumberOptions() : QLocale::OmitGroupSeparator);
    QString t = loc.toString(absValue, 'f', p.maxDec);
    const QString point = loc.decimalPoint();
    int dot = t.indexOf(point);
    if (dot >= 0) {
        int keep = t.size();
        while (keep > dot + 1 + p.minDec && t[keep - 1] == QLatin1Char('0'))
            --keep;
        t.truncate(keep);
        if (t.endsWith(point))
            t.chop(point.size());
    }
    dot = t.indexOf(point);
    QString intPart = dot >= 0 ? t.left(dot) : t;
    const QString rest = dot >= 0 ? t.mid(dot) : QString();
    if (p.minInt == 0 && intPart == QLatin1String("0") && !rest.isEmpty())
        intPart.clear();
    int digits = 0;
    for (QChar c : intPart)
        digits += c.isDigit() ? 1 : 0;
    if (digits < p.minInt)
        intPart = QString(p.minInt - digits, QLatin1Char('0')) + intPart;
    return intPart + rest;
}

} // namespace

QString formatFloat(double value, const QString &format)
{
    if (format.isEmpty())
        return displayText(value);
    if (std::isnan(value) || std::isinf(value))
        return QLocale().toString(value);
    const QStringList sections = splitSections(format);
    const NumberPattern pos = parsePattern(sections.value(0));
    // The sign is decided on the value as it will be shown: -0.001 with two
    // decimals is zero.
    const int decs = pos.minInt < 0 ? 0 : pos.maxDec;
    const double shown = std::round(std::fabs(value) * std::pow(10.0, decs)) / std::pow(10.0, decs);
    const bool isZero = shown == 0.0;
    const bool negative = value < 0 && !isZero;

    if (isZero && sections.size() >= 3 && !sections[2].isEmpty()) {
        const NumberPattern z = parsePattern(sections[2]);
        return z.minInt < 0 ? z.prefix : z.prefix + numberText(0.0, z) + z.suffix;
    }
    if (negative && sections.size() >= 2 && !sections[1].isEmpty()) {
        const NumberPattern n = parsePattern(sections[1]);
        return n.minInt < 0 ? n.prefix : n.prefix + numberText(-value, n) + n.suffix;
    }
    if (pos.minInt < 0)
        return pos.prefix;
    return (negative ? QStringLiteral("-") : QString()) + pos.prefix + numberText(std::fabs(value), pos)
        + pos.suffix;
}

QString formatDateTime(const QDateTime &value, const QString &format)
{
    if (!value.isValid())
        return {};
    if (format.isEmpty())
        return displayText(value);
    const QDate d = value.date();
    const QTime t = value.time();
    QLocale loc;
    QString out;
    bool lastWasHour = false;
    int i = 0;
    const int n = format.size();
    auto run = [&](QChar c) {
        int k = i;
        while (k < n && format[k].toLower() == c)
            ++k;
        return k - i;
    };
    while (i < n) {
        const QChar c = format[i].toLower();
        if (format[i] == QLatin1Char('"') || format[i] == QLatin1Char('\'')) {
            const QChar q = format[i];
            int k = i + 1;
            while (k < n && format[k] != q)
                out += format[k++];
            i = qMin(n, k + 1);
            continue;
        }
        int len = 0;
        if (c == QLatin1Char('d')) {
            len = run(c);
            if (len >= 4)
                out += loc.dayName(d.dayOfWeek(), QLocale::LongFormat);
            else if (len == 3)
                out += loc.dayName(d.dayOfWeek(), QLocale::ShortFormat);
            else
                out += len == 2 ? QStringLiteral("%1").arg(d.day(), 2, 10, QLatin1Char('0')) : QString::number(d.day());
            lastWasHour = false;
        } else if (c == QLatin1Char('m')) {
            len = run(c);
            if (lastWasHour && len <= 2) {
                out += len == 2 ? QStringLiteral("%1").arg(t.minute(), 2, 10, QLatin1Char('0')) : QString::number(t.minute());
            } else if (len >= 4) {
                out += loc.monthName(d.month(), QLocale::LongFormat);
            } else if (len == 3) {
                out += loc.monthName(d.month(), QLocale::ShortFormat);
            } else {
                out += len == 2 ? QStringLiteral("%1").arg(d.month(), 2, 10, QLatin1Char('0')) : QString::number(d.month());
            }
            lastWasHour = false;
        } else if (c == QLatin1Char('y')) {
            len = run(c);
            out += len <= 2 ? QStringLiteral("%1").arg(d.year() % 100, 2, 10, QLatin1Char('0'))
                            : QStringLiteral("%1").arg(d.year(), 4, 10, QLatin1Char('0'));
            lastWasHour = false;
        } else if (c == QLatin1Char('h')) {
            len = run(c);
            out += len >= 2 ? QStringLiteral("%1").arg(t.hour(), 2, 10, QLatin1Char('0')) : QString::number(t.hour());
            lastWasHour = true;
        } else if (c == QLatin1Char('n')) {
            len = run(c);
            out += len >= 2 ? QStringLiteral("%1").arg(t.minute(), 2, 10, QLatin1Char('0')) : QString::number(t.minute());
            lastWasHour = false;
        } else if (c == QLatin1Char('s')) {
            len = run(c);
            out += len >= 2 ? QStringLiteral("%1").arg(t.second(), 2, 10, QLatin1Char('0')) : QString::number(t.second());
            lastWasHour = false;
        } else if (c == QLatin1Char('z')) {
            len = run(c);
            out += len >= 3 ? QStringLiteral("%1").arg(t.msec(), 3, 10, QLatin1Char('0')) : QString::number(t.msec());
            lastWasHour = false;
        } else {
            out += format[i];
            len = 1;
            if (!format[i].isSpace() && format[i] != QLatin1Char(':'))
                lastWasHour = false;
        }
        i += len;
    }
    return out;
}

QString displayText(const QVariant &value, const QString &format)
{
    if (!value.isValid() || value.isNull())
        return {};
    switch (value.metaType().id()) {
    case QMetaType::QDateTime:
    case QMetaType::QDate: {
        const QDateTime dt = value.toDateTime();
        if (!format.isEmpty())
            return formatDateTime(dt, format);
        const QString pattern = dt.time() == QTime(0, 0) ? QStringLiteral("dd.MM.yyyy") : QStringLiteral("dd.MM.yyyy HH:mm:ss");
        return dt.toString(pattern);
    }
    case QMetaType::Double:
    case QMetaType::Float: {
        if (!format.isEmpty())
            return formatFloat(value.toDouble(), format);
        QLocale loc;
        loc.setNumberOptions(QLocale::OmitGroupSeparator);
        return loc.toString(value.toDouble(), 'g', 15);
    }
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        if (!format.isEmpty())
            return formatFloat(value.toDouble(), format);
        return value.toString();
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    default:
        return value.toString();
    }
}
