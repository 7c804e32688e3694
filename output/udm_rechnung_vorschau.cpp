#include "output/udm_rechnung_vorschau.h"

Tdm_rechnung_vorschau *dm_rechnung_vorschau = nullptr;

Tdm_rechnung_vorschau::Tdm_rechnung_vorschau(QObject *parent) : QObject(parent)
{
    dm_rechnung_vorschau = this;
    setObjectName(QStringLiteral("dm_rechnung_vorschau"));

}
