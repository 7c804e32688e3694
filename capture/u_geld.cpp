#include "capture/u_geld.h"

#include "app/core/u_global.h"
#include "platform/core/errors.h"

#include <cmath>

static_assert(sizeof(long double) > sizeof(double), "extended precision is required for the rounding rules");

namespace {
// rintl uses the current rounding mode, which the program never changes from
// round-to-nearest-even.
double runden(double x, long double faktor)
{
    const long double produkt = static_cast<long double>(x) * faktor;
    const long double ganz = std::rint(produkt);
    return static_cast<double>(ganz / faktor);
}

double satz(const char *feld)
{
    const QString t = Einstellung::text(QString::fromLatin1(feld)).trimmed();
    return t.isEmpty() ? 0.0 : strToFloat(t);
}
} // namespace

double CentRunden(double x) { return runden(x, 100.0L); }

double Rappenrunden(double x) { return runden(x, 20.0L); }

TMwstDaten MwstSaetzeLaden()
{
    TMwstDaten d;
    d.MWST_A = satz("ed_mwst_a");
    d.MWST_B = satz("ed_mwst_b");
    d.MWST_C = satz("ed_mwst_c");
    d.MWST_D = satz("ed_mwst_d");
    return d;
}

double Positionsbetrag(double preis, double menge, double rabatt)
{
    long double t = static_cast<long double>(preis) * static_cast<long double>(menge);
    t = t * (100.0L - static_cast<long double>(rabatt));
    t = t / 100.0L;
    return CentRunden(static_cast<double>(t));
}
