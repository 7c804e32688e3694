#pragma once
// Export dialog of the SQL console: format, target and the text, number and
// date settings. It opens with the settings of the last export (stored under
// "Export Artikeljournal") or the defaults: text, records separated by CR LF,
// no title line, Windows-1252, file "Export.TXT" in the backup folder. The
// export runs with a wait cursor and a progress bar and can be cancelled; a
// message reports the end.

#include "maintenance/u_exportformate.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;

class Tfrm_export : public QDialog {
    Q_OBJECT
public:
    explicit Tfrm_export(ExportQuelle quelle, QWidget *parent = nullptr);

    // Group of the per-user store that keeps the last settings.
    static QString einstellungsGruppe() { return QStringLiteral("Export Artikeljournal"); }
    static ExportEinstellungen standard();         // defaults, target in Sicherungen/
    static ExportEinstellungen gespeichert();      // the stored ones, or standard()
    static void speichern(const ExportEinstellungen &e);

    ExportEinstellungen einstellungen() const;     // as the controls show them
    void setEinstellungen(const ExportEinstellungen &e);

    // Runs the export with the shown settings; true when something was written.
    bool btn_exportierenClick();
    bool laeuft() const { return m_laeuft; }

    QListWidget *lb_format = nullptr;
    QLineEdit *ed_datei = nullptr;
    QPushButton *btn_datei = nullptr;
    QGroupBox *gb_text = nullptr;
    QComboBox *cb_trenner = nullptr;
    QComboBox *cb_begrenzer = nullptr;
    QCheckBox *cb_titelzeile = nullptr;
    QCheckBox *cb_festebreite = nullptr;
    QComboBox *cb_zeichensatz = nullptr;
    QLineEdit *ed_datumsformat = nullptr;
    QLineEdit *ed_zeitformat = nullptr;
    QLineEdit *ed_tausender = nullptr;
    QLineEdit *ed_dezimal = nullptr;
    QLineEdit *ed_waehrung = nullptr;
    QCheckBox *cb_betrag = nullptr;
    QLineEdit *ed_wahr = nullptr;
    QLineEdit *ed_falsch = nullptr;
    QLabel *lbl_umfang = nullptr;
    QProgressBar *pb_export = nullptr;
    QPushButton *btn_exportieren = nullptr;
    QPushButton *btn_abbrechen = nullptr;

public slots:
    void reject() override; // cancels a running export instead of closing

private:
    ExportFormat format() const;
    void formatGewechselt(bool vorgabenSetzen);
    void dateiWaehlen();
    void bedienbar(bool an);

    ExportQuelle m_quelle;
    ExportFormat m_letztesFormat = ExportFormat::Text;
    bool m_laeuft = false;
    bool m_abbrechen = false;
};
