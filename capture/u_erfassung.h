#pragma once
// The capture tab "Erfassung": invoice header (customer, date, header and closing
// texts), the position panel over the local capture table, the position grid,
// the footer, and the customer and article pickers on the left.
//
// TErfassung builds its controls under the tab page it is given, with the
// component names the language files use (section "Main"), and carries the
// tab's event handlers as methods. The main window's seams are set by the
// application's wiring:
//
//     auto *e = new TErfassung(frm_main->ts_erfassung);
//     frm_main->onPickerAufbauen = [e] { e->PickerAufbauen(); };  // start-up 16-18
//     frm_main->onPickerOeffnen  = [e] { e->PickerOeffnen(); };   // tab visit
//
// Hand-overs from the master-data windows (they call these; `erfassung` is the
// one instance):
//   - customer window "Kunde übergeben":  erfassung->KundeUebernehmen(kunde, name)
//     (returns false and says why while a capture is running: the customer of a
//     capture cannot change);
//   - article window "Artikel übergeben": erfassung->ArtikelUebernehmen(artikel, name)
//     (focus to the article field, row into edit, number and name written; the
//     article field's exit resolves it).
// The windows are opened through onKundenfensterZeigen / onArtikelfensterZeigen,
// which receive the trimmed number to move to (possibly empty); a failed move is
// the window's to ignore.
//
// Issuing ("Drucken", "Email ") and the preview ("Vorschau") are connected with
// setRechnungAusgabe / setVorschau; until then those buttons stay disabled with
// a tooltip that says so. The issuing code works on tbl_rechnungerfassen and
// calls ErfassungBeenden, KopfFreigeben and the public controls.

#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>

#include "platform/dataset/datagrid.h"

class Dataset;
class QComboBox;
class QDateEdit;
class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QWidget;

// A data grid whose column titles the language loader can set by column.
class TTitelGrid : public DataGrid {
    Q_OBJECT
public:
    using DataGrid::DataGrid;
    Q_INVOKABLE void setColumnTitle(int column, const QString &title);
};

class TErfassung : public QObject {
    Q_OBJECT
public:
    // Builds the tab's controls under the page. ed_datum_re, re_fusstext_re and
    // ed_periode_re are taken from the page when they exist there (the main
    // window keeps them among its persisted settings), otherwise created.
    explicit TErfassung(QWidget *ts_erfassung);
    ~TErfassung() override;

    QWidget *seite() const { return m_seite; }

    // ---- header ------------------------------------------------------------
    QFrame *pnl_kopf_re = nullptr;
    QLabel *le_1 = nullptr;
    QLineEdit *ed_kunde_re = nullptr;
    QLabel *ed_kunde_re_name = nullptr;
    QPushButton *btn_neuerkunde = nullptr;
    QPushButton *btn_kopfok_stammkunde_re = nullptr;
    QDateEdit *ed_datum_re = nullptr;
    QPlainTextEdit *re_kopftext_re = nullptr; // hidden
    QPlainTextEdit *re_fusstext_re = nullptr; // hidden
    QLineEdit *ed_periode_re = nullptr;       // hidden

    // ---- position panel ------------------------------------------------------
    QFrame *pnl_details_re = nullptr;
    QLabel *le_2 = nullptr, *le_3 = nullptr, *le_4 = nullptr, *le_5 = nullptr, *le_6 = nullptr,
           *le_7 = nullptr, *le_8 = nullptr, *le_9 = nullptr;
    QLineEdit *ed_artikel_re = nullptr;
    QLineEdit *ed_artikel_re_name = nullptr;
    QLineEdit *ed_menge_re = nullptr;
    QLineEdit *DBEdit1 = nullptr;             // unit
    QComboBox *ed_einzelpreis_re = nullptr;
    QLineEdit *ed_rabatt_re = nullptr;
    QLineEdit *DBEdit2 = nullptr;             // line amount, read-only
    QLineEdit *ed_text_re = nullptr;
    QLabel *DBText1 = nullptr;                // Info
    QPushButton *btn_neueposition = nullptr;
    QPushButton *btn_zusatz_re = nullptr;
    QPushButton *btn_artikelstamm_re = nullptr;
    TTitelGrid *gr_artikelpositionen_re = nullptr;

    // ---- footer ----------------------------------------------------------------
    QFrame *pnl_fuss_re = nullptr;
    QPushButton *btn_rechnungdrucken = nullptr;
    QPushButton *btn_rechnung_mailen = nullptr;
    QPushButton *btn_re_vorschau = nullptr;
    QPushButton *btn_cancel_re = nullptr;
    QPushButton *btn_kopftext_re = nullptr;
    QPushButton *btn_fusstext_re = nullptr;
    QPushButton *btn_position_loeschen = nullptr;
    QProgressBar *pb_re = nullptr;

    // ---- pickers -----------------------------------------------------------------
    QFrame *pnl_picker_re = nullptr;
    QFrame *pnl_trenner_re = nullptr;         // the navy separator
    QLabel *le_10 = nullptr, *le_11 = nullptr, *le_12 = nullptr, *le_13 = nullptr;
    QComboBox *ed_kundengruppe_re = nullptr;
    QLineEdit *ed_kundensuche_re = nullptr;
    TTitelGrid *gr_kunden_re = nullptr;
    QComboBox *ed_artikelgruppe_re = nullptr;
    QLineEdit *ed_artikelsuche_re = nullptr;
    TTitelGrid *gr_artikeln_re = nullptr;

    // ---- data ------------------------------------------------------------------------
    // The capture table (local Artikelpositionen); ds_positionen in the windows'
    // terms: the position panel and grid are bound to it.
    Dataset *tbl_rechnungerfassen = nullptr;
    Dataset *mt_kundengruppen = nullptr;
    Dataset *qry_kunden = nullptr;
    Dataset *mt_artikelgruppen = nullptr;
    Dataset *qry_artikeln = nullptr;

    static const QString SQL_qry_rechnungerfassen_loeschen;
    static const QString SQL_qry_kunden;
    static const QString SQL_qry_artikeln;

    // ---- seams to other windows --------------------------------------------------------
    // Header text dialog: shows it modally with the caption, the transfer button's
    // caption and the lines to edit. The shared buffer TextPuffer and the flag
    // TextNichtUebergeben carry the result back (the caller prepares both).
    std::function<void(const QString &caption, const QString &uebergabe, const QStringList &zeilen)> onKopftextZeigen;
    // Text entry dialog on the current position's rich text (field name given).
    std::function<void(Dataset *positionen, const QString &feld)> onZusatztextZeigen;
    // Customer / article window in hand-over mode, moved to the given number.
    std::function<void(const QString &kunde)> onKundenfensterZeigen;
    std::function<void(const QString &artikel)> onArtikelfensterZeigen;

    // Issuing: the handler gets the pressed button (btn_rechnungdrucken or
    // btn_rechnung_mailen). Enables both buttons.
    void setRechnungAusgabe(std::function<void(QPushButton *knopf)> ausgabe);
    void setVorschau(std::function<void()> vorschau);

    // ---- header (handlers) -------------------------------------------------------------
    void btn_kopfok_stammkunde_reClick();
    void ed_kunde_reEnter();
    void ed_kunde_reExit();
    void ed_kunde_reChange();
    void btn_neuerkundeClick();
    void btn_kopftext_reClick();
    void btn_fusstext_reClick();
    void btn_cancel_reClick();

    void KopfFreigeben();
    void KopfSperren();
    void ErfassungBeenden();
    bool imKopfmodus() const;

    // ---- capture table events ------------------------------------------------------------
    void tbl_rechnungerfassenNewRecord(Dataset &ds);
    void tbl_rechnungerfassenBeforePost(Dataset &ds);
    void tbl_rechnungerfassenAfterScroll(Dataset &ds);

    // ---- positions (handlers) -------------------------------------------------------------
    void ed_artikel_reEnter();
    void ed_artikel_reExit();
    void ed_artikel_reKeyDown(int key);
    void ed_menge_reEnter();
    void ed_menge_reExit();
    void ed_einzelpreis_reExit();
    void ed_rabatt_reExit();
    void btn_neuepositionClick();
    void btn_zusatz_reClick();
    void btn_artikelstamm_reClick();
    // Deletes the current position after asking (the grid's Delete key too).
    void PositionLoeschen();

    double PositionsbetragBerechnen() const;
    void PreisauswahlFuellen(const QString &artikel);
    void TabfolgeEinschraenken();
    void TabfolgeErweitern();

    // ---- pickers ------------------------------------------------------------------------
    void PickerAufbauen(); // start-up steps 16-18
    void PickerOeffnen();  // visit of the tab: close and reopen both picker queries
    void ed_kundengruppe_reCloseUp();
    void ed_artikelgruppe_reCloseUp();
    void ed_kundensuche_reChange();
    void ed_artikelsuche_reChange();
    void gr_kunden_reDblClick();
    void gr_artikeln_reDblClick();

    // ---- hand-overs ----------------------------------------------------------------------
    bool KundeUebernehmen(const QString &kunde, const QString &name);
    void ArtikelUebernehmen(const QString &artikel, const QString &name);

protected:
    bool eventFilter(QObject *obj, QEvent *ev) override;

private:
    void bauen();
    void bauenKopf(QWidget *parent);
    void bauenDetails(QWidget *parent);
    void bauenFuss(QWidget *parent);
    void bauenPicker(QWidget *parent);
    void binden();
    void verbinden();
    void verbindenPicker();
    void beobachten(QWidget *w);
    void betreten(QWidget *feld);
    void verlassen(QWidget *feld);
    QWidget *feldVon(QObject *obj) const;
    void fokusAuf(QWidget *w);
    bool bearbeitet() const;
    void mengenregel();
    void betragBuchen();
    void kopftextBearbeiten(const char *caption, const char *uebergabe, QPlainTextEdit *ziel);
    void gruppeGewaehlt(QComboBox *combo, Dataset *gruppen, Dataset *picker,
                        const char *von, const char *bis, const char *nummernfeld);
    void gruppenFuellen(QComboBox *combo, Dataset *gruppen, const char *nummer, const char *name);
    void sucheSetzen(Dataset *picker, const QString &text);
    void gruppenAbfrageAufbauen(QComboBox *combo, Dataset *gruppen, const char *tabelle,
                                const char *nummer, const char *name);
    void ausgabeKnoepfeStand();

    QWidget *m_seite = nullptr;
    QSet<QWidget *> m_betreten;          // fields whose enter handler ran
    std::function<void(QPushButton *)> m_ausgabe;
    std::function<void()> m_vorschau;
};

// The capture tab of the main window (nullptr before it is built).
extern TErfassung *erfassung;
