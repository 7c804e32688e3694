#pragma once
// The article window: the articles (shared by every company) and the article
// groups. One modeless window for the life of the process, shown and hidden.
//
// Opened from the main window as a plain editor (btn_uebergeben hidden), or
// from the capture ("Artikel erstellen", F5 in the article field) with
// btn_uebergeben shown and Ansteuern(number) moving it to the article typed
// there. "Artikel übergeben" hands the article to the capture
// (TErfassung::ArtikelUebernehmen) and closes the window.
#include <QHash>
#include <QVariant>
#include <QWidget>

class ComboBoxBinding;
class DataGrid;
class Dataset;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTextEdit;
class TBuchstabenleiste;
class TDatensatzNavigator;
class TRichTextToolbar;

class Tfrm_artikelstammdaten : public QWidget {
    Q_OBJECT
public:
    explicit Tfrm_artikelstammdaten(QWidget *parent = nullptr);
    ~Tfrm_artikelstammdaten() override;

    // ---- data ----------------------------------------------------------------
    Dataset *tbl_artikeln = nullptr;
    Dataset *tbl_artikelgruppen = nullptr;
    Dataset *mt_artikelgruppen = nullptr;
    static const QString SQL_qry_letzte_artikelgruppennummer;

    // ---- controls --------------------------------------------------------------
    QTabWidget *pc_artikel = nullptr;
    QWidget *ts_artikeln = nullptr, *ts_artikelgruppen = nullptr;
    QTabWidget *pc_zusatz = nullptr;
    QWidget *ts_bild = nullptr, *ts_sonstiges = nullptr, *ts_einstellungen = nullptr;
    DataGrid *gr_artikeln = nullptr, *gr_gruppen = nullptr;

    QLineEdit *ed_artikel = nullptr, *ed_name_ar = nullptr, *ed_suchbegriff = nullptr;
    TRichTextToolbar *tb_beschreibung = nullptr;
    QTextEdit *me_anschrift_firma = nullptr; // the description Beschreibung_AR
    QComboBox *cb_artikelgruppe = nullptr, *cb_markierung = nullptr, *cb_einheit = nullptr, *cb_mwst = nullptr;
    QDateEdit *ed_anlagedatum = nullptr, *ed_benutzerdatum = nullptr;
    QLineEdit *ed_preis1 = nullptr, *ed_preis2 = nullptr, *ed_preis3 = nullptr;
    QCheckBox *cb_sichtbar = nullptr;
    QLineEdit *ed_bildpfad = nullptr;
    QPushButton *btn_bildpfad = nullptr;
    QLabel *img_bild = nullptr;
    QCheckBox *cb_bild = nullptr;
    QLineEdit *ed_sonstiges[5] = {};
    QLineEdit *ed_sonstiges_caption[5] = {};
    QPlainTextEdit *me_einheiten = nullptr;

    QLineEdit *ed_artikelgruppe_nr = nullptr, *ed_name_ag = nullptr;
    QCheckBox *cb_gruppennummer_auto = nullptr;

    QLineEdit *ed_suche = nullptr;
    QComboBox *cb_gruppenwahl = nullptr;
    QPushButton *btn_alle = nullptr;
    TBuchstabenleiste *pnl_buchstaben = nullptr;

    TDatensatzNavigator *nav_datensatz = nullptr;
    QPushButton *btn_neu = nullptr, *btn_uebernehmen = nullptr, *btn_loeschen = nullptr, *btn_cancel = nullptr;
    QPushButton *btn_close = nullptr, *btn_uebergeben = nullptr;

    static QStringList Einheitenvorgabe();

    // ---- handlers ------------------------------------------------------------------
    Q_INVOKABLE void Ansteuern(const QString &artikel); // a failed locate is ignored
    void FormShow();
    void FormClose();
    void pc_artikelChange();
    void btn_neuClick();
    void btn_uebernehmenClick();
    void btn_loeschenClick();
    void btn_cancelClick();
    void btn_uebergebenClick();
    void btn_alleClick();
    void btn_bildpfadClick();
    void Buchstabe(int tag);
    void SucheAusfuehren();
    void SuchbegriffSetzen(const QString &feld);
    void Kopieren();
    void NeuerArtikel();
    void NeueGruppe();
    void MwstListeFuellen();
    void BildAktualisieren();

    // Filter text for a group and search text; empty: no filter.
    static QString Filtertext(int gruppe, const QString &suchtext);
    // The log text of a post: stored and new values of prices and group.
    static QString Aenderungstext(const QString &artikel, const QHash<QString, QVariant> &alt,
                                  const QHash<QString, QVariant> &neu);

protected:
    void showEvent(QShowEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    bool eventFilter(QObject *obj, QEvent *ev) override;

private:
    void bauen();
    QWidget *bauenArtikelSeite();
    QWidget *bauenGruppenSeite();
    void datenAnlegen();
    void binden();
    void artikelNeueZeile(Dataset &ds);
    void aenderungProtokollieren(Dataset &ds);
    void gruppenlisteAufbauen();
    void gruppenlisteOeffnen();
    void gruppenwahlFuellen();
    void gruppenLookupFuellen();
    void gruppeGewaehlt();
    bool artikelAufRechnung(const QString &artikel) const;
    bool aufGruppenSeite() const;
    void einstellungenLaden();
    void einstellungenSpeichern();

    ComboBoxBinding *m_gruppeBindung = nullptr;
    ComboBoxBinding *m_mwstBindung = nullptr;
    ComboBoxBinding *m_einheitBindung = nullptr;
    QHash<QString, QVariant> m_gespeichert; // prices and group as stored, before an edit
    bool m_geschlossen = true;
};

extern Tfrm_artikelstammdaten *frm_artikelstammdaten;
