#pragma once
// Code lists of the electronic invoice: countries (ISO 3166-1 alpha-2), units
// (UN/ECE Recommendation 20) and currencies (ISO 4217) from the texts the user
// keeps in his records.
#include <QString>

namespace EInvoice {

// The country code of a country name as the customer and company records hold
// it: the names of the settings' country list and of the other countries in
// each shipped language (German, English, French, Spanish), the country's own
// name, or a two-letter code. Empty when the text names no country (also
// "Europe").
QString Laendercode(const QString &land);

// The Rec 20 code of a unit text: stk -> H87, kg -> KGM, g -> GRM, m -> MTR,
// m² -> MTK, m³ -> MTQ, to -> TNE, Std/h -> HUR, km -> KMT, l -> LTR,
// pauschal -> LS; anything else C62 (one).
QString Einheitencode(const QString &einheit);

// The ISO 4217 code of the currency text (€, EUR, USD, $, CHF, Fr., £ ...);
// empty when unknown.
QString Waehrungscode(const QString &waehrung);

// IBAN check (ISO 13616, mod 97) on the text without blanks.
bool IbanGueltig(const QString &iban);

} // namespace EInvoice
