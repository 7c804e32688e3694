#pragma once
// Cancellation invoices: a new invoice in the same period with every row of the
// cancelled one copied, quantities and stored amounts negated, Status 52 and
// the note sk_15 + the cancelled number. The cancelled invoice is not touched.

extern const char *const SQL_qry_rechnungsdaten;

// Writes the cancellation of one invoice in one transaction (joins one already
// open on the main connection). Returns the new number, or 0 when the invoice
// has no rows (nothing written, no number drawn). Errors propagate after the
// rollback; ex_8 when no number can be drawn.
int StornoSchreiben(int firma, int periode_re, int rechnung_nr);

// "Storno erzeugen": asks am_5; on yes writes the cancellation and reports
// sm_47, ex_7 when the invoice has vanished, or on failure sm_38 + the error
// (logged with ps_14). Returns whether the user said yes (the overview is then
// reopened by the caller).
bool btn_stornoClick(int firma, int periode_re, int rechnung_nr);
