#include "app/core/u_global.h"
#include "app/core/u_land.h"
#include "app/u_main.h"
#include "capture/u_erfassung.h"
#include "einvoice/u_erechnung.h"
#include "maintenance/u_datenbankinitialisieren.h"
#include "maintenance/u_sqlkonsole.h"
#include "masterdata/u_artikelstammdaten.h"
#include "masterdata/u_kundenstammdaten.h"
#include "output/u_pdfmail.h"
#include "output/u_uebersicht.h"
#include "output/u_vorschauanzeigen.h"
#include "output/udm_rechnungen.h"
#include "platform/core/guarded.h"
#include "platform/core/radiogroup.h"
#include "richtext/u_kopftext.h"
#include "richtext/u_texteerfassen.h"

#include <QPushButton>
#include <QSpinBox>

namespace {
// Shows a master-data window with its hand-over button and moves it to the
// given number through its invokable "Ansteuern" when it has one; a failed
// move is ignored.
void zurUebergabeZeigen(QWidget *fenster, const QString &nummer)
{
    if (!fenster)
        return;
    if (auto *b = fenster->findChild<QPushButton *>(QStringLiteral("btn_uebergeben")))
        b->setVisible(true);
    fenster->show();
    fenster->raise();
    fenster->activateWindow();
    if (!nummer.isEmpty() && fenster->metaObject()->indexOfMethod("Ansteuern(QString)") >= 0) {
        try {
            QMetaObject::invokeMethod(fenster, "Ansteuern", Q_ARG(QString, nummer));
        } catch (...) {
        }
    }
}
} // namespace

void ERechnungVerdrahten()
{
    ERechnungEinbetten = &EInvoice::FacturXEinbetten;
    XRechnungAusgeben = &EInvoice::XRechnungSchreiben;
}

void verdrahten()
{
    Tfrm_main *m = frm_main;
    m->onErsterStartSprache = [m] {
        frm_land->setUebernahmeZiel([m](int index) { m->rg_sprache->setItemIndex(index); });
        frm_land->exec();
    };
    // the hand-over buttons show only when the capture opens the windows
    QObject::connect(m->btn_artikel, &QPushButton::clicked, m, [] {
        if (auto *b = frm_artikelstammdaten->findChild<QPushButton *>(QStringLiteral("btn_uebergeben")))
            b->setVisible(false);
        frm_artikelstammdaten->show();
        frm_artikelstammdaten->raise();
        frm_artikelstammdaten->activateWindow();
    });
    QObject::connect(m->btn_kunden, &QPushButton::clicked, m, [] {
        if (auto *b = frm_kundenstammdaten->findChild<QPushButton *>(QStringLiteral("btn_uebergeben")))
            b->setVisible(false);
        frm_kundenstammdaten->show();
        frm_kundenstammdaten->raise();
        frm_kundenstammdaten->activateWindow();
    });
    // "Rechnung Vorschau" of the customer window: the selected invoice on screen
    frm_kundenstammdaten->onRechnungVorschau = [m](int firma, int periode, int nummer) {
        TRechnungsausgabe a;
        a.drucker = Einstellung::text(QStringLiteral("cb_drucker_re"));
        a.papier = Einstellung::text(QStringLiteral("cb_papier_re"));
        a.zufuhr = Einstellung::text(QStringLiteral("cb_zufuhr_re"));
        a.kopien = m->ed_anzahl_re ? m->ed_anzahl_re->value() : 1;
        a.suffixW = true;
        a.drucken = true;
        a.bildschirm = true;
        RechnungAusgeben(firma, periode, nummer, a);
    };
    // database maintenance: the fresh start and the console of the hidden panel
    QObject::connect(m->btn_datenbankleeren, &QPushButton::clicked, m,
                     [] { guarded([] { btn_datenbankleerenClick(frm_datenbankinitialisieren); }); });
    new TSqlKonsole(m->pnl_sql);

    // the capture tab and its pickers
    auto *erf = new TErfassung(m->ts_erfassung);
    m->onPickerAufbauen = [erf] { erf->PickerAufbauen(); };
    m->onPickerOeffnen = [erf] { erf->PickerOeffnen(); };
    erf->onKundenfensterZeigen = [](const QString &kunde) { zurUebergabeZeigen(frm_kundenstammdaten, kunde); };
    erf->onArtikelfensterZeigen = [](const QString &artikel) { zurUebergabeZeigen(frm_artikelstammdaten, artikel); };
    erf->onKopftextZeigen = [](const QString &caption, const QString &uebergabe, const QStringList &zeilen) {
        if (!frm_kopftext)
            return;
        frm_kopftext->setWindowTitle(caption);
        frm_kopftext->setTransferCaption(uebergabe);
        frm_kopftext->setLines(zeilen);
        frm_kopftext->exec();
    };
    erf->onZusatztextZeigen = [](Dataset *positionen, const QString &feld) {
        if (!frm_texteerfassen)
            return;
        frm_texteerfassen->setDataSource(positionen, feld);
        frm_texteerfassen->exec();
    };
    // issuing and the capture preview; "Email " hands the PDF of the e-mail
    // folder to the mail program
    TAusstellung ausstellung = AusstellungMitRechnungAusgeben();
    ausstellung.emailOrdnerLeeren = [] { EmailOrdnerLeeren(fl_emailpdfs()); };
    ausstellung.rechnungMailen = [](int firma, int kunde, const QString &betreff, const QStringList &,
                                    const QString &text) { RechnungMailen(firma, kunde, betreff, fl_emailpdfs(), text); };
    erf->setRechnungAusgabe([erf, ausstellung](QPushButton *knopf) { btn_rechnungdruckenClick(*erf, knopf, ausstellung); });
    erf->setVorschau([erf] { btn_re_vorschauClick(*erf); });

    // the overview tab, opened whenever it becomes the active page
    auto *uebersicht = new TUebersicht(m->ts_uebersicht);
    m->onUebersichtOeffnen = [uebersicht] { uebersicht->Oeffnen(); };

    // electronic invoices in the filed and mailed PDFs and the XRechnung button
    ERechnungVerdrahten();
}
