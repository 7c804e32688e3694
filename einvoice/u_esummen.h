#pragma once
// The totals of an invoice exactly as the invoice document's totals block
// computes them (class sums in row order, VAT per class rounded to cents and,
// with Swiss rounding, to 0.05; the total added class by class), so the
// e-invoice carries the printed amounts.
#include "output/u_rechnungsbericht.h"

#include <array>
#include <vector>

namespace EInvoice {

struct TZeilenbetrag {
    double betrag = 0; // Betrag of the row (net after discount, in cents)
    int klasse = 0;    // the article's VAT class 1..4; anything else belongs to none
};

TRechnungssummen Rechnungssummen(const std::vector<TZeilenbetrag> &zeilen, const std::array<double, 4> &saetze,
                                 bool mwstFaehig, bool rappenrundung);

// An amount as whole cents (amounts of the document are cent values already).
qint64 Cent(double betrag);

} // namespace EInvoice
