#pragma once
// Money arithmetic shared by the capture, the invoice documents and the article
// window. Amounts are doubles; rounding works in x87 extended precision with the
// processor's default rounding (ties to even), on the binary value of the
// argument: 2.345 is not a tie, 0.125 is.

// x rounded to hundredths: 0.125 -> 0.12, 0.375 -> 0.38, -0.125 -> -0.12.
double CentRunden(double x);
// x rounded to multiples of 0.05 (Swiss "Rappen"): 1.125 -> 1.10, 1.375 -> 1.40.
double Rappenrunden(double x);

// The four VAT rates A to D in per cent.
struct TMwstDaten {
    double MWST_A = 0;
    double MWST_B = 0;
    double MWST_C = 0;
    double MWST_D = 0;
};

// The current rates from the settings ed_mwst_a .. ed_mwst_d: a blank text gives
// 0; any other text is converted with the locale's decimal separator and throws
// EConvertError (naming the text) when it is no number. Callers let it pass: a
// bad rate must stop a save before anything is written.
TMwstDaten MwstSaetzeLaden();

// The net line amount of a capture row:
// CentRunden((preis * menge) * (100 - rabatt) / 100), evaluated left to right in
// extended precision and narrowed to a double before the cent rounding.
double Positionsbetrag(double preis, double menge, double rabatt);
