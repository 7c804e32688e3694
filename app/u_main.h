#pragma once
#include <QMainWindow>
#include <functional>

class QCheckBox;
class QBoxLayout;
class QComboBox;
class QDateEdit;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QWidget;
class TRadioGroup;
class TRichTextToolbar;
class Dataset;
class QTextEdit;
class FormStorage;
class ComboBoxBinding;

// The main window: five tabs, the footer bar, the start-up and shut-down
// sequences, the keyboard rules and the persisted settings.
class Tfrm_main : public QMainWindow {
    Q_OBJECT
public:
    explicit Tfrm_main(QWidget *parent = nullptr);
    ~Tfrm_main() override;

    // Footer and tabs
    QLabel *le_14 = nullptr;
    QLabel *le_15 = nullptr;
    QPushButton *btn_hilfe = nullptr;
    QPushButton *btn_close = nullptr;
    QTabWidget *pc_main = nullptr;
    QWidget *ts_erfassung = nullptr;
    QWidget *ts_uebersicht = nullptr;
    QWidget *ts_artikel = nullptr;
    QWidget *ts_einstellungen = nullptr;
    QWidget *ts_druck = nullptr;

    // "Artikel && Kunden"
    QPushButton *btn_artikel = nullptr;
    QPushButton *btn_kunden = nullptr;
    QPushButton *btn_datenbankleeren = nullptr;
    QFrame *pnl_sql = nullptr;

    // "Einstellungen"
    QComboBox *cb_drucker_re = nullptr;
    QComboBox *cb_papier_re = nullptr;
    QComboBox *cb_zufuhr_re = nullptr;
    QSpinBox *ed_anzahl_re = nullptr;
    QComboBox *ed_waehrung = nullptr;
    TRadioGroup *rg_sprache = nullptr;
    QLineEdit *ed_mwst_a = nullptr;
    QLineEdit *ed_mwst_b = nullptr;
    QLineEdit *ed_mwst_c = nullptr;
    QLineEdit *ed_mwst_d = nullptr;
    QPlainTextEdit *me_laender = nullptr;
    QCheckBox *cb_rappenrundung = nullptr;
    QLineEdit *ed_pdf_ablage_faktura = nullptr;
    QPushButton *btn_pdf_ablage_faktura = nullptr;
    QLineEdit *ed_subject_re = nullptr;
    QPlainTextEdit *me_body_re = nullptr;
    QCheckBox *cb_gsmtpvoranstellen = nullptr;
    QCheckBox *cb_erechnung = nullptr; // embed the e-invoice in PDF files

    // "Druckbild": the company record and the persisted texts
    QLabel *lbl_absender = nullptr;
    QTextEdit *me_anschrift_firma = nullptr;
    TRichTextToolbar *FormatBar = nullptr;
    QLineEdit *DBEdit3 = nullptr;
    QLineEdit *ed_file = nullptr;
    QPlainTextEdit *ed_fuss1_d = nullptr, *ed_fuss2_d = nullptr, *ed_fuss3_d = nullptr, *ed_fuss4_d = nullptr;
    Dataset *tbl_firmen = nullptr;
    QPlainTextEdit *re_kopftextvorschlag_re = nullptr;
    QPlainTextEdit *re_fusstextvorschlag_re = nullptr;
    QLineEdit *ed_gutschrifttext_re = nullptr;
    QCheckBox *cb_bildeinszueins = nullptr;
    QLineEdit *ed_bearbeiter_re = nullptr;
    QCheckBox *cb_firmenkopf_re = nullptr;
    // "E-Rechnung": the company data electronic invoices require, bound to Firmenstamm
    QGroupBox *gb_erechnung = nullptr;
    QLineEdit *ed_strasse_fi = nullptr, *ed_plz_fi = nullptr, *ed_ort_fi = nullptr;
    QComboBox *cb_land_fi = nullptr;
    QLineEdit *ed_ustidnr_fi = nullptr, *ed_steuernummer_fi = nullptr, *ed_kontakt_fi = nullptr,
              *ed_telefon_fi = nullptr, *ed_email_fi = nullptr, *ed_iban_fi = nullptr, *ed_bic_fi = nullptr;

    // Persisted controls of other tabs, placed there by their builders
    QLineEdit *ed_markergruen = nullptr, *ed_markerrot1 = nullptr, *ed_markerrot2 = nullptr,
              *ed_markerrot3 = nullptr, *ed_markerrot = nullptr, *ed_markergelb = nullptr,
              *ed_markerblau = nullptr, *ed_markerneutral = nullptr;
    QLineEdit *ed_periode_re = nullptr;
    QPlainTextEdit *re_fusstext_re = nullptr;
    QDateEdit *ed_datum_re = nullptr;
    QCheckBox *cb_ersterstart = nullptr;

    // Seams for the tabs that other subsystems fill.
    std::function<void()> onUebersichtOeffnen;   // tab change to the overview
    std::function<void()> onPickerOeffnen;       // reopen qry_kunden and qry_artikeln
    std::function<void()> onPickerAufbauen;      // start-up steps 16-18
    std::function<void()> onFirmenOeffnen;       // open tbl_firmen
    std::function<void()> onFirmenSchliessen;    // close tbl_firmen (posts pending edits)
    std::function<void()> onErsterStartSprache;  // shows frm_land; writes rg_sprache

    // Keyboard: a multi-line field in which Enter breaks the line
    static bool istMehrzeiligesFeld(const QString &name);
    bool keyPreview() const { return m_keyPreview; }

    void FormShow();  // the start-up sequence
    void FormClose(); // the shut-down sequence
    void pc_mainChange();
    void btn_hilfeClick();
    void cb_drucker_reChange();
    void rg_spracheClick(int index);
    void FormStorage1RestorePlacement();
    void ed_fileButtonClick();
    void tbl_firmenOeffnen();
    static void tbl_firmenBeforeClose(Dataset &d);
    void ErsterStartVorgaben(int sprache);
    QString HilfeDatei() const;

    bool startupFailed() const { return m_startupFailed; }

protected:
    void showEvent(QShowEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    bool eventFilter(QObject *obj, QEvent *ev) override;

private:
    void buildFooter(QWidget *central);
    void buildArtikelTab();
    void buildEinstellungenTab();
    void buildDruckTab();
    void buildPersistedPlaceholders();
    void fillPrinterLists();

    void buildERechnungGruppe(QBoxLayout *ziel);

    FormStorage *m_storage = nullptr;
    ComboBoxBinding *m_landFiBindung = nullptr;
    bool m_shown = false;
    bool m_closed = false;
    bool m_keyPreview = true;
    bool m_startupFailed = false;
    bool m_druckerFuellen = false;
};

extern Tfrm_main *frm_main;

// Connects the windows' seams once all of them exist (main).
void verdrahten();
// Sets the e-invoice seams of the PDF output to the e-invoice library (part of
// verdrahten, on its own for tests).
void ERechnungVerdrahten();
