#include "masterdata/u_bilder.h"

#include "app/core/u_global.h"

#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QPixmap>

#include <cmath>

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

TBildmass BildEinpassen(int breite, int hoehe, int maxBreite, int maxHoehe)
{
    TBildmass m{breite, hoehe, false};
    if (breite <= 0 || hoehe <= 0 || maxBreite <= 0 || maxHoehe <= 0)
        return m;
    if (hoehe <= maxHoehe && breite <= maxBreite)
        return m;
    m.gestreckt = true;
    const double r = double(hoehe) / double(breite);
    // std::rint rounds halves to the even neighbour in the default rounding mode
    if (r >= double(maxHoehe) / double(maxBreite)) {
        m.hoehe = maxHoehe;
        m.breite = int(std::rint(m.hoehe / r));
    } else {
        m.breite = maxBreite;
        m.hoehe = int(std::rint(m.breite * r));
    }
    return m;
}

void BildLaden(const QString &referenz, QLabel *box, int maxBreite, int maxHoehe)
{
    if (!box)
        return;
    box->clear();
    box->setScaledContents(false);
    box->setFixedSize(0, 0); // the box sizes itself to what it shows
    const QString datei = BildpfadAufloesen(referenz);
    if (datei.isEmpty() || maxBreite <= 0 || maxHoehe <= 0)
        return;
    QImageReader leser(datei);
    leser.setDecideFormatFromContent(true);
    const QImage bild = leser.read();
    if (bild.isNull() || bild.width() == 0 || bild.height() == 0)
        return;
    const TBildmass m = BildEinpassen(bild.width(), bild.height(), maxBreite, maxHoehe);
    box->setScaledContents(m.gestreckt);
    box->setFixedSize(m.breite, m.hoehe);
    box->setPixmap(QPixmap::fromImage(bild));
}

QString BildpfadFuerDatei(const QString &datei)
{
    const QFileInfo fi(datei);
    const QString ordner = fi.absolutePath();
    const QString bilder = Bilderordner();
    QString ohne = bilder;
    while (ohne.endsWith(QLatin1Char('/')))
        ohne.chop(1);
    if (ordner == bilder || ordner == ohne)
        return fi.fileName();
    return fi.absoluteFilePath();
}
