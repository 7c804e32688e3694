#include "masterdata/u_bilder.h"

#include "app/core/u_global.h"

#include <QFileInfo>

QString Bilderordner() { return Programmordner() + QStringLiteral("BilderArchiv/"); }

QString BildpfadAufloesen(const QString &referenz)
{
    QString pfad = referenz;
    if (pfad.startsWith(QLatin1Char('"')))
        pfad.remove(0, 1);
    if (pfad.endsWith(QLatin1Char('"')))
        pfad.chop(1);
    if (pfad.trimmed().isEmpty())
        return {};
    if (QFileInfo(pfad).isFile())
        return pfad;
    const QString imOrdner = Bilderordner() + pfad;
    if (QFileInfo(imOrdner).isFile())
        return imOrdner;
    return {};
}
