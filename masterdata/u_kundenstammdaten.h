#pragma once
// The customer window: the customers of the current company, the customer
// groups and the issued invoices of a customer. One modeless window for the
// life of the process, shown and hidden.
//
// Opened from the main window as a plain editor (btn_uebergeben hidden), or
// from the capture with btn_uebergeben shown and Ansteuern(number) moving it to
// the customer typed there. "Kunde übergeben" hands the customer to the capture
// (TErfassung::KundeUebernehmen) and closes the window.
//
// "Rechnung Vorschau" shows the selected invoice through onRechnungVorschau,
// which the application's wiring connects to the output routine.
#include <QWidget>
#include <functional>

class DataGrid;
class Dataset;
class FieldBinding;
class ComboBoxBinding;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class TBuchstabenleiste;
class TDatensatzNavigator;

class Tfrm_kundenstammdaten : public QWidget {
    Q_OBJECT
public:
    explicit Tfrm_kundenstammdaten(QWidget *parent = nullptr);
    ~Tfrm_kundenstammdaten() override;

    // ---- data ----------------------------------------------------------------
    Dataset *tbl_kunden = nullptr;
    Dataset *tbl_kundengruppen = nullptr;
    Dataset *mt_kundengruppen = nullptr;
    Dataset *qry_rechnungen_uebersicht = nullptr;
    static const QString SQL_qry_letzte_kundennummer;
    static const QString SQL_qry_letzte_kundengruppennummer;
    static const QString SQL_qry_rechnungen_uebersicht;

    // ---- controls --------------------------------------------------------------
    QTabWidget *pc_kunden = nullptr;
    QWidget *ts_kunden = nullptr, *ts_kundengruppen = nullptr, *ts_rechnungen = nullptr;
    QTabWidget *pc_zusatz = nullptr;
    QWidget *ts_zusaetzliches = nullptr, *ts_sonstiges = nullptr;
    QTabWidget *pc_rechnungen = nullptr;
    QWidget *ts_artikelpositionen = nullptr;
    DataGrid *gr_kunden = nullptr, *gr_gruppen = nullptr, *gr_rechnungen = nullptr;

    QLineEdit *ed_kunde = nullptr, *ed_name_ku = nullptr, *ed_zusatzname_ku = nullptr,
              *ed_strasse_hnr = nullptr, *ed_plz = nullptr, *ed_ort = nullptr, *ed_suchbegriff = nullptr,
              *ed_telefonprivat = nullptr, *ed_telefonfirma = nullptr, *ed_mobiltelefon = nullptr,
              *ed_faxnummer = nullptr, *ed_email1 = nullptr, *ed_homepage = nullptr;
    QComboBox *cb_land = nullptr, *cb_kundengruppe = nullptr, *cb_markierung = nullptr;
    QPushButton *btn_email = nullptr, *btn_homepage = nullptr;
    QCheckBox *cb_sichtbar = nullptr, *cb_mwst = nullptr;
    QLineEdit *ed_steuernummer = nullptr, *ed_uidnummer = nullptr;
    QLineEdit *ed_kaeuferreferenz = nullptr; // buyer reference of e-invoices ("Leitweg-ID")
    QPlainTextEdit *me_anmerkung = nullptr;
    QLineEdit *ed_sonstiges[5] = {};
    QLineEdit *ed_sonstiges_caption[5] = {};
    QDateEdit *ed_anlagedatum = nullptr, *ed_benutzerdatum = nullptr;

    QLineEdit *ed_kundengruppe_nr = nullptr, *ed_name_kg = nullptr;
    QCheckBox *cb_gruppennummer_auto = nullptr;

    QLineEdit *ed_suche = nullptr;
    QComboBox *cb_gruppenwahl = nullptr;
    QPushButton *btn_allekunden = nullptr;
    TBuchstabenleiste *pnl_buchstaben = nullptr;

    TDatensatzNavigator *nav_datensatz = nullptr;
    QPushButton *btn_neu = nullptr, *btn_uebernehmen = nullptr, *btn_loeschen = nullptr, *btn_cancel = nullptr;
    QPushButton *btn_close = nullptr, *btn_uebergeben = nullptr;
    QPushButton *btn_rechnung_vorschau = nullptr;

    // Invoice preview of (company, period, number).
    std::function<void(int firma, int periode, int nummer)> onRechnungVorschau;

    // ---- handlers ------------------------------------------------------------------
    Q_INVOKABLE void Ansteuern(const QString &kunde); // a failed locate is ignored
    void FormShow();
    void FormClose();
    void pc_kundenChange();
    void btn_neuClick();
    void btn_uebernehmenClick();
    void btn_loeschenClick();
    void btn_cancelClick();
    void btn_uebergebenClick();
    void btn_emailClick();
    void btn_homepageClick();
    void btn_rechnung_vorschauClick();
    void btn_allekundenClick();
    void Buchstabe(int tag);
    void SucheAusfuehren();
    void ed_name_kuExit();
    void Kopieren();
    void NeuerKunde();
    void NeueGruppe();

    // The filter text of the search for the current group and the given text.
    static QString Filtertext(int gruppe, const QString &suchtext, int firma);

protected:
    void showEvent(QShowEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    bool eventFilter(QObject *obj, QEvent *ev) override;

private:
    void bauen();
    QWidget *bauenKundenSeite();
    QWidget *bauenGruppenSeite();
    QWidget *bauenRechnungenSeite();
    void datenAnlegen();
    void binden();
    void gruppenlisteAufbauen();
    void gruppenlisteOeffnen();
    void gruppenwahlFuellen();
    void gruppenLookupFuellen();
    void gruppeGewaehlt();
    void rechnungenNachfuehren();
    void kundeNeueZeile(Dataset &ds);
    bool kundeHatRechnungen(int firma, int kunde) const;
    bool aufRechnungsSeite() const;
    bool aufGruppenSeite() const;
    void einstellungenLaden();
    void einstellungenSpeichern();

    ComboBoxBinding *m_landBindung = nullptr;
    ComboBoxBinding *m_gruppeBindung = nullptr;
    bool m_kopierenFreigegeben = false;
    bool m_geschlossen = true;
};

extern Tfrm_kundenstammdaten *frm_kundenstammdaten;
