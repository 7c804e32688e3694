#include "platform/core/errors.h"
#include <QLocale>

EConvertError EConvertError::notInteger(const QString &s)
{
    return EConvertError(QStringLiteral("'%1' ist kein gültiger Integerwert").arg(s));
}

EConvertError EConvertError::notFloat(const QString &s)
{
    return EConvertError(QStringLiteral("'%1' ist kein gültiger Gleitkommawert").arg(s));
}

EConvertError EConvertError::notDate(const QString &s)
{
    return EConvertError(QStringLiteral("'%1' ist kein gültiges Datum").arg(s));
}

int strToInt(const QString &s)
{
    bool ok = false;
    const QString t = s.trimmed();
    int v = t.toInt(&ok, 10);
    if (!ok && t.startsWith(QLatin1Char('$'))) // hex as the original accepts it
        v = t.mid(1).toInt(&ok, 16);
    if (!ok)
        throw EConvertError::notInteger(s);
    return v;
}

double strToFloat(const QString &s)
{
    bool ok = false;
    const QString t = s.trimmed();
    QLocale loc;
    loc.setNumberOptions(QLocale::RejectGroupSeparator);
    double v = loc.toDouble(t, &ok);
    if (!ok)
        throw EConvertError::notFloat(s);
    return v;
}
