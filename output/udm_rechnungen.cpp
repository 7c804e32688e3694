#include "output/udm_rechnungen.h"

Tdm_rechnungen *dm_rechnungen = nullptr;

Tdm_rechnungen::Tdm_rechnungen(QObject *parent) : QObject(parent)
{
    dm_rechnungen = this;
    setObjectName(QStringLiteral("dm_rechnungen"));

}
