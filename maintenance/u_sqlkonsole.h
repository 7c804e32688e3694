#pragma once
// The service console of the panel pnl_sql: any statement against the main
// database, its result in a read-only grid with a navigator, and the export.
//
// Nothing checks the statements. "Select ausführen" opens the statement as the
// result of qry_ausfuehren; a statement that returns no rows (update, delete,
// ...) is refused there before it runs, so pressing the wrong button never
// changes data behind an error message. "Update/Insert ausführen" runs the text
// (several statements separated by ';' allowed) without a result and reports
// sm_22. Errors show the driver's message; the previous result is closed.

#include <QWidget>

class Dataset;
class DataGrid;
class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QToolButton;
struct ExportQuelle;

class TSqlKonsole : public QWidget {
    Q_OBJECT
public:
    // Builds the console into panel (usually the main window's pnl_sql), filling it.
    explicit TSqlKonsole(QWidget *panel);
    ~TSqlKonsole() override;

    QPlainTextEdit *me_befehl = nullptr;
    DataGrid *gr_sql = nullptr;
    QWidget *moDBNav1 = nullptr;
    QPushButton *btn_ausfuehren = nullptr;
    QPushButton *btn_update = nullptr;
    QPushButton *btn_SQLExport = nullptr;
    QCheckBox *cb_live = nullptr;
    Dataset *qry_ausfuehren = nullptr;

    // One handler for both buttons; sender tells them apart.
    void btn_ausfuehrenClick(QObject *sender);
    // Opens the export for an open, non-empty result; otherwise nothing.
    void btn_SQLExportClick();

    // The grid's visible columns in grid order with every record of the result.
    static ExportQuelle exportQuelle(DataGrid *grid);

private:
    void navigieren(int wohin);
    void zustandZeigen();
    int seitenzeilen() const;

    QToolButton *m_nav[8] = {};
    QLabel *m_position = nullptr;
};
