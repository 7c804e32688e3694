#pragma once
// The settings an invoice document reads, as the shipped program starts with
// them (Austrian VAT rates, no Swiss rounding, letterhead printed), for tests
// that render invoices without a main window.
#include "app/core/u_global.h"
#include "app/core/u_sprache.h"

#include <QString>

inline void RechnungseinstellungenSetzen()
{
    Einstellung::setSource(nullptr);
    Einstellung::set(QStringLiteral("cb_rappenrundung"), false);
    Einstellung::set(QStringLiteral("cb_bildeinszueins"), false);
    Einstellung::set(QStringLiteral("cb_firmenkopf_re"), true);
    Einstellung::set(QStringLiteral("ed_bearbeiter_re"), QString());
    Einstellung::set(QStringLiteral("ed_gutschrifttext_re"), QStringLiteral("Gutschrift Nr."));
    Einstellung::set(QStringLiteral("ed_mwst_a"), QStringLiteral("20"));
    Einstellung::set(QStringLiteral("ed_mwst_b"), QStringLiteral("10"));
    Einstellung::set(QStringLiteral("ed_mwst_c"), QStringLiteral("13"));
    Einstellung::set(QStringLiteral("ed_mwst_d"), QStringLiteral("0"));
    MwStKuerzel = QStringLiteral("MwSt");
    Waehrung = QStringLiteral("€");
    ZweiDurchlaeufe = true;
}
