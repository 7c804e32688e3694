#pragma once
// On-screen display of generated report pages.
//
// ReportViewer shows one page at a time, centred on a window-coloured
// background, at a zoom in percent (100 % = real size on the screen); it
// scrolls when the page is larger than the view. Keys: Page Up/Down previous
// and next page, Home/End (with Ctrl) first and last page.
//
// ReportPreview is the viewer with a top panel: page buttons btn_first "| <",
// btn_back "<<", btn_forward ">>", btn_last "> |", zoom buttons sb_140, sb_100,
// sb_68 and a page indicator; the viewer itself is vw_vorschau. A preview
// window only needs to put one into its layout and hand it the document.
#include "platform/report/document.h"

#include <QWidget>

class QLabel;
class QScrollArea;
class QToolButton;
class QPushButton;

namespace rpt {

class ReportViewer : public QWidget {
    Q_OBJECT
public:
    explicit ReportViewer(QWidget *parent = nullptr);
    ~ReportViewer() override;

    void setDocument(std::shared_ptr<const ReportDocument> doc);
    std::shared_ptr<const ReportDocument> document() const { return m_doc; }

    int currentPage() const { return m_page; } // 0-based; -1 without pages
    int pageCount() const { return m_doc ? m_doc->pageCount() : 0; }
    int zoom() const { return m_zoom; }
    // The page as shown (for tests and screenshots).
    QImage currentImage() const { return m_image; }

public slots:
    void firstPage();
    void priorPage();
    void nextPage();
    void lastPage();
    void setPage(int page);
    void setZoom(int percent);

signals:
    void pageChanged(int page, int pageCount);
    void zoomChanged(int percent);

protected:
    void keyPressEvent(QKeyEvent *e) override;

private:
    void refresh();
    std::shared_ptr<const ReportDocument> m_doc;
    int m_page = -1;
    int m_zoom = 100;
    QImage m_image;
    QScrollArea *m_scroll;
    QLabel *m_pageLabel;
};

class ReportPreview : public QWidget {
    Q_OBJECT
public:
    explicit ReportPreview(QWidget *parent = nullptr);
    ReportViewer *viewer() const { return m_viewer; }
    void setDocument(std::shared_ptr<const ReportDocument> doc) { m_viewer->setDocument(std::move(doc)); }

private:
    void updateButtons();
    ReportViewer *m_viewer;
    QPushButton *m_first, *m_back, *m_forward, *m_last;
    QToolButton *m_z140, *m_z100, *m_z68;
    QLabel *m_indicator;
};

} // namespace rpt
