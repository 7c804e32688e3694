#pragma once
// A small banded report engine on QPainter.
//
// A Report is a page set-up, bands and groups. Code builds the layout (the
// built-in layout); a layout file (LAYOUT.md) may then override it element by
// element. Generation runs two passes over a DataSource: the first computes
// page count and sums, the second produces the pages (ReportDocument), which
// one paint path sends to a PDF file, to CUPS or to the on-screen viewer.
//
// Units are millimetres throughout. An element's position is relative to the
// top-left corner of its band (x from the left margin), also when it lies in a
// region: a region only moves its elements by the distance it was moved.
//
// Flow of one pass: onStart; then per page the page header (BeforePrint each
// page; the first page's header already sees the first row); per row the group footers of the groups that end, the group headers
// of the groups that begin (a group with newPage starts a new page), the
// detail band; at the end the open group footers and the summary. The page
// footer closes every page. Sums add up their field for each row before the
// detail band's BeforePrint and restart when their reset group begins anew.
//
// Layout of a band instance: an item (region or element) that shifts relative
// to another item follows it: it stays at its designed distance below the
// other's actual bottom, and takes the other's place when that one is hidden,
// so hidden parts leave no gap. Growing memos and rich texts take the height
// of their text (at least their designed height) and make their region grow.
// A band with dynamicHeight ends at its lowest printed item plus its designed
// bottom margin; a static band keeps its height. A band that does not fit on
// the page is split between items; a keepTogether region is never split (it
// moves to the next page as a whole), nor is a keepTogether band.
#include "platform/print/print.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QImage>
#include <QSet>
#include <QMap>
#include <QRectF>
#include <QString>
#include <QVariant>

#include <functional>
#include <memory>
#include <vector>

namespace rpt {

class Band;
class Region;
class Report;
class ReportDocument;

enum class ElementKind {
    Label,      // fixed text
    DataText,   // one line: field value with displayFormat
    Variable,   // one line: `value` set by code, with displayFormat
    Sum,        // one line: sum of `field` since its reset group began, with displayFormat
    SystemVar,  // one line: page number, page count or date (see SystemVar)
    Memo,       // plain text (fixed `text` or `field`), word wrap, grows when `grows`
    RichText,   // RTF or plain text (fixed `text` or `field`), grows when `grows`
    Picture,    // `picture`, drawn by pictureMode
    Rect,       // rectangle, pen and optional fill
    RoundRect,  // rounded rectangle, cornerRadius
    Line,       // along the top edge (or the left edge of a box taller than wide)
    DoubleLine, // two such lines lineGap apart
};

enum class SystemVar { PageNumber, PageCount, PrintDate, PrintDateTime };

enum class PictureMode {
    StretchKeepAspect, // as large as the box allows, aspect kept, at the box's top-left (or centred)
    Stretch,           // fills the box
    OwnSize,           // the picture's own size (from its resolution, 96 dpi when it has none)
};

// Something placed in a band: an element or a region.
class Item {
public:
    virtual ~Item() = default;
    QString name;
    double left = 0, top = 0, width = 0, height = 0; // mm, relative to the band
    bool visible = true;
    Item *shiftRelativeTo = nullptr; // follows this item (same band; for elements: same region or none)
    Band *band() const { return m_band; }
    QRectF rect() const { return {left, top, width, height}; }
    void setRect(const QRectF &r);

protected:
    Band *m_band = nullptr;
    friend class Band;
    friend class Report;
};

class Element : public Item {
public:
    ElementKind kind = ElementKind::Label;
    Region *region() const { return m_region; }

    QFont font;                  // Arial 10 pt unless set
    QColor color = Qt::black;    // text colour
    Qt::Alignment alignment = Qt::AlignLeft;
    QString text;                // fixed text (Label, Memo/RichText without field)
    QString field;               // data field
    QString displayFormat;       // ",0.00;-,0.00", "0.00%;-0.00%", "dd.mm.yyyy", ...
    QVariant value;              // Variable
    QString resetGroup;          // Sum: name of the group whose start resets it; empty: whole report
    SystemVar systemVar = SystemVar::PageNumber;
    bool grows = false;          // Memo/RichText: height follows the text; otherwise cut at the box
    bool wordWrap = true;        // Memo

    QImage picture;
    PictureMode pictureMode = PictureMode::StretchKeepAspect;
    bool center = false;

    QColor penColor = Qt::black;
    double penWidth = 0.2;       // mm
    QColor fillColor;            // invalid: no fill (shapes and text backgrounds)
    double cornerRadius = 2.0;   // mm, RoundRect
    double lineGap = 0.6;        // mm, DoubleLine

    // Get-text event: may change the text about to print.
    std::function<void(QString &text)> onGetText;

    // Sum so far (Sum elements).
    double sum() const { return m_sum; }
    // The text this element prints for the current row, after format and onGetText.
    QString displayText() const;

private:
    Region *m_region = nullptr;
    double m_sum = 0;
    Report *report() const;
    friend class Band;
    friend class Report;
};

class Region : public Item {
public:
    bool keepTogether = false;
    const std::vector<Element *> &elements() const { return m_elements; }

    // Elements inside the region; positions relative to the band.
    Element &addLabel(const QString &name, const QRectF &mm, const QString &text);
    Element &addDataText(const QString &name, const QRectF &mm, const QString &field, const QString &format = {});
    Element &addMemo(const QString &name, const QRectF &mm, const QString &field, bool grows = true);
    Element &addRichText(const QString &name, const QRectF &mm, const QString &field, bool grows = true);
    Element &addPicture(const QString &name, const QRectF &mm, PictureMode mode = PictureMode::StretchKeepAspect);
    Element &addShape(const QString &name, ElementKind kind, const QRectF &mm);
    Element &addElement(const QString &name, ElementKind kind, const QRectF &mm);

private:
    std::vector<Element *> m_elements;
    friend class Band;
    friend class Report;
};

enum class BandKind { PageHeader, GroupHeader, Detail, GroupFooter, Summary, PageFooter };

class Band {
public:
    QString name() const { return m_name; }
    BandKind kind() const { return m_kind; }
    double height = 0;         // designed height, mm
    bool dynamicHeight = false;
    bool keepTogether = false; // never split across pages
    bool visible = true;
    std::function<void()> beforePrint; // each time the band is about to print

    Element &addLabel(const QString &name, const QRectF &mm, const QString &text);
    Element &addDataText(const QString &name, const QRectF &mm, const QString &field, const QString &format = {});
    Element &addVariable(const QString &name, const QRectF &mm, const QString &format = {});
    Element &addSum(const QString &name, const QRectF &mm, const QString &field, const QString &format = {},
                    const QString &resetGroup = {});
    Element &addSystemVar(const QString &name, const QRectF &mm, SystemVar var, const QString &format = {});
    Element &addMemo(const QString &name, const QRectF &mm, const QString &field, bool grows = true);
    Element &addRichText(const QString &name, const QRectF &mm, const QString &field, bool grows = true);
    Element &addPicture(const QString &name, const QRectF &mm, PictureMode mode = PictureMode::StretchKeepAspect);
    Element &addShape(const QString &name, ElementKind kind, const QRectF &mm);
    Element &addElement(const QString &name, ElementKind kind, const QRectF &mm);
    Region &addRegion(const QString &name, const QRectF &mm);

    // Every element of the band, in regions or not, in creation order.
    const std::vector<Element *> &elements() const { return m_all; }
    const std::vector<Region *> &regions() const { return m_regionPtrs; }

    // Moves an element to this band, into region (null: none).
    void adopt(Element &e, Region *region = nullptr);

private:
    Band(Report *r, BandKind k, const QString &name) : m_report(r), m_kind(k), m_name(name) {}
    Element &newElement(const QString &name, ElementKind kind, const QRectF &mm, Region *region);
    Report *m_report;
    BandKind m_kind;
    QString m_name;
    std::vector<std::unique_ptr<Element>> m_owned;
    std::vector<std::unique_ptr<Region>> m_regions;
    std::vector<Element *> m_all;
    std::vector<Region *> m_regionPtrs;
    friend class Report;
    friend class Region;
    friend class Element;
};

class Group {
public:
    QString name() const { return m_name; }
    QString field;                          // group key: this field's value ...
    std::function<QVariant()> key;          // ... or this function (wins when set)
    bool newPage = false;                   // each new instance (after the first) starts on a new page
    Band &header() { return *m_header; }
    Band &footer() { return *m_footer; }

private:
    QString m_name;
    Band *m_header = nullptr;
    Band *m_footer = nullptr;
    QVariant m_last;
    friend class Report;
};

// The rows a report walks. Pull interface: the engine asks for a row's value.
class DataSource {
public:
    virtual ~DataSource() = default;
    virtual int rowCount() const = 0;
    virtual QVariant value(int row, const QString &field) const = 0;
};

// Rows held as a list of maps (e.g. copied from a QSqlQuery with calculated fields added).
class ListDataSource : public DataSource {
public:
    ListDataSource() = default;
    explicit ListDataSource(QList<QVariantMap> rows) : rows(std::move(rows)) {}
    int rowCount() const override { return int(rows.size()); }
    QVariant value(int row, const QString &field) const override { return rows.at(row).value(field); }
    QList<QVariantMap> rows;
};

// Rows from two callbacks (a Dataset, a query kept open, computed rows).
class CallbackDataSource : public DataSource {
public:
    CallbackDataSource(std::function<int()> count, std::function<QVariant(int, const QString &)> value)
        : m_count(std::move(count)), m_value(std::move(value)) {}
    int rowCount() const override { return m_count(); }
    QVariant value(int row, const QString &field) const override { return m_value(row, field); }

private:
    std::function<int()> m_count;
    std::function<QVariant(int, const QString &)> m_value;
};

struct PageSetup {
    QString paperName = QStringLiteral("A4");
    double width = 210, height = 297; // mm, as the page is printed (portrait A4)
    double marginTop = 10, marginBottom = 10, marginLeft = 10, marginRight = 10;
};

struct PdfOptions {
    QString title;       // empty: the report's documentName
    QString creator;     // empty: the application name
    int resolution = 1200;
    // PDF/A-1b (fonts embedded, XMP metadata, sRGB output intent), the base of
    // an archivable e-invoice; plain PDF by default
    bool pdfA = false;
};

class Report {
public:
    Report();
    ~Report();
    Report(const Report &) = delete;
    Report &operator=(const Report &) = delete;

    PageSetup page;
    QString documentName; // PDF title and print job title
    bool twoPass = true;  // one pass: pageCount() is 0 while painting

    // Bands. Page header, detail, summary and page footer exist once each.
    Band &addBand(BandKind kind, const QString &name, double heightMm);
    // Groups nest in the order they are added (first = outermost). The group's
    // header and footer bands get the given names (height 0 until set).
    Group &addGroup(const QString &name, const QString &field, const QString &headerBand,
                    const QString &footerBand);

    // Look-up by name; the reference forms throw TvxError for an unknown name.
    Element &element(const QString &name) const;
    Element *findElement(const QString &name) const;
    Region &region(const QString &name) const;
    Region *findRegion(const QString &name) const;
    Band &band(const QString &name) const;
    Band *findBand(const QString &name) const;
    Group &group(const QString &name) const;
    Item *findItem(const QString &name) const; // element or region
    QList<Band *> bands() const;
    QList<Group *> groups() const;

    // Data. The source is not owned and must outlive generate().
    void setDataSource(const DataSource *source) { m_source = source; }
    const DataSource *dataSource() const { return m_source; }

    // Run state, for the events.
    std::function<void()> onStart;                    // start of each pass
    int pass() const { return m_pass; }               // 1 or 2 (1 also in one-pass mode)
    bool isFinalPass() const;
    int currentRow() const { return m_row; }          // -1 before the first row
    QVariant value(const QString &field) const;       // field of the current row; null outside
    int pageNumber() const { return m_pageNo; }
    int pageCount() const { return m_pageCount; }     // from the first pass; 0 during it

    // Runs the passes and returns the pages of the last one. Errors of events propagate.
    std::shared_ptr<ReportDocument> generate();

    // Output devices. Each call generates anew.
    void exportPdf(const QString &file, const PdfOptions &options = {});
    // Renders to a temporary PDF and hands it to CUPS; returns the job id.
    int print(const Print::PrintJob &job);

    // Layout file (JSON, see LAYOUT.md): attributes of the named elements,
    // regions and bands replace the current ones; names the report does not
    // know are ignored. A missing file or bad content throws TvxError and
    // leaves the layout unchanged.
    void loadLayout(const QString &file);
    void loadLayoutJson(const QByteArray &json, const QString &origin = {});
    QByteArray layoutJson() const;         // the current layout in that format
    void saveLayout(const QString &file) const;

    // Named texts carried by the layout file ("texts"); empty when absent.
    QString layoutText(const QString &name) const { return m_texts.value(name); }
    void setLayoutText(const QString &name, const QString &text) { m_texts.insert(name, text); }
    QStringList layoutTextNames() const { return m_texts.keys(); }

private:
    class Engine;
    friend class Band;
    friend class Element;
    void registerName(const QString &name, Element *e, Region *r);
    Band *m_header = nullptr, *m_detail = nullptr, *m_summary = nullptr, *m_footer = nullptr;
    std::vector<std::unique_ptr<Band>> m_bands;
    std::vector<std::unique_ptr<Group>> m_groups;
    QHash<QString, Element *> m_elements;
    QHash<QString, Region *> m_regions;
    QMap<QString, QString> m_texts;
    const DataSource *m_source = nullptr;
    int m_pass = 0, m_row = -1, m_pageNo = 0, m_pageCount = 0;
    bool m_running = false;
};

} // namespace rpt
