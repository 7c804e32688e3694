#include "output/udm_rechnung_vorschau.h"

#include "app/core/u_sprache.h"
#include "capture/u_geld.h"
#include "output/u_vorschau.h"
#include "platform/report/document.h"

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
    // The preview must show the amounts the printed invoice will carry: the
    // document's preview mode leaves the VAT amounts at cents under Swiss
    // rounding, so the totals block is brought in line after it ran.
    rpt::Band &fuss = rp_rechnung.band(QStringLiteral("ppGroupFooterBand5"));
    fuss.beforePrint = [this] {
        bericht.ppGroupFooterBand5BeforePrint();
        summenWieGedruckt();
    };
    anzeigen = [this](std::shared_ptr<const rpt::ReportDocument> doc) {
        if (frm_vorschau) {
            frm_vorschau->anzeigen(std::move(doc));
        } else {
            Tfrm_vorschau fenster(qobject_cast<QWidget *>(this->parent()));
            fenster.anzeigen(std::move(doc));
        }
    };
}

Tdm_rechnung_vorschau::~Tdm_rechnung_vorschau()
{
    Sprache::unregisterReport(1);
    if (dm_rechnung_vorschau == this)
        dm_rechnung_vorschau = nullptr;
}

void Tdm_rechnung_vorschau::summenWieGedruckt()
{
    m_summen = bericht.summen();
    if (!Rappenrundung || rp_rechnung.value(QStringLiteral("MWST_Faehig")).toInt() != 1)
        return;
    static const char *const klassen[4] = {"var_mwst_a", "var_mwst_b", "var_mwst_c", "var_mwst_d"};
    double gesamt = 0;
    for (int c = 0; c < 4; ++c) {
        double &mwst = m_summen.mwst[size_t(c)];
        mwst = Rappenrunden(mwst);
        rp_rechnung.element(QLatin1String(klassen[c])).value = mwst;
        gesamt += m_summen.klasse[size_t(c)];
        gesamt += mwst;
    }
    m_summen.gesamt = Rappenrunden(gesamt);
    rp_rechnung.element(QStringLiteral("var_gesamtbetrag")).value = m_summen.gesamt;
    // one invoice per run: its total decides the credit note
    Gutschrift = m_summen.gesamt < 0;
}
