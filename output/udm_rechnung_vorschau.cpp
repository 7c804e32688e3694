#include "output/udm_rechnung_vorschau.h"

#include "app/core/u_sprache.h"

Tdm_rechnung_vorschau *dm_rechnung_vorschau = nullptr;

Tdm_rechnung_vorschau::Tdm_rechnung_vorschau(QObject *parent)
    : QObject(parent),
      bericht(TBerichtsart{QStringLiteral("ArtikelpositionenVorschau"), true}),
      rp_rechnung(bericht.rp_rechnung),
      qry_rechnung(bericht.qry_rechnung)
{
    dm_rechnung_vorschau = this;
    setObjectName(QStringLiteral("dm_rechnung_vorschau"));
    Sprache::registerReport(1, {[this](const QString &datei) { bericht.layoutLaden(datei); },
                                [this](const QString &label, const QString &caption) {
                                    bericht.beschriftungSetzen(label, caption);
                                }});
}

Tdm_rechnung_vorschau::~Tdm_rechnung_vorschau()
{
    Sprache::unregisterReport(1);
    if (dm_rechnung_vorschau == this)
        dm_rechnung_vorschau = nullptr;
}
