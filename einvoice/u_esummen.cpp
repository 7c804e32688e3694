#include "einvoice/u_esummen.h"

#include "capture/u_geld.h"

#include <cmath>

namespace EInvoice {

TRechnungssummen Rechnungssummen(const std::vector<TZeilenbetrag> &zeilen, const std::array<double, 4> &saetze,
                                 bool mwstFaehig, bool rappenrundung)
{
    TRechnungssummen s;
    s.satz = saetze;
    // the report's sums add row by row
    for (const TZeilenbetrag &z : zeilen) {
        s.netto += z.betrag;
        if (z.klasse >= 1 && z.klasse <= 4)
            s.klasse[size_t(z.klasse - 1)] += z.betrag;
    }
    if (mwstFaehig) {
        for (size_t c = 0; c < 4; ++c) {
            double mwst = CentRunden(s.klasse[c] * (s.satz[c] / 100));
            if (rappenrundung)
                mwst = Rappenrunden(mwst);
            s.mwst[c] = mwst;
        }
        double gesamt = 0;
        for (size_t c = 0; c < 4; ++c) {
            gesamt += s.klasse[c];
            gesamt += s.mwst[c];
        }
        s.gesamt = rappenrundung ? Rappenrunden(gesamt) : gesamt;
    } else {
        s.gesamt = rappenrundung ? Rappenrunden(s.netto) : s.netto;
    }
    return s;
}

qint64 Cent(double betrag)
{
    return qint64(std::llround(betrag * 100.0));
}

} // namespace EInvoice
