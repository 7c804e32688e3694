#pragma once
// The overview tab "Übersicht": the issued invoices of the current company, one
// line per invoice, newest first, with colour markers, preview and reprint, PDF
// filing, e-mail and cancellation.
//
// TUebersicht builds its controls under the tab page with the component names
// the language files use and carries the tab's handlers. The wiring connects
//     auto *u = new TUebersicht(frm_main->ts_uebersicht);
//     frm_main->onUebersichtOeffnen = [u] { u->Oeffnen(); };   // tab becomes active
// The legend edits ed_markergruen … ed_markerneutral are taken from the page
// (the main window keeps them with its window settings), otherwise created.
#include <QList>
#include <QObject>
#include <QPixmap>
#include <QString>

class Dataset;
class DataGrid;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;
class TRadioGroup;

extern const char *const SQL_qry_rechnungen_uebersicht;
extern const char *const SQL_qry_rechnung_update;

class TUebersicht : public QObject {
    Q_OBJECT
public:
    explicit TUebersicht(QWidget *ts_uebersicht);
    ~TUebersicht() override;

    QWidget *seite() const { return m_seite; }

    QFrame *pnl_auswahl_re = nullptr;
    QPushButton *btn_rechnung_vorschau = nullptr;
    QPushButton *btn_rechnung_drucken = nullptr;
    QPushButton *btn_email_re = nullptr;
    QPushButton *btn_pdf_re = nullptr;
    QPushButton *btn_xrechnung_re = nullptr; // the invoice as XRechnung beside its filed PDF
    QPushButton *btn_storno = nullptr;
    // Marker pictures in value order 1..7; each carries its value as "Tag".
    QList<QLabel *> bilder;
    QFrame *Panel9 = nullptr;       // "Neutral": value 0
    QList<QLineEdit *> legenden;    // in table order, ed_markerneutral last
    TRadioGroup *rg_anzeige_re = nullptr;
    DataGrid *gr_rechnungen = nullptr;
    Dataset *qry_rechnungen_uebersicht = nullptr;

    // The seven 16 x 16 bullets of the marker column, value n at n - 1.
    static const QList<QPixmap> &il_bullets();

    // Closes and opens the list for AktuelleFirma: all invoices, or those dated
    // today - 180 days or later.
    void Oeffnen();
    // Writes the marker into every row of the current line's invoice, reopens
    // the list and returns to the line. Nothing without a current line.
    void MarkerSetzen(int wert);

    void btn_rechnung_vorschauClick();
    void btn_rechnung_druckenClick();
    void btn_pdf_reClick();
    void btn_xrechnung_reClick();
    void btn_email_reClick();
    void btn_stornoClick();

protected:
    bool eventFilter(QObject *o, QEvent *e) override;

private:
    bool zeileDa() const;
    void spaltenbreitenPruefen();
    void ausgeben(bool bildschirm);

    QWidget *m_seite = nullptr;
};
