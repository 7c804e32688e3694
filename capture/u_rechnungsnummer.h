#pragma once
#include <QString>

// The next invoice number of a company and period on the main connection: the
// largest Rechnung_nr of all rows of that company and period (any Status,
// cancellations included) plus one, 1 for a period without rows; -1 when the
// aggregate yields no row. Nothing is reserved: the save draws the number again
// inside its transaction. Database errors throw EDatabaseError.
int RechnungsnummerErmitteln(int firma, int periode);

// qry_letzte_RE_Nummer_holen, as stored.
extern const QString SQL_qry_letzte_RE_Nummer_holen;
