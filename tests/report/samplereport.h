#pragma once
// A small invoice-like report used by the report tests and the benchmark:
// letterhead with logo, a header text that may grow, column captions that
// follow it, detail rows with a note region that hides and a text region that
// follows it, a sum per group, a summary and "Seite N von M" in the footer.
#include "platform/report/report.h"

#include <QPainter>

namespace sample {

inline QImage logo()
{
    QImage img(600, 200, QImage::Format_RGB32);
    img.fill(QColor(30, 80, 160));
    QPainter p(&img);
    p.setPen(Qt::white);
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(90);
    f.setBold(true);
    p.setFont(f);
    p.drawText(img.rect(), Qt::AlignCenter, QStringLiteral("LOGO"));
    return img;
}

inline QString longText(int i)
{
    return QStringLiteral("Langtext %1: Dieser Text ist absichtlich so lang, dass er in seiner Spalte "
                          "mehrfach umbricht und die Position dadurch höher wird als eine Zeile. "
                          "Er endet hier mit dem Wort Schluss%1")
        .arg(i);
}

// Row i: group G1.. (16 rows each), a note on every fourth row (i % 4 == 1),
// a long text on every fifth, a short text on the other even rows.
inline QList<QVariantMap> rows(int n)
{
    QList<QVariantMap> out;
    for (int i = 0; i < n; ++i) {
        QVariantMap r;
        r[QStringLiteral("Gruppe")] = QStringLiteral("G%1").arg(i / 16 + 1);
        r[QStringLiteral("Kunde")] = QStringLiteral("Kunde Beispiel");
        r[QStringLiteral("Artikel")] = QStringLiteral("A%1").arg(i, 3, 10, QLatin1Char('0'));
        r[QStringLiteral("Name")] = QStringLiteral("Artikel Nummer %1").arg(i);
        r[QStringLiteral("Betrag")] = i * 1.25 + (i % 3 == 0 ? 1000.0 : 0.0);
        r[QStringLiteral("Hinweis")] = i % 4 == 1 ? QStringLiteral("Hinweis%1").arg(i) : QString();
        r[QStringLiteral("Text")] = i % 5 == 0 ? longText(i) : i % 2 == 0 ? QStringLiteral("Kurztext%1").arg(i) : QString();
        out << r;
    }
    return out;
}

inline void build(rpt::Report &r)
{
    using namespace rpt;
    r.page.marginTop = 10;
    r.page.marginBottom = 10;
    r.page.marginLeft = 0;
    r.page.marginRight = 0;
    r.documentName = QStringLiteral("Beispielbericht");

    Band &h = r.addBand(BandKind::PageHeader, QStringLiteral("hdr"), 40);
    h.dynamicHeight = true;
    Element &lg = h.addPicture(QStringLiteral("im_logo"), {20, 0, 50, 15});
    lg.picture = logo();
    h.addLabel(QStringLiteral("lbl_firma"), {135, 0, 68, 5}, QStringLiteral("Muster Handels GmbH")).font.setBold(true);
    h.addLabel(QStringLiteral("lbl_strasse"), {135, 5, 68, 5}, QStringLiteral("Hauptstraße 1, 1010 Wien"));
    h.addDataText(QStringLiteral("dt_kunde"), {20, 18, 100, 5}, QStringLiteral("Kunde"));
    Region &kopf = h.addRegion(QStringLiteral("reg_kopf"), {20, 24, 170, 5});
    kopf.addMemo(QStringLiteral("me_kopf"), {20, 24, 170, 4.5}, QString()).text =
        QStringLiteral("Vielen Dank für Ihren Auftrag.");
    Region &spalten = h.addRegion(QStringLiteral("reg_spalten"), {20, 30, 183, 6.5});
    spalten.shiftRelativeTo = &kopf;
    Element &bar = spalten.addShape(QStringLiteral("rr_spalten"), ElementKind::RoundRect, {20, 30.5, 183, 5.5});
    bar.fillColor = QColor(192, 192, 192);
    bar.penColor = QColor(192, 192, 192);
    spalten.addLabel(QStringLiteral("rlbl_artikel"), {21.4, 31, 30, 4.5}, QStringLiteral("Artikel")).font.setBold(true);
    spalten.addLabel(QStringLiteral("rlbl_name"), {55, 31, 60, 4.5}, QStringLiteral("Bezeichnung")).font.setBold(true);
    Element &cb = spalten.addLabel(QStringLiteral("rlbl_betrag"), {160, 31, 30, 4.5}, QStringLiteral("Betrag"));
    cb.font.setBold(true);
    cb.alignment = Qt::AlignRight;

    Band &d = r.addBand(BandKind::Detail, QStringLiteral("det"), 16);
    d.dynamicHeight = true;
    Region &zeile = d.addRegion(QStringLiteral("reg_zeile"), {20, 0.5, 183, 5});
    zeile.keepTogether = true;
    zeile.addDataText(QStringLiteral("dt_artikel"), {21.4, 0.5, 30, 4.5}, QStringLiteral("Artikel")).font.setBold(true);
    zeile.addDataText(QStringLiteral("dt_name"), {55, 0.5, 80, 4.5}, QStringLiteral("Name"));
    zeile.addDataText(QStringLiteral("dt_betrag"), {160, 0.5, 30, 4.5}, QStringLiteral("Betrag"),
                      QStringLiteral(",0.00;-,0.00"))
        .alignment = Qt::AlignRight;
    Region &hinweis = d.addRegion(QStringLiteral("reg_hinweis"), {20, 6, 183, 4.5});
    hinweis.shiftRelativeTo = &zeile;
    hinweis.addDataText(QStringLiteral("dt_hinweis"), {55, 6, 100, 4.5}, QStringLiteral("Hinweis")).font.setItalic(true);
    Region &text = d.addRegion(QStringLiteral("reg_text"), {20, 11, 183, 4.5});
    text.shiftRelativeTo = &hinweis;
    text.keepTogether = true;
    text.addMemo(QStringLiteral("me_text"), {55, 11, 100, 4.5}, QStringLiteral("Text"));

    Group &g = r.addGroup(QStringLiteral("grp_gruppe"), QStringLiteral("Gruppe"), QStringLiteral("gh_gruppe"),
                          QStringLiteral("gf_gruppe"));
    Band &gf = g.footer();
    gf.height = 8;
    gf.addLabel(QStringLiteral("lbl_gruppensumme"), {100, 1.5, 28, 4.5}, QStringLiteral("Summe Gruppe"));
    gf.addDataText(QStringLiteral("dt_gruppe"), {129, 1.5, 12, 4.5}, QStringLiteral("Gruppe"));
    gf.addSum(QStringLiteral("sum_gruppe"), {160, 1.5, 30, 4.5}, QStringLiteral("Betrag"), QStringLiteral(",0.00;-,0.00"),
              QStringLiteral("grp_gruppe"))
        .alignment = Qt::AlignRight;
    gf.addShape(QStringLiteral("ln_gruppe"), ElementKind::Line, {140, 1, 50, 0});

    Band &s = r.addBand(BandKind::Summary, QStringLiteral("sum"), 20);
    s.dynamicHeight = true;
    Region &ges = s.addRegion(QStringLiteral("reg_gesamt"), {20, 2, 183, 14});
    ges.keepTogether = true;
    Element &fr = ges.addShape(QStringLiteral("rr_gesamt"), ElementKind::RoundRect, {20, 2, 183, 12});
    fr.fillColor = Qt::white;
    ges.addLabel(QStringLiteral("lbl_positionen"), {22, 4, 60, 4.5}, QStringLiteral("Positionen:"));
    ges.addElement(QStringLiteral("var_anzahl"), ElementKind::Variable, {45, 4, 20, 4.5});
    Element &gl = ges.addLabel(QStringLiteral("lbl_gesamt"), {110, 8, 45, 4.5}, QStringLiteral("Gesamtbetrag"));
    gl.font.setBold(true);
    Element &gs = ges.addElement(QStringLiteral("sum_gesamt"), ElementKind::Sum, {160, 8, 30, 4.5});
    gs.field = QStringLiteral("Betrag");
    gs.displayFormat = QStringLiteral(",0.00;-,0.00");
    gs.alignment = Qt::AlignRight;
    gs.font.setBold(true);
    ges.addShape(QStringLiteral("ln_gesamt"), ElementKind::DoubleLine, {140, 13, 50, 0});

    Band &f = r.addBand(BandKind::PageFooter, QStringLiteral("ftr"), 12);
    f.addShape(QStringLiteral("ln_fuss"), ElementKind::Line, {20, 1, 183, 0});
    f.addLabel(QStringLiteral("rlbl_seite"), {90, 4, 16.6, 4.5}, QStringLiteral("Seite")).alignment = Qt::AlignRight;
    f.addSystemVar(QStringLiteral("sv_seite"), {108, 4, 8, 4.5}, SystemVar::PageNumber);
    Element &von = f.addLabel(QStringLiteral("lbl_von"), {115, 4, 20, 4.5}, QStringLiteral("von"));
    Report *rp = &r;
    von.onGetText = [rp](QString &t) { t += QLatin1Char(' ') + QString::number(rp->pageCount()); };

    // events: hide empty regions, count positions into a variable
    auto count = std::make_shared<int>(0);
    r.onStart = [count] { *count = 0; };
    d.beforePrint = [rp, count] {
        rp->region(QStringLiteral("reg_hinweis")).visible = !rp->value(QStringLiteral("Hinweis")).toString().trimmed().isEmpty();
        rp->region(QStringLiteral("reg_text")).visible = !rp->value(QStringLiteral("Text")).toString().trimmed().isEmpty();
        ++*count;
    };
    s.beforePrint = [rp, count] { rp->element(QStringLiteral("var_anzahl")).value = *count; };
}

} // namespace sample
