#pragma once
// The preview window: the pages of a generated invoice with page buttons
// ("| <", "<<", ">>", "> |") and zoom buttons (140, 100, 68 %), opened
// maximised and modal. Serves the capture preview and the screen device of
// the output routine.
#include "platform/report/document.h"

#include <QDialog>

#include <memory>

namespace rpt {
class ReportPreview;
class ReportViewer;
}

class Tfrm_vorschau : public QDialog {
    Q_OBJECT
public:
    explicit Tfrm_vorschau(QWidget *parent = nullptr);
    ~Tfrm_vorschau() override;

    rpt::ReportViewer *vw_vorschau() const { return m_viewer; }
    void setDocument(std::shared_ptr<const rpt::ReportDocument> doc);

    // Shows the document maximised and modal; returns when the window is closed.
    void anzeigen(std::shared_ptr<const rpt::ReportDocument> doc);

    void FormShow(); // zoom 100 %

protected:
    void showEvent(QShowEvent *e) override;

private:
    rpt::ReportPreview *m_preview;
    rpt::ReportViewer *m_viewer;
};

extern Tfrm_vorschau *frm_vorschau;
