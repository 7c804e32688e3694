#pragma once
// The preview of the invoice under capture ("Vorschau"): the captured positions
// are written into ArtikelpositionenVorschau under this process's session id,
// shown through the twin report and removed again, inside one transaction that
// is committed only after they are gone. No invoice number is used up.
#include "capture/u_ausstellen.h"

#include <QString>

class TErfassung;

// The issuing's document run through RechnungAusgeben with the print settings:
// "Drucken" prints without a dialog, "Email " writes the PDF into the e-mail
// folder. The mail hand-over is left unset here.
TAusstellung AusstellungMitRechnungAusgeben();

// Opens the twin report on the session's rows and shows it modally; false when
// there are no rows (nothing shown).
bool VorschauAnzeigen(int firma, int periode_re, int rechnung_nr, const QString &session, int kopien,
                      const QString &zufuhr, const QString &papier, const QString &drucker);

// Deletes this session's preview rows (Status -1).
void VorschauLoeschen();
extern const QString SQL_qry_ArtikelpositionenVorschau_BenutzerSession_Loeschen;

// The handler of btn_re_vorschau.
void btn_re_vorschauClick(TErfassung &e);
