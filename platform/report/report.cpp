#include "platform/report/report.h"
#include "platform/report/document.h"
#include "platform/report/format.h"
#include "platform/report/measure.h"

#include "platform/core/clock.h"
#include "platform/core/errors.h"

#include <QDir>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTextDocument>

#include <algorithm>
#include <cmath>
#include <limits>

namespace rpt {

using namespace detail;

// ---------------------------------------------------------------- model

void Item::setRect(const QRectF &r)
{
    left = r.x();
    top = r.y();
    width = r.width();
    height = r.height();
}

Report *Element::report() const { return m_band ? m_band->m_report : nullptr; }

QString Element::displayText() const
{
    const Report *r = report();
    QString t;
    switch (kind) {
    case ElementKind::Label:
        t = text;
        break;
    case ElementKind::DataText:
        t = r ? formatValue(r->value(field), displayFormat) : QString();
        break;
    case ElementKind::Variable:
        t = formatValue(value, displayFormat);
        break;
    case ElementKind::Sum:
        t = formatNumber(m_sum, displayFormat);
        break;
    case ElementKind::SystemVar:
        switch (systemVar) {
        case SystemVar::PageNumber:
            t = QString::number(r ? r->pageNumber() : 0);
            break;
        case SystemVar::PageCount:
            t = QString::number(r ? r->pageCount() : 0);
            break;
        case SystemVar::PrintDate:
            t = formatDate(Clock::now(), displayFormat.isEmpty() ? QStringLiteral("dd.mm.yyyy") : displayFormat);
            break;
        case SystemVar::PrintDateTime:
            t = formatDate(Clock::now(),
                           displayFormat.isEmpty() ? QStringLiteral("dd.mm.yyyy hh:nn") : displayFormat);
            break;
        }
        break;
    case ElementKind::Memo:
    case ElementKind::RichText:
        t = field.isEmpty() || !r ? text : r->value(field).toString();
        break;
    default:
        t = text;
    }
    if (onGetText)
        onGetText(t);
    return t;
}

namespace {
QFont defaultFont()
{
    QFont f(QStringLiteral("Arial"));
    f.setPointSizeF(10);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}
} // namespace

Element &Band::newElement(const QString &name, ElementKind kind, const QRectF &mm, Region *region)
{
    auto e = std::make_unique<Element>();
    e->name = name;
    e->kind = kind;
    e->setRect(mm);
    e->font = defaultFont();
    e->m_band = this;
    e->m_region = region;
    e->grows = kind == ElementKind::Memo || kind == ElementKind::RichText;
    if (kind == ElementKind::SystemVar || kind == ElementKind::Sum || kind == ElementKind::Variable)
        e->alignment = Qt::AlignLeft;
    Element *p = e.get();
    m_report->registerName(name, p, nullptr);
    m_owned.push_back(std::move(e));
    m_all.push_back(p);
    if (region)
        region->m_elements.push_back(p);
    return *p;
}

Element &Band::addElement(const QString &name, ElementKind kind, const QRectF &mm)
{
    return newElement(name, kind, mm, nullptr);
}

Element &Band::addLabel(const QString &name, const QRectF &mm, const QString &text)
{
    Element &e = newElement(name, ElementKind::Label, mm, nullptr);
    e.text = text;
    return e;
}

Element &Band::addDataText(const QString &name, const QRectF &mm, const QString &field, const QString &format)
{
    Element &e = newElement(name, ElementKind::DataText, mm, nullptr);
    e.field = field;
    e.displayFormat = format;
    return e;
}

Element &Band::addVariable(const QString &name, const QRectF &mm, const QString &format)
{
    Element &e = newElement(name, ElementKind::Variable, mm, nullptr);
    e.displayFormat = format;
    return e;
}

Element &Band::addSum(const QString &name, const QRectF &mm, const QString &field, const QString &format,
                      const QString &resetGroup)
{
    Element &e = newElement(name, ElementKind::Sum, mm, nullptr);
    e.field = field;
    e.displayFormat = format;
    e.resetGroup = resetGroup;
    return e;
}

Element &Band::addSystemVar(const QString &name, const QRectF &mm, SystemVar var, const QString &format)
{
    Element &e = newElement(name, ElementKind::SystemVar, mm, nullptr);
    e.systemVar = var;
    e.displayFormat = format;
    return e;
}

Element &Band::addMemo(const QString &name, const QRectF &mm, const QString &field, bool grows)
{
    Element &e = newElement(name, ElementKind::Memo, mm, nullptr);
    e.field = field;
    e.grows = grows;
    return e;
}

Element &Band::addRichText(const QString &name, const QRectF &mm, const QString &field, bool grows)
{
    Element &e = newElement(name, ElementKind::RichText, mm, nullptr);
    e.field = field;
    e.grows = grows;
    return e;
}

Element &Band::addPicture(const QString &name, const QRectF &mm, PictureMode mode)
{
    Element &e = newElement(name, ElementKind::Picture, mm, nullptr);
    e.pictureMode = mode;
    return e;
}

Element &Band::addShape(const QString &name, ElementKind kind, const QRectF &mm)
{
    return newElement(name, kind, mm, nullptr);
}

Region &Band::addRegion(const QString &name, const QRectF &mm)
{
    auto r = std::make_unique<Region>();
    r->name = name;
    r->setRect(mm);
    r->m_band = this;
    Region *p = r.get();
    m_report->registerName(name, nullptr, p);
    m_regions.push_back(std::move(r));
    m_regionPtrs.push_back(p);
    return *p;
}

void Band::adopt(Element &e, Region *region)
{
    if (region && region->band() != this)
        throw TvxError(QStringLiteral("Bereich %1 liegt nicht im Band %2").arg(region->name, m_name));
    Band *from = e.m_band;
    if (e.m_region) {
        auto &v = e.m_region->m_elements;
        v.erase(std::remove(v.begin(), v.end(), &e), v.end());
    }
    if (from != this) {
        auto it = std::find_if(from->m_owned.begin(), from->m_owned.end(),
                               [&](const std::unique_ptr<Element> &p) { return p.get() == &e; });
        m_owned.push_back(std::move(*it));
        from->m_owned.erase(it);
        from->m_all.erase(std::remove(from->m_all.begin(), from->m_all.end(), &e), from->m_all.end());
        m_all.push_back(&e);
        e.m_band = this;
        e.shiftRelativeTo = nullptr;
    }
    e.m_region = region;
    if (region)
        region->m_elements.push_back(&e);
}

#define REGION_ADD(call)                                                                                     \
    Element &e = m_band->call;                                                                               \
    m_band->adopt(e, this);                                                                                  \
    return e;

Element &Region::addLabel(const QString &name, const QRectF &mm, const QString &text)
{
    REGION_ADD(addLabel(name, mm, text))
}
Element &Region::addDataText(const QString &name, const QRectF &mm, const QString &field, const QString &format)
{
    REGION_ADD(addDataText(name, mm, field, format))
}
Element &Region::addMemo(const QString &name, const QRectF &mm, const QString &field, bool grows)
{
    REGION_ADD(addMemo(name, mm, field, grows))
}
Element &Region::addRichText(const QString &name, const QRectF &mm, const QString &field, bool grows)
{
    REGION_ADD(addRichText(name, mm, field, grows))
}
Element &Region::addPicture(const QString &name, const QRectF &mm, PictureMode mode)
{
    REGION_ADD(addPicture(name, mm, mode))
}
Element &Region::addShape(const QString &name, ElementKind kind, const QRectF &mm)
{
    REGION_ADD(addShape(name, kind, mm))
}
Element &Region::addElement(const QString &name, ElementKind kind, const QRectF &mm)
{
    REGION_ADD(addElement(name, kind, mm))
}
#undef REGION_ADD

Report::Report() = default;
Report::~Report() = default;

void Report::registerName(const QString &name, Element *e, Region *r)
{
    if (name.isEmpty())
        throw TvxError(QStringLiteral("Berichtselement ohne Namen"));
    if (m_elements.contains(name) || m_regions.contains(name))
        throw TvxError(QStringLiteral("Berichtselement doppelt: %1").arg(name));
    if (e)
        m_elements.insert(name, e);
    if (r)
        m_regions.insert(name, r);
}

Band &Report::addBand(BandKind kind, const QString &name, double heightMm)
{
    Band **slot = nullptr;
    switch (kind) {
    case BandKind::PageHeader: slot = &m_header; break;
    case BandKind::Detail: slot = &m_detail; break;
    case BandKind::Summary: slot = &m_summary; break;
    case BandKind::PageFooter: slot = &m_footer; break;
    default:
        throw TvxError(QStringLiteral("Gruppenbänder entstehen mit addGroup: %1").arg(name));
    }
    if (*slot)
        throw TvxError(QStringLiteral("Band gibt es schon: %1").arg(name));
    if (findBand(name))
        throw TvxError(QStringLiteral("Band doppelt: %1").arg(name));
    m_bands.push_back(std::unique_ptr<Band>(new Band(this, kind, name)));
    *slot = m_bands.back().get();
    (*slot)->height = heightMm;
    return **slot;
}

Group &Report::addGroup(const QString &name, const QString &field, const QString &headerBand,
                        const QString &footerBand)
{
    for (const auto &g : m_groups)
        if (g->m_name == name)
            throw TvxError(QStringLiteral("Gruppe doppelt: %1").arg(name));
    if (findBand(headerBand) || findBand(footerBand) || headerBand == footerBand)
        throw TvxError(QStringLiteral("Band doppelt: %1 / %2").arg(headerBand, footerBand));
    auto g = std::make_unique<Group>();
    g->m_name = name;
    g->field = field;
    m_bands.push_back(std::unique_ptr<Band>(new Band(this, BandKind::GroupHeader, headerBand)));
    g->m_header = m_bands.back().get();
    m_bands.push_back(std::unique_ptr<Band>(new Band(this, BandKind::GroupFooter, footerBand)));
    g->m_footer = m_bands.back().get();
    g->m_header->dynamicHeight = g->m_footer->dynamicHeight = true;
    m_groups.push_back(std::move(g));
    return *m_groups.back();
}

Element *Report::findElement(const QString &name) const { return m_elements.value(name); }
Region *Report::findRegion(const QString &name) const { return m_regions.value(name); }
Item *Report::findItem(const QString &name) const
{
    if (Element *e = findElement(name))
        return e;
    return findRegion(name);
}

Band *Report::findBand(const QString &name) const
{
    for (const auto &b : m_bands)
        if (b->m_name == name)
            return b.get();
    return nullptr;
}

Element &Report::element(const QString &name) const
{
    if (Element *e = findElement(name))
        return *e;
    throw TvxError(QStringLiteral("Berichtselement nicht gefunden: %1").arg(name));
}

Region &Report::region(const QString &name) const
{
    if (Region *r = findRegion(name))
        return *r;
    throw TvxError(QStringLiteral("Berichtsbereich nicht gefunden: %1").arg(name));
}

Band &Report::band(const QString &name) const
{
    if (Band *b = findBand(name))
        return *b;
    throw TvxError(QStringLiteral("Berichtsband nicht gefunden: %1").arg(name));
}

Group &Report::group(const QString &name) const
{
    for (const auto &g : m_groups)
        if (g->m_name == name)
            return *g;
    throw TvxError(QStringLiteral("Berichtsgruppe nicht gefunden: %1").arg(name));
}

QList<Band *> Report::bands() const
{
    QList<Band *> out;
    for (const auto &b : m_bands)
        out << b.get();
    return out;
}

QList<Group *> Report::groups() const
{
    QList<Group *> out;
    for (const auto &g : m_groups)
        out << g.get();
    return out;
}

QVariant Report::value(const QString &field) const
{
    if (!m_source || m_row < 0 || m_row >= m_source->rowCount())
        return {};
    return m_source->value(m_row, field);
}

bool Report::isFinalPass() const { return m_pass == (twoPass ? 2 : 1); }

// ---------------------------------------------------------------- layout of one band instance

namespace {

constexpr double kEps = 1e-6;

struct Atom {
    double top = 0, bottom = 0;
    QList<PaintOp> ops;
};

struct BandLayout {
    double height = 0;
    std::vector<Atom> atoms; // sorted by top
};

bool shows(const Element *e) { return e->visible && (!e->region() || e->region()->visible); }

class BandLayouter {
public:
    explicit BandLayouter(const Band &b) : m_band(b) {}

    BandLayout run()
    {
        for (Element *e : m_band.elements())
            if (shows(e))
                measure(e);
        BandLayout out;
        double lowest = 0, designedLowest = 0;
        bool any = false;
        auto consider = [&](const Item *it, bool visible) {
            designedLowest = std::max(designedLowest, it->top + it->height);
            if (visible) {
                lowest = std::max(lowest, bottom(it));
                any = true;
            }
        };
        for (Region *r : m_band.regions()) {
            consider(r, r->visible);
            if (!r->visible)
                continue;
            if (r->keepTogether) {
                Atom a{top(r), bottom(r), {}};
                for (Element *e : r->elements())
                    if (shows(e))
                        a.ops << op(e);
                out.atoms.push_back(std::move(a));
            } else {
                for (Element *e : r->elements())
                    if (shows(e))
                        out.atoms.push_back(Atom{top(e), bottom(e), {op(e)}});
            }
        }
        for (Element *e : m_band.elements()) {
            if (e->region())
                continue;
            consider(e, e->visible);
            if (e->visible)
                out.atoms.push_back(Atom{top(e), bottom(e), {op(e)}});
        }
        if (m_band.dynamicHeight)
            out.height = any ? lowest + std::max(0.0, m_band.height - designedLowest) : 0.0;
        else
            out.height = m_band.height;
        std::stable_sort(out.atoms.begin(), out.atoms.end(),
                         [](const Atom &a, const Atom &b) { return a.top < b.top; });
        return out;
    }

private:
    struct Measured {
        double width = 0, height = 0;
        PaintOp op;
    };

    void measure(Element *e)
    {
        Measured m;
        m.width = e->width;
        m.height = e->height;
        PaintOp &op = m.op;
        op.name = e->name;
        op.kind = e->kind;
        op.font = e->font;
        op.color = e->color;
        op.alignment = e->alignment;
        op.penColor = e->penColor;
        op.fillColor = e->fillColor;
        op.penWidth = e->penWidth;
        op.cornerRadius = e->cornerRadius;
        op.lineGap = e->lineGap;
        switch (e->kind) {
        case ElementKind::Picture:
            op.picture = e->picture;
            if (e->pictureMode == PictureMode::OwnSize && !e->picture.isNull()) {
                const QSizeF s = pictureSizeMm(e->picture);
                m.width = s.width();
                m.height = s.height();
            }
            break;
        case ElementKind::Rect:
        case ElementKind::RoundRect:
        case ElementKind::Line:
        case ElementKind::DoubleLine:
            break;
        case ElementKind::Memo:
            op.text = e->displayText();
            op.wrap = e->wordWrap;
            op.clip = !e->grows;
            if (e->grows)
                m.height = std::max(e->height, textHeightMm(op.text, e->font, e->width, e->wordWrap));
            break;
        case ElementKind::RichText:
            op.text = e->displayText();
            op.richText = richDocument(op.text, e->font, e->color, e->width);
            op.wrap = true;
            op.clip = !e->grows;
            if (e->grows)
                m.height = std::max(e->height, richHeightMm(*op.richText));
            break;
        default:
            op.text = e->displayText();
        }
        m_measured.insert(e, m);
    }

    double height(const Item *it)
    {
        if (auto *e = dynamic_cast<const Element *>(it))
            return m_measured.value(e).height;
        auto *r = static_cast<const Region *>(it);
        auto found = m_regionHeight.find(r);
        if (found != m_regionHeight.end())
            return *found;
        double designedLowest = r->top, lowest = 0;
        bool any = false;
        for (Element *e : r->elements()) {
            designedLowest = std::max(designedLowest, e->top + e->height);
            if (shows(e)) {
                lowest = std::max(lowest, bottom(e) - top(r));
                any = true;
            }
        }
        const double pad = std::max(0.0, r->top + r->height - designedLowest);
        const double h = any ? std::max(r->height, lowest + pad) : r->height;
        m_regionHeight.insert(r, h);
        return h;
    }

    bool visibleNow(const Item *it)
    {
        if (auto *e = dynamic_cast<const Element *>(it))
            return shows(e);
        return it->visible;
    }

    double top(const Item *it)
    {
        auto found = m_top.find(it);
        if (found != m_top.end())
            return *found;
        if (m_busy.contains(it))
            return it->top; // a cycle of anchors: keep the designed place
        m_busy.insert(it);
        double t = it->top;
        const Item *a = it->shiftRelativeTo;
        auto *e = dynamic_cast<const Element *>(it);
        if (a && a->band() == &m_band && a != it) {
            if (visibleNow(a))
                t = bottom(a) + (it->top - (a->top + a->height));
            else
                t = top(a);
        } else if (e && e->region()) {
            t = it->top + (top(e->region()) - e->region()->top);
        }
        m_busy.remove(it);
        m_top.insert(it, t);
        return t;
    }

    double bottom(const Item *it) { return top(it) + height(it); }

    PaintOp op(Element *e)
    {
        const Measured &m = m_measured[e];
        PaintOp o = m.op;
        const double t = top(e);
        o.rect = QRectF(e->left, t, m.width, m.height);
        if (e->kind == ElementKind::Picture && !e->picture.isNull() && e->pictureMode == PictureMode::StretchKeepAspect) {
            const QSizeF img = pictureSizeMm(e->picture);
            QSizeF fit = img.scaled(QSizeF(e->width, e->height), Qt::KeepAspectRatio);
            QPointF at(e->left, t);
            if (e->center)
                at += QPointF((e->width - fit.width()) / 2, (e->height - fit.height()) / 2);
            o.rect = QRectF(at, fit);
        }
        return o;
    }

    const Band &m_band;
    QHash<const Element *, Measured> m_measured;
    QHash<const Region *, double> m_regionHeight;
    QHash<const Item *, double> m_top;
    QSet<const Item *> m_busy;
};

} // namespace

// ---------------------------------------------------------------- pagination

class Report::Engine {
public:
    explicit Engine(Report &r) : m_r(r), m_doc(std::make_shared<ReportDocument>())
    {
        m_doc->pageSizeMm = QSizeF(r.page.width, r.page.height);
        m_doc->title = r.documentName;
    }

    std::shared_ptr<ReportDocument> run()
    {
        Report &r = m_r;
        for (const auto &b : r.m_bands)
            for (Element *e : b->elements())
                if (e->kind == ElementKind::Sum)
                    e->m_sum = 0;
        r.m_row = -1;
        r.m_pageNo = 0;
        if (r.onStart)
            r.onStart();
        const int n = r.m_source ? r.m_source->rowCount() : 0;
        const int k = int(r.m_groups.size());
        r.m_row = n > 0 ? 0 : -1; // the first page header already shows the first row
        startPage();
        for (int row = 0; row < n; ++row) {
            r.m_row = row;
            QList<QVariant> keys;
            int level = row == 0 ? 0 : k;
            for (int i = 0; i < k; ++i) {
                Group &g = *r.m_groups[i];
                keys << (g.key ? g.key() : r.value(g.field));
                if (row > 0 && level == k && keys[i] != g.m_last)
                    level = i;
            }
            if (row > 0 && level < k) {
                r.m_row = row - 1;
                for (int i = k - 1; i >= level; --i)
                    printBand(r.m_groups[i]->m_footer);
                r.m_row = row;
            }
            for (int i = level; i < k; ++i) {
                Group &g = *r.m_groups[i];
                g.m_last = keys[i];
                resetSums(g.m_name);
                if (g.newPage && m_pageHasBody)
                    newPage();
                printBand(g.m_header);
            }
            accumulate();
            printBand(r.m_detail);
        }
        if (n > 0) {
            r.m_row = n - 1;
            for (int i = k - 1; i >= 0; --i)
                printBand(r.m_groups[i]->m_footer);
        }
        printBand(r.m_summary);
        finishPage();
        return m_doc;
    }

private:
    void resetSums(const QString &group)
    {
        for (const auto &b : m_r.m_bands)
            for (Element *e : b->elements())
                if (e->kind == ElementKind::Sum && e->resetGroup == group)
                    e->m_sum = 0;
    }

    void accumulate()
    {
        for (const auto &b : m_r.m_bands)
            for (Element *e : b->elements())
                if (e->kind == ElementKind::Sum && !e->field.isEmpty()) {
                    bool ok = false;
                    const double v = m_r.value(e->field).toDouble(&ok);
                    if (ok && std::isfinite(v))
                        e->m_sum += v;
                }
    }

    void put(const Atom &a, double y, double shift)
    {
        Page &p = m_doc->pages.last();
        for (PaintOp op : a.ops) {
            op.rect.translate(m_r.page.marginLeft, y - shift);
            p.ops << op;
        }
    }

    void startPage()
    {
        m_doc->pages.append(Page());
        ++m_r.m_pageNo;
        m_y = m_r.page.marginTop;
        m_pageHasBody = false;
        m_bottom = m_r.page.height - m_r.page.marginBottom
                   - (m_r.m_footer && m_r.m_footer->visible ? m_r.m_footer->height : 0.0);
        if (Band *h = m_r.m_header) {
            if (h->beforePrint)
                h->beforePrint();
            if (h->visible) {
                const BandLayout l = BandLayouter(*h).run();
                for (const Atom &a : l.atoms)
                    put(a, m_y, 0);
                m_y += l.height;
            }
        }
    }

    void finishPage()
    {
        if (Band *f = m_r.m_footer) {
            if (f->beforePrint)
                f->beforePrint();
            if (f->visible) {
                const BandLayout l = BandLayouter(*f).run();
                const double y = m_r.page.height - m_r.page.marginBottom - l.height;
                for (const Atom &a : l.atoms)
                    put(a, y, 0);
            }
        }
    }

    void newPage()
    {
        finishPage();
        startPage();
    }

    void printBand(Band *b)
    {
        if (!b)
            return;
        if (b->beforePrint)
            b->beforePrint();
        if (!b->visible)
            return;
        place(BandLayouter(*b).run(), b->keepTogether);
    }

    // Puts a band instance on the pages, split between atoms where it does not fit.
    void place(const BandLayout &l, bool keep)
    {
        double shift = 0;
        size_t next = 0; // first atom not yet on a page
        const auto &atoms = l.atoms;
        for (;;) {
            const double avail = m_bottom - m_y;
            const double rest = l.height - shift;
            if (rest <= avail + kEps) {
                for (; next < atoms.size(); ++next)
                    put(atoms[next], m_y, shift);
                m_y += rest;
                m_pageHasBody = m_pageHasBody || rest > kEps;
                return;
            }
            double s = std::numeric_limits<double>::infinity();
            if (keep) {
                s = shift;
            } else {
                for (size_t i = next; i < atoms.size(); ++i)
                    if (atoms[i].bottom - shift > avail + kEps)
                        s = std::min(s, atoms[i].top);
            }
            if (std::isinf(s)) { // only the band's bottom margin is left over
                for (; next < atoms.size(); ++next)
                    put(atoms[next], m_y, shift);
                m_y = m_bottom;
                m_pageHasBody = true;
                return;
            }
            if (s <= shift + kEps) {
                if (m_pageHasBody) {
                    newPage();
                    continue;
                }
                // taller than a whole page: put what starts on this page here
                const size_t first = next;
                while (next < atoms.size() && (next == first || atoms[next].top - shift < avail))
                    put(atoms[next++], m_y, shift);
                m_pageHasBody = true;
                if (next >= atoms.size()) {
                    m_y = std::min(m_y + rest, m_bottom);
                    return;
                }
                shift = atoms[next].top;
                newPage();
                continue;
            }
            while (next < atoms.size() && atoms[next].top < s - kEps)
                put(atoms[next++], m_y, shift);
            m_pageHasBody = true;
            shift = s;
            newPage();
        }
    }

    Report &m_r;
    std::shared_ptr<ReportDocument> m_doc;
    double m_y = 0, m_bottom = 0;
    bool m_pageHasBody = false;
};

std::shared_ptr<ReportDocument> Report::generate()
{
    if (m_running)
        throw TvxError(QStringLiteral("Der Bericht wird bereits erzeugt"));
    struct Running {
        Report &r;
        explicit Running(Report &rep) : r(rep) { r.m_running = true; }
        ~Running()
        {
            r.m_running = false;
            r.m_row = -1;
        }
    } running(*this);
    m_pageCount = 0;
    std::shared_ptr<ReportDocument> doc;
    const int passes = twoPass ? 2 : 1;
    for (int pass = 1; pass <= passes; ++pass) {
        m_pass = pass;
        doc = Engine(*this).run();
        if (pass < passes)
            m_pageCount = doc->pageCount();
    }
    return doc;
}

void Report::exportPdf(const QString &file, const PdfOptions &options)
{
    const auto doc = generate();
    writePdf(*doc, file, options);
}

int Report::print(const Print::PrintJob &job)
{
    QTemporaryDir dir;
    if (!dir.isValid())
        throw TvxError(QStringLiteral("Temporärer Ordner für den Druck nicht anlegbar: %1").arg(dir.errorString()));
    QString base = documentName;
    base.replace(QRegularExpression(QStringLiteral("[^\\w.-]")), QStringLiteral("_"));
    const QString file = dir.filePath((base.isEmpty() ? QStringLiteral("Bericht") : base) + QStringLiteral(".pdf"));
    exportPdf(file);
    Print::PrintJob j = job;
    if (j.title.isEmpty())
        j.title = documentName;
    return Print::printPdf(file, j);
}

} // namespace rpt
