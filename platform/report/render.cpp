#include "platform/report/document.h"
#include "platform/report/measure.h"

#include "platform/core/errors.h"
#include "platform/rtf/rtf.h"

#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>
#include <QTextLayout>

namespace rpt {
namespace detail {

QPaintDevice *measureDevice()
{
    static QImage *img = [] {
        auto *i = new QImage(1, 1, QImage::Format_ARGB32_Premultiplied);
        const int dpm = qRound(layoutDpi() / 0.0254);
        i->setDotsPerMeterX(dpm);
        i->setDotsPerMeterY(dpm);
        return i;
    }();
    return img;
}

double mmToUnits(double mm) { return mm * unitsPerMm(); }
double unitsToMm(double units) { return units / unitsPerMm(); }

namespace {

QString lines(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(u'\r', u'\n');
    text.replace(u'\n', QChar::LineSeparator);
    return text;
}

// Lays a text out in a box width; returns its height in layout units.
double layoutText(QTextLayout &tl, double widthUnits, bool wrap, Qt::Alignment alignment)
{
    QTextOption opt(alignment & Qt::AlignHorizontal_Mask);
    opt.setWrapMode(wrap ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::NoWrap);
    tl.setTextOption(opt);
    tl.setCacheEnabled(true);
    tl.beginLayout();
    double y = 0;
    for (QTextLine line = tl.createLine(); line.isValid(); line = tl.createLine()) {
        line.setLineWidth(widthUnits);
        line.setPosition(QPointF(0, y));
        y += line.height();
    }
    tl.endLayout();
    return y;
}

QFont deviceFont(const QFont &f) { return QFont(f, measureDevice()); }

} // namespace

double textHeightMm(const QString &text, const QFont &font, double widthMm, bool wrap)
{
    QTextLayout tl(lines(text), deviceFont(font), measureDevice());
    return unitsToMm(layoutText(tl, mmToUnits(widthMm), wrap, Qt::AlignLeft));
}

std::shared_ptr<QTextDocument> richDocument(const QString &source, const QFont &font, const QColor &color,
                                            double widthMm)
{
    auto doc = std::make_shared<QTextDocument>();
    doc->documentLayout()->setPaintDevice(measureDevice());
    doc->setDocumentMargin(0);
    doc->setDefaultFont(font);
    Q_UNUSED(color); // text without a colour of its own takes the element's colour when painted
    Rtf::read(source, doc.get());
    doc->setTextWidth(mmToUnits(widthMm));
    return doc;
}

double richHeightMm(const QTextDocument &doc) { return unitsToMm(doc.size().height()); }

QSizeF pictureSizeMm(const QImage &img)
{
    if (img.isNull())
        return {};
    const double dpmx = img.dotsPerMeterX() > 0 ? img.dotsPerMeterX() : 96 / 0.0254;
    const double dpmy = img.dotsPerMeterY() > 0 ? img.dotsPerMeterY() : 96 / 0.0254;
    return {img.width() / dpmx * 1000.0, img.height() / dpmy * 1000.0};
}

} // namespace detail

using namespace detail;

const PaintOp *Page::find(const QString &name) const
{
    for (const PaintOp &op : ops)
        if (op.name == name)
            return &op;
    return nullptr;
}

namespace {

QRectF units(const QRectF &mm)
{
    return {mmToUnits(mm.x()), mmToUnits(mm.y()), mmToUnits(mm.width()), mmToUnits(mm.height())};
}

QPen pen(const PaintOp &op)
{
    if (!op.penColor.isValid() || op.penWidth <= 0)
        return Qt::NoPen;
    QPen p(op.penColor);
    p.setWidthF(mmToUnits(op.penWidth));
    p.setJoinStyle(Qt::MiterJoin);
    return p;
}

void paintText(QPainter &p, const PaintOp &op, const QRectF &r)
{
    if (op.fillColor.isValid())
        p.fillRect(r, op.fillColor);
    p.save();
    if (op.clip)
        p.setClipRect(r, Qt::IntersectClip);
    if (op.kind == ElementKind::RichText && op.richText) {
        p.translate(r.topLeft());
        QAbstractTextDocumentLayout::PaintContext ctx;
        ctx.palette.setColor(QPalette::Text, op.color);
        if (op.clip)
            ctx.clip = QRectF(0, 0, r.width(), r.height());
        op.richText->documentLayout()->draw(&p, ctx);
    } else {
        QString t = op.text;
        t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        t.replace(u'\r', u'\n');
        t.replace(u'\n', QChar::LineSeparator);
        QTextLayout tl(t, QFont(op.font, measureDevice()), measureDevice());
        QTextOption opt(op.alignment & Qt::AlignHorizontal_Mask);
        opt.setWrapMode(op.wrap ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::NoWrap);
        tl.setTextOption(opt);
        tl.beginLayout();
        double y = 0;
        for (QTextLine line = tl.createLine(); line.isValid(); line = tl.createLine()) {
            line.setLineWidth(r.width());
            line.setPosition(QPointF(0, y));
            // a one-line text wider than its box keeps its aligned edge
            if (!op.wrap && line.naturalTextWidth() > r.width()) {
                const double over = line.naturalTextWidth() - r.width();
                if (op.alignment & Qt::AlignRight)
                    line.setPosition(QPointF(-over, y));
                else if (op.alignment & Qt::AlignHCenter)
                    line.setPosition(QPointF(-over / 2, y));
            }
            y += line.height();
        }
        tl.endLayout();
        p.setPen(op.color);
        tl.draw(&p, r.topLeft());
    }
    p.restore();
}

void paintPicture(QPainter &p, const PaintOp &op, const QRectF &r)
{
    if (op.picture.isNull())
        return;
    p.save();
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(r, op.picture);
    p.restore();
}

void paintOp(QPainter &p, const PaintOp &op)
{
    const QRectF r = units(op.rect);
    switch (op.kind) {
    case ElementKind::Picture:
        paintPicture(p, op, r);
        break;
    case ElementKind::Rect:
        p.setPen(pen(op));
        p.setBrush(op.fillColor.isValid() ? QBrush(op.fillColor) : QBrush(Qt::NoBrush));
        p.drawRect(r);
        break;
    case ElementKind::RoundRect: {
        p.setPen(pen(op));
        p.setBrush(op.fillColor.isValid() ? QBrush(op.fillColor) : QBrush(Qt::NoBrush));
        const double rad = mmToUnits(op.cornerRadius);
        p.drawRoundedRect(r, rad, rad);
        break;
    }
    case ElementKind::Line:
    case ElementKind::DoubleLine: {
        p.setPen(pen(op));
        const bool vertical = r.height() > r.width();
        const double gap = op.kind == ElementKind::DoubleLine ? mmToUnits(op.lineGap) : -1;
        for (double d : {0.0, gap}) {
            if (d < 0)
                continue;
            if (vertical)
                p.drawLine(QPointF(r.left() + d, r.top()), QPointF(r.left() + d, r.bottom()));
            else
                p.drawLine(QPointF(r.left(), r.top() + d), QPointF(r.right(), r.top() + d));
        }
        break;
    }
    default:
        paintText(p, op, r);
    }
}

} // namespace

void paintPage(QPainter &painter, const ReportDocument &doc, int page)
{
    if (page < 0 || page >= doc.pageCount())
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    for (const PaintOp &op : doc.pages.at(page).ops)
        paintOp(painter, op);
    painter.restore();
}

void writePdf(const ReportDocument &doc, const QString &file, const PdfOptions &options)
{
    QPdfWriter writer(file);
    writer.setResolution(options.resolution > 0 ? options.resolution : 1200);
    if (options.pdfA)
        writer.setPdfVersion(QPagedPaintDevice::PdfVersion_A1b);
    writer.setTitle(options.title.isEmpty() ? doc.title : options.title);
    writer.setCreator(options.creator.isEmpty() ? QCoreApplication::applicationName() : options.creator);
    const QSizeF sz = doc.pageSizeMm;
    const bool landscape = sz.width() > sz.height();
    const QPageSize ps(landscape ? sz.transposed() : sz, QPageSize::Millimeter, QString(),
                       QPageSize::FuzzyMatch);
    writer.setPageLayout(QPageLayout(ps, landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                                     QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
    QPainter p;
    if (!p.begin(&writer))
        throw TvxError(QStringLiteral("PDF-Datei kann nicht geschrieben werden: %1").arg(file));
    const double scale = writer.resolution() / layoutDpi();
    for (int i = 0; i < doc.pageCount(); ++i) {
        if (i > 0)
            writer.newPage();
        p.save();
        p.scale(scale, scale);
        paintPage(p, doc, i);
        p.restore();
    }
    if (!p.end() || !QFileInfo(file).isFile())
        throw TvxError(QStringLiteral("PDF-Datei kann nicht geschrieben werden: %1").arg(file));
}

QImage renderPageImage(const ReportDocument &doc, int page, double zoomPercent, double screenDpi)
{
    const double pxPerMm = screenDpi / 25.4 * zoomPercent / 100.0;
    const QSize size(qMax(1, qRound(doc.pageSizeMm.width() * pxPerMm)),
                     qMax(1, qRound(doc.pageSizeMm.height() * pxPerMm)));
    QImage img(size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::white);
    QPainter p(&img);
    const double scale = pxPerMm / unitsPerMm();
    p.scale(scale, scale);
    paintPage(p, doc, page);
    p.end();
    return img;
}

} // namespace rpt
