// The layout file: JSON, described in LAYOUT.md.
//
// {
//   "format": "tvx-report-layout", "version": 1,
//   "page":     { "paper": "A4", "width": 210, "height": 297,
//                 "marginTop": 6.35, "marginBottom": 6.35, "marginLeft": 0, "marginRight": 0 },
//   "bands":    { "<band>":    { "height": 37.3, "visible": true, "dynamicHeight": false, "keepTogether": false } },
//   "regions":  { "<region>":  { "band": "...", "left": 0, "top": 0, "width": 0, "height": 0,
//                                "visible": true, "keepTogether": false, "shiftRelativeTo": "<item>" } },
//   "elements": { "<element>": { "band": "...", "region": "...", "left": 0, "top": 0, "width": 0, "height": 0,
//                                "font": { "family": "Arial", "size": 10, "bold": false, "italic": false,
//                                          "underline": false },
//                                "alignment": "left|center|right|justify", "visible": true,
//                                "color": "#000000", "text": "...", "field": "...", "format": "...",
//                                "grows": true, "wordWrap": true, "fill": "#e9e7e2", "pen": "#000000",
//                                "penWidth": 0.2, "cornerRadius": 2, "lineGap": 0.6,
//                                "pictureMode": "stretchKeepAspect|stretch|ownSize", "center": false,
//                                "resetGroup": "...", "shiftRelativeTo": "<item>" } },
//   "texts":    { "<name>": "..." }
// }
// Every attribute is optional; what the file leaves out keeps its current value.
#include "platform/report/report.h"

#include "platform/core/errors.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace rpt {
namespace {

const char *kFormat = "tvx-report-layout";

// Reads one object's attributes; with apply false it only checks them, so a
// bad file is rejected before anything changes.
class Reader {
public:
    Reader(Report &r, QString origin, bool apply) : m_r(r), m_origin(std::move(origin)), m_apply(apply) {}

    [[noreturn]] void fail(const QString &where, const QString &what) const
    {
        throw TvxError(QStringLiteral("Berichtslayout %1: %2: %3").arg(m_origin, where, what));
    }

    void number(const QJsonObject &o, const char *key, double &target, const QString &where) const
    {
        if (!o.contains(QLatin1String(key)))
            return;
        const QJsonValue v = o.value(QLatin1String(key));
        if (!v.isDouble() || !std::isfinite(v.toDouble()))
            fail(where, QStringLiteral("\"%1\" muss eine Zahl sein").arg(QLatin1String(key)));
        if (m_apply)
            target = v.toDouble();
    }
    void boolean(const QJsonObject &o, const char *key, bool &target, const QString &where) const
    {
        if (!o.contains(QLatin1String(key)))
            return;
        const QJsonValue v = o.value(QLatin1String(key));
        if (!v.isBool())
            fail(where, QStringLiteral("\"%1\" muss true oder false sein").arg(QLatin1String(key)));
        if (m_apply)
            target = v.toBool();
    }
    bool string(const QJsonObject &o, const char *key, QString &target, const QString &where) const
    {
        if (!o.contains(QLatin1String(key)))
            return false;
        const QJsonValue v = o.value(QLatin1String(key));
        if (!v.isString())
            fail(where, QStringLiteral("\"%1\" muss ein Text sein").arg(QLatin1String(key)));
        target = v.toString();
        return true;
    }
    void color(const QJsonObject &o, const char *key, QColor &target, const QString &where) const
    {
        QString s;
        if (!string(o, key, s, where))
            return;
        QColor c;
        if (!s.isEmpty()) {
            c = QColor::fromString(s);
            if (!c.isValid())
                fail(where, QStringLiteral("\"%1\": keine Farbe: %2").arg(QLatin1String(key), s));
        }
        if (m_apply)
            target = c;
    }
    Item *anchor(const QJsonObject &o, Item &self, const QString &where) const
    {
        QString s;
        if (!string(o, "shiftRelativeTo", s, where))
            return self.shiftRelativeTo;
        if (s.isEmpty())
            return nullptr;
        Item *a = m_r.findItem(s);
        if (!a || a == &self)
            fail(where, QStringLiteral("\"shiftRelativeTo\": unbekannt: %1").arg(s));
        return a;
    }

    void geometry(const QJsonObject &o, Item &it, const QString &where) const
    {
        number(o, "left", it.left, where);
        number(o, "top", it.top, where);
        number(o, "width", it.width, where);
        number(o, "height", it.height, where);
        boolean(o, "visible", it.visible, where);
    }

    void page(const QJsonObject &o) const
    {
        PageSetup &p = m_r.page;
        const QString w = QStringLiteral("page");
        QString paper = p.paperName;
        string(o, "paper", paper, w);
        if (m_apply)
            p.paperName = paper;
        number(o, "width", p.width, w);
        number(o, "height", p.height, w);
        number(o, "marginTop", p.marginTop, w);
        number(o, "marginBottom", p.marginBottom, w);
        number(o, "marginLeft", p.marginLeft, w);
        number(o, "marginRight", p.marginRight, w);
    }

    void band(Band &b, const QJsonObject &o) const
    {
        const QString w = b.name();
        number(o, "height", b.height, w);
        boolean(o, "visible", b.visible, w);
        boolean(o, "dynamicHeight", b.dynamicHeight, w);
        boolean(o, "keepTogether", b.keepTogether, w);
    }

    void region(Region &r, const QJsonObject &o) const
    {
        const QString w = r.name;
        QString bandName;
        if (string(o, "band", bandName, w) && bandName != r.band()->name())
            fail(w, QStringLiteral("ein Bereich wechselt das Band nicht (%1)").arg(bandName));
        geometry(o, r, w);
        boolean(o, "keepTogether", r.keepTogether, w);
        Item *a = anchor(o, r, w);
        if (m_apply)
            r.shiftRelativeTo = a;
    }

    void element(Element &e, const QJsonObject &o) const
    {
        const QString w = e.name;
        Band *toBand = e.band();
        Region *toRegion = e.region();
        QString s;
        if (string(o, "band", s, w)) {
            toBand = m_r.findBand(s);
            if (!toBand)
                fail(w, QStringLiteral("unbekanntes Band: %1").arg(s));
            if (toBand != e.band())
                toRegion = nullptr;
        }
        if (string(o, "region", s, w)) {
            toRegion = s.isEmpty() ? nullptr : m_r.findRegion(s);
            if (!s.isEmpty() && !toRegion)
                fail(w, QStringLiteral("unbekannter Bereich: %1").arg(s));
            if (toRegion && toRegion->band() != toBand)
                fail(w, QStringLiteral("Bereich %1 liegt nicht im Band %2").arg(s, toBand->name()));
        }
        if (m_apply && (toBand != e.band() || toRegion != e.region()))
            toBand->adopt(e, toRegion);
        geometry(o, e, w);

        if (o.contains(QLatin1String("font"))) {
            const QJsonValue fv = o.value(QLatin1String("font"));
            if (!fv.isObject())
                fail(w, QStringLiteral("\"font\" muss ein Objekt sein"));
            const QJsonObject f = fv.toObject();
            QFont font = e.font;
            QString family = font.family();
            double size = font.pointSizeF();
            bool bold = font.bold(), italic = font.italic(), underline = font.underline();
            string(f, "family", family, w + QStringLiteral(".font"));
            number(f, "size", size, w + QStringLiteral(".font"));
            boolean(f, "bold", bold, w + QStringLiteral(".font"));
            boolean(f, "italic", italic, w + QStringLiteral(".font"));
            boolean(f, "underline", underline, w + QStringLiteral(".font"));
            if (size <= 0)
                fail(w, QStringLiteral("Schriftgröße muss größer als 0 sein"));
            font.setFamily(family);
            font.setPointSizeF(size);
            font.setBold(bold);
            font.setItalic(italic);
            font.setUnderline(underline);
            if (m_apply)
                e.font = font;
        }
        if (string(o, "alignment", s, w)) {
            Qt::Alignment a;
            if (s == QLatin1String("left"))
                a = Qt::AlignLeft;
            else if (s == QLatin1String("right"))
                a = Qt::AlignRight;
            else if (s == QLatin1String("center"))
                a = Qt::AlignHCenter;
            else if (s == QLatin1String("justify"))
                a = Qt::AlignJustify;
            else
                fail(w, QStringLiteral("\"alignment\": left, center, right oder justify, nicht %1").arg(s));
            if (m_apply)
                e.alignment = a;
        }
        color(o, "color", e.color, w);
        color(o, "fill", e.fillColor, w);
        color(o, "pen", e.penColor, w);
        QString t;
        if (string(o, "text", t, w) && m_apply)
            e.text = t;
        if (string(o, "field", t, w) && m_apply)
            e.field = t;
        if (string(o, "format", t, w) && m_apply)
            e.displayFormat = t;
        if (string(o, "resetGroup", t, w) && m_apply)
            e.resetGroup = t;
        boolean(o, "grows", e.grows, w);
        boolean(o, "wordWrap", e.wordWrap, w);
        boolean(o, "center", e.center, w);
        number(o, "penWidth", e.penWidth, w);
        number(o, "cornerRadius", e.cornerRadius, w);
        number(o, "lineGap", e.lineGap, w);
        if (string(o, "pictureMode", s, w)) {
            PictureMode m;
            if (s == QLatin1String("stretchKeepAspect"))
                m = PictureMode::StretchKeepAspect;
            else if (s == QLatin1String("stretch"))
                m = PictureMode::Stretch;
            else if (s == QLatin1String("ownSize"))
                m = PictureMode::OwnSize;
            else
                fail(w, QStringLiteral("\"pictureMode\": unbekannt: %1").arg(s));
            if (m_apply)
                e.pictureMode = m;
        }
        Item *a = anchor(o, e, w);
        if (m_apply)
            e.shiftRelativeTo = a;
    }

    void all(const QJsonObject &root) const
    {
        auto section = [&](const char *key) {
            const QJsonValue v = root.value(QLatin1String(key));
            if (!v.isUndefined() && !v.isObject())
                fail(QLatin1String(key), QStringLiteral("muss ein Objekt sein"));
            return v.toObject();
        };
        auto entry = [&](const QJsonValue &v, const QString &name) {
            if (!v.isObject())
                fail(name, QStringLiteral("muss ein Objekt sein"));
            return v.toObject();
        };
        if (root.contains(QLatin1String("page")))
            page(section("page"));
        const QJsonObject bands = section("bands");
        for (auto it = bands.begin(); it != bands.end(); ++it)
            if (Band *b = m_r.findBand(it.key()))
                band(*b, entry(it.value(), it.key()));
        const QJsonObject regions = section("regions");
        for (auto it = regions.begin(); it != regions.end(); ++it)
            if (Region *r = m_r.findRegion(it.key()))
                region(*r, entry(it.value(), it.key()));
        const QJsonObject elements = section("elements");
        for (auto it = elements.begin(); it != elements.end(); ++it)
            if (Element *e = m_r.findElement(it.key()))
                element(*e, entry(it.value(), it.key()));
        const QJsonObject texts = section("texts");
        for (auto it = texts.begin(); it != texts.end(); ++it) {
            if (!it.value().isString())
                fail(QStringLiteral("texts.") + it.key(), QStringLiteral("muss ein Text sein"));
            if (m_apply)
                m_r.setLayoutText(it.key(), it.value().toString());
        }
    }

private:
    Report &m_r;
    QString m_origin;
    bool m_apply;
};

QString alignmentName(Qt::Alignment a)
{
    if (a & Qt::AlignRight)
        return QStringLiteral("right");
    if (a & Qt::AlignHCenter)
        return QStringLiteral("center");
    if (a & Qt::AlignJustify)
        return QStringLiteral("justify");
    return QStringLiteral("left");
}

QString kindName(ElementKind k)
{
    switch (k) {
    case ElementKind::Label: return QStringLiteral("label");
    case ElementKind::DataText: return QStringLiteral("dataText");
    case ElementKind::Variable: return QStringLiteral("variable");
    case ElementKind::Sum: return QStringLiteral("sum");
    case ElementKind::SystemVar: return QStringLiteral("systemVar");
    case ElementKind::Memo: return QStringLiteral("memo");
    case ElementKind::RichText: return QStringLiteral("richText");
    case ElementKind::Picture: return QStringLiteral("picture");
    case ElementKind::Rect: return QStringLiteral("rect");
    case ElementKind::RoundRect: return QStringLiteral("roundRect");
    case ElementKind::Line: return QStringLiteral("line");
    case ElementKind::DoubleLine: return QStringLiteral("doubleLine");
    }
    return {};
}

QString colorName(const QColor &c) { return c.isValid() ? c.name() : QString(); }

double mm(double v) { return std::round(v * 1000.0) / 1000.0; }

} // namespace

void Report::loadLayoutJson(const QByteArray &json, const QString &origin)
{
    const QString where = origin.isEmpty() ? QStringLiteral("(Text)") : origin;
    QJsonParseError err;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &err);
    if (err.error != QJsonParseError::NoError)
        throw TvxError(QStringLiteral("Berichtslayout %1 ist kein gültiges JSON: %2 (Zeichen %3)")
                           .arg(where, err.errorString())
                           .arg(err.offset));
    if (!doc.isObject())
        throw TvxError(QStringLiteral("Berichtslayout %1 ist kein gültiges JSON-Objekt").arg(where));
    const QJsonObject root = doc.object();
    const QJsonValue fmt = root.value(QLatin1String("format"));
    if (!fmt.isUndefined() && fmt.toString() != QLatin1String(kFormat))
        throw TvxError(QStringLiteral("Berichtslayout %1: unbekanntes Format %2").arg(where, fmt.toString()));
    Reader(*this, where, false).all(root);
    Reader(*this, where, true).all(root);
}

void Report::loadLayout(const QString &file)
{
    QFile f(file);
    if (!QFileInfo(file).isFile())
        throw TvxError(QStringLiteral("Berichtslayout nicht gefunden: %1").arg(file));
    if (!f.open(QIODevice::ReadOnly))
        throw TvxError(QStringLiteral("Berichtslayout nicht lesbar: %1 (%2)").arg(file, f.errorString()));
    loadLayoutJson(f.readAll(), file);
}

QByteArray Report::layoutJson() const
{
    QJsonObject root;
    root.insert(QStringLiteral("format"), QLatin1String(kFormat));
    root.insert(QStringLiteral("version"), 1);
    root.insert(QStringLiteral("page"), QJsonObject{{QStringLiteral("paper"), page.paperName},
                                                    {QStringLiteral("width"), page.width},
                                                    {QStringLiteral("height"), page.height},
                                                    {QStringLiteral("marginTop"), page.marginTop},
                                                    {QStringLiteral("marginBottom"), page.marginBottom},
                                                    {QStringLiteral("marginLeft"), page.marginLeft},
                                                    {QStringLiteral("marginRight"), page.marginRight}});
    QJsonObject bands, regions, elements;
    for (const auto &b : m_bands) {
        bands.insert(b->name(), QJsonObject{{QStringLiteral("height"), mm(b->height)},
                                            {QStringLiteral("visible"), b->visible},
                                            {QStringLiteral("dynamicHeight"), b->dynamicHeight},
                                            {QStringLiteral("keepTogether"), b->keepTogether}});
        for (const Region *r : b->regions()) {
            regions.insert(r->name, QJsonObject{{QStringLiteral("band"), b->name()},
                                                {QStringLiteral("left"), mm(r->left)},
                                                {QStringLiteral("top"), mm(r->top)},
                                                {QStringLiteral("width"), mm(r->width)},
                                                {QStringLiteral("height"), mm(r->height)},
                                                {QStringLiteral("visible"), r->visible},
                                                {QStringLiteral("keepTogether"), r->keepTogether},
                                                {QStringLiteral("shiftRelativeTo"),
                                                 r->shiftRelativeTo ? r->shiftRelativeTo->name : QString()}});
        }
        for (const Element *e : b->elements()) {
            QJsonObject o{{QStringLiteral("kind"), kindName(e->kind)},
                          {QStringLiteral("band"), b->name()},
                          {QStringLiteral("region"), e->region() ? e->region()->name : QString()},
                          {QStringLiteral("left"), mm(e->left)},
                          {QStringLiteral("top"), mm(e->top)},
                          {QStringLiteral("width"), mm(e->width)},
                          {QStringLiteral("height"), mm(e->height)},
                          {QStringLiteral("visible"), e->visible},
                          {QStringLiteral("shiftRelativeTo"),
                           e->shiftRelativeTo ? e->shiftRelativeTo->name : QString()}};
            switch (e->kind) {
            case ElementKind::Picture:
                o.insert(QStringLiteral("pictureMode"),
                         e->pictureMode == PictureMode::Stretch   ? QStringLiteral("stretch")
                         : e->pictureMode == PictureMode::OwnSize ? QStringLiteral("ownSize")
                                                                  : QStringLiteral("stretchKeepAspect"));
                o.insert(QStringLiteral("center"), e->center);
                break;
            case ElementKind::Rect:
            case ElementKind::RoundRect:
            case ElementKind::Line:
            case ElementKind::DoubleLine:
                o.insert(QStringLiteral("pen"), colorName(e->penColor));
                o.insert(QStringLiteral("penWidth"), e->penWidth);
                o.insert(QStringLiteral("fill"), colorName(e->fillColor));
                if (e->kind == ElementKind::RoundRect)
                    o.insert(QStringLiteral("cornerRadius"), e->cornerRadius);
                if (e->kind == ElementKind::DoubleLine)
                    o.insert(QStringLiteral("lineGap"), e->lineGap);
                break;
            default:
                o.insert(QStringLiteral("font"), QJsonObject{{QStringLiteral("family"), e->font.family()},
                                                             {QStringLiteral("size"), e->font.pointSizeF()},
                                                             {QStringLiteral("bold"), e->font.bold()},
                                                             {QStringLiteral("italic"), e->font.italic()},
                                                             {QStringLiteral("underline"), e->font.underline()}});
                o.insert(QStringLiteral("alignment"), alignmentName(e->alignment));
                o.insert(QStringLiteral("color"), colorName(e->color));
                if (e->fillColor.isValid())
                    o.insert(QStringLiteral("fill"), colorName(e->fillColor));
                o.insert(QStringLiteral("text"), e->text);
                if (!e->field.isEmpty())
                    o.insert(QStringLiteral("field"), e->field);
                if (!e->displayFormat.isEmpty())
                    o.insert(QStringLiteral("format"), e->displayFormat);
                if (e->kind == ElementKind::Memo || e->kind == ElementKind::RichText)
                    o.insert(QStringLiteral("grows"), e->grows);
                if (e->kind == ElementKind::Sum)
                    o.insert(QStringLiteral("resetGroup"), e->resetGroup);
            }
            elements.insert(e->name, o);
        }
    }
    root.insert(QStringLiteral("bands"), bands);
    root.insert(QStringLiteral("regions"), regions);
    root.insert(QStringLiteral("elements"), elements);
    QJsonObject texts;
    for (auto it = m_texts.begin(); it != m_texts.end(); ++it)
        texts.insert(it.key(), it.value());
    root.insert(QStringLiteral("texts"), texts);
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

void Report::saveLayout(const QString &file) const
{
    QSaveFile f(file);
    if (!f.open(QIODevice::WriteOnly) || f.write(layoutJson()) < 0 || !f.commit())
        throw TvxError(QStringLiteral("Berichtslayout nicht schreibbar: %1 (%2)").arg(file, f.errorString()));
}

} // namespace rpt
