#pragma once
// Generated pages: what each page draws, in page millimetres. Produced by
// Report::generate(); painted by paintPage() for every device.
#include "platform/report/report.h"

#include <QList>
#include <QSizeF>

class QPainter;
class QTextDocument;

namespace rpt {

struct PaintOp {
    QString name;          // element name
    ElementKind kind = ElementKind::Label;
    QRectF rect;           // mm from the paper's top-left corner
    QString text;          // what prints (text kinds)
    QFont font;
    QColor color;
    Qt::Alignment alignment = Qt::AlignLeft;
    bool wrap = false;
    bool clip = false;     // cut at rect
    QImage picture;
    QColor penColor, fillColor;
    double penWidth = 0, cornerRadius = 0, lineGap = 0;
    std::shared_ptr<QTextDocument> richText; // laid out at the measuring resolution
};

struct Page {
    QList<PaintOp> ops;
    // The first op of that name on this page, or null.
    const PaintOp *find(const QString &name) const;
};

class ReportDocument {
public:
    QSizeF pageSizeMm{210, 297};
    QString title;
    QList<Page> pages;
    int pageCount() const { return int(pages.size()); }
};

// Paints one page. The painter's coordinates must be "layout units"
// (unitsPerMm() per millimetre, 1200 dpi) with the paper's top-left at 0,0:
// scale the painter by deviceDpi / 1200 beforehand.
void paintPage(QPainter &painter, const ReportDocument &doc, int page);
constexpr double layoutDpi() { return 1200.0; }
constexpr double unitsPerMm() { return 1200.0 / 25.4; }

// Writes the pages to a PDF file (A4 or the document's page size, embedded
// fonts, title and creator metadata). Throws TvxError when the file cannot be written.
void writePdf(const ReportDocument &doc, const QString &file, const PdfOptions &options = {});

// The page at a zoom (100 = real size at the given screen dpi) as an image.
QImage renderPageImage(const ReportDocument &doc, int page, double zoomPercent, double screenDpi);

} // namespace rpt
