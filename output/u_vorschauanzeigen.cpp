#include "output/u_vorschauanzeigen.h"

#include "app/core/u_global.h"
#include "app/core/u_strings.h"
#include "capture/u_ausstellen.h"
#include "capture/u_erfassung.h"
#include "capture/u_rechnungsnummer.h"
#include "data/u_dm_datenbank.h"
#include "output/u_pdfmail.h"
#include "output/udm_rechnung_vorschau.h"
#include "output/udm_rechnungen.h"
#include "platform/core/errors.h"
#include "platform/report/document.h"
#include "platform/sql/sqlutil.h"

#include <QProgressBar>

const QString SQL_qry_ArtikelpositionenVorschau_BenutzerSession_Loeschen = QStringLiteral(
    "delete from ArtikelpositionenVorschau where Status = -1 and BenutzerSession = :pbenutzersession");

TAusstellung AusstellungMitRechnungAusgeben()
{
    TAusstellung ausstellung;
    ausstellung.rechnungAusgeben = [](int firma, int periode, int nummer, bool email) {
        TRechnungsausgabe a = TRechnungsausgabe::Druckeinstellungen();
        a.suffixW = true;
        a.drucken = !email;
        a.email = email;
        const TAusgabeErgebnis r = RechnungAusgeben(firma, periode, nummer, a);
        // a missing e-invoice is no reason to roll the invoice back: the plain PDF goes out
        if (email)
            ERechnungEinbettenWennGewaehlt(r.pdfDateien, firma, periode, nummer, TPdfZweck::Email);
        return TAusgabeFolge{r.erzeugt, r.pdfDateien};
    };
    return ausstellung;
}

void VorschauLoeschen()
{
    execSql(dm_datenbank->Datenbank_Verbindung.db(), SQL_qry_ArtikelpositionenVorschau_BenutzerSession_Loeschen,
            {{QStringLiteral("pbenutzersession"), SessionKennung}});
}

bool VorschauAnzeigen(int firma, int periode_re, int rechnung_nr, const QString &session, int kopien,
                      const QString &zufuhr, const QString &papier, const QString &drucker)
{
    if (!dm_rechnung_vorschau)
        throw TvxError(QStringLiteral("Vorschaumodul fehlt"));
    Tdm_rechnung_vorschau &dm = *dm_rechnung_vorschau;
    // 5: the query is closed on every way out
    struct Schliessen {
        TRechnungsbericht &b;
        ~Schliessen() { b.schliessen(); }
    } schliessen{dm.bericht};
    // 1-2
    Gutschrift = false;
    if (dm.bericht.oeffnen(firma, periode_re, rechnung_nr, session) == 0)
        return false;
    // 3
    dm.druckerName = drucker;
    dm.papierName = papier;
    dm.zufuhrName = zufuhr;
    dm.kopien = kopien;
    dm.rp_rechnung.documentName = txt("sk_17") + QString::number(rechnung_nr);
    dm.rp_rechnung.twoPass = false;
    if (ZweiDurchlaeufe)
        dm.rp_rechnung.twoPass = true;
    // 4
    std::shared_ptr<const rpt::ReportDocument> doc = dm.rp_rechnung.generate();
    if (dm.anzeigen)
        dm.anzeigen(std::move(doc));
    return true;
}

void btn_re_vorschauClick(TErfassung &e)
{
    // A1
    VorschauLoeschen();
    // A2-A8
    int periode = 0;
    if (!ErfassungPruefen(e, kVorschauTexte, periode))
        return;
    // A9
    TransactionGuard transaktion(dm_datenbank->Datenbank_Verbindung.db());
    try {
        // A10
        const int nummer = RechnungsnummerErmitteln(AktuelleFirma, periode);
        if (nummer == -1)
            throw ETestException(txt("ex_6"));
        // A11-A13
        PositionenUebertragen(e, TPositionsziel::Vorschau, periode, nummer);
        // A14
        const TRechnungsausgabe a = TRechnungsausgabe::Druckeinstellungen();
        if (!VorschauAnzeigen(AktuelleFirma, periode, nummer, SessionKennung, a.kopien, a.zufuhr, a.papier,
                              a.drucker))
            throw ETestException(txt("ex_7"));
        // A15
        VorschauLoeschen();
        e.pb_re->setValue(0);
        transaktion.commit();
    } catch (const EAbort &) {
        transaktion.rollback();
        throw;
    } catch (const TvxError &x) {
        transaktion.rollback();
        TransaktionsfehlerMelden(x.text(), "sm_45");
    } catch (const std::exception &x) {
        transaktion.rollback();
        TransaktionsfehlerMelden(QString::fromLocal8Bit(x.what()), "sm_45");
    }
}
