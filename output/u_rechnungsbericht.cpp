#include "output/u_rechnungsbericht.h"

#include "app/core/u_global.h"
#include "app/core/u_sprache.h"
#include "app/core/u_strings.h"
#include "capture/u_geld.h"
#include "data/u_dm_datenbank.h"
#include "masterdata/u_bilder.h"
#include "platform/report/format.h"
#include "platform/report/measure.h"
#include "platform/rtf/rtf.h"
#include "platform/sql/sqlutil.h"

#include <QFileInfo>
#include <QFontMetricsF>
#include <QImageReader>

bool Gutschrift = false;
bool Rappenrundung = false;

using namespace rpt;

namespace {

const QString kBetrag = QStringLiteral(",0.00;-,0.00");
const QString kProzent = QStringLiteral("0.00%;-0.00%");
const QString kDatum = QStringLiteral("dd.mm.yyyy");

// the class blocks of the totals, A to D
const char *const kKlasse[4] = {"a", "b", "c", "d"};
QString klassenName(const char *stamm, int k) { return QLatin1String(stamm) + QLatin1String(kKlasse[k]); }
QString gross(int k) { return QString(QChar(u'A' + k)); }

// home slots of the class blocks as designed: caption, net sum, VAT caption, VAT amount
constexpr double kSlotLinks[4][2] = {
    {157.427, 173.038}, {112.184, 127.529}, {66.940, 82.021}, {21.696, 36.512}};
constexpr double kMwstLinks[4] = {178.065, 132.557, 87.048, 41.539};

// one-line header texts that must stay in their box: the customer-data panel,
// the address window, the note
const char *const kEinpassen[] = {"ppDBText2", "ppDBText11", "ppDBText12", "ppDBText3",  "ppDBText1",
                                  "ppDBText23", "ppDBText7",  "ppDBText8",  "ppDBText9", "ppDBText5"};

bool leer(const QVariant &v) { return v.toString().trimmed().isEmpty(); }

// Rich-text fields count as blank when they hold no visible character, also when
// an editor left an empty RTF frame behind.
bool richLeer(const QVariant &v)
{
    const QString t = v.toString();
    if (t.trimmed().isEmpty())
        return true;
    return Rtf::toPlainText(t).trimmed().isEmpty();
}

bool leeresDatum(const QVariant &v)
{
    if (v.isNull())
        return true;
    const QDateTime d = v.toDateTime();
    return !d.isValid() || d.date() == QDate(1899, 12, 30);
}

// memo texts end with the line break of their last line; it must not add an empty line
void ohneLetztenUmbruch(QString &t)
{
    while (t.endsWith(QLatin1Char('\n')) || t.endsWith(QLatin1Char('\r')))
        t.chop(1);
}

void fett(Element &e, bool an = true) { e.font.setBold(an); }

Element &inBereich(Region &r, Element &e)
{
    r.band()->adopt(e, &r);
    return e;
}

Element &rechts(Element &e)
{
    e.alignment = Qt::AlignRight;
    return e;
}

// Pictures are decoded once per file version: a long invoice shows the same
// logo on every page and in both passes.
QImage bildLaden(const QString &datei)
{
    struct Eintrag {
        QDateTime geaendert;
        qint64 groesse = -1;
        QImage bild;
    };
    static QHash<QString, Eintrag> cache;
    const QFileInfo fi(datei);
    auto it = cache.constFind(fi.absoluteFilePath());
    if (it != cache.constEnd() && it->geaendert == fi.lastModified() && it->groesse == fi.size())
        return it->bild;
    QImageReader reader(datei);
    reader.setAutoTransform(true);
    const QImage img = reader.read();
    if (cache.size() >= 64)
        cache.clear();
    cache.insert(fi.absoluteFilePath(), {fi.lastModified(), fi.size(), img});
    return img;
}

} // namespace

bool BildInBerichtLaden(const QString &pfad, Element &bild)
{
    const QString ohne = OhneAnfuehrungszeichen(pfad);
    try {
        bild.picture = QImage();
    } catch (...) {
    }
    if (ohne.trimmed().isEmpty())
        return false;
    const QString datei = BildpfadAufloesen(ohne);
    if (datei.isEmpty())
        return false;
    const QImage img = bildLaden(datei);
    if (img.isNull())
        return false;
    bild.picture = img;
    return true;
}

// ---------------------------------------------------------------------------------

TRechnungsbericht::TRechnungsbericht(const TBerichtsart &art) : m_art(art)
{
    qry_rechnung.setObjectName(QStringLiteral("qry_rechnung"));
    qry_rechnung.setSql(rechnungSql(m_art.tabelle, m_art.vorschau));
    layoutAufbauen();
    slotsMerken();
    schriftenMerken();
    m_quelle = std::make_unique<CallbackDataSource>([this] { return zeilen(); },
                                                    [this](int r, const QString &f) { return wert(r, f); });
    rp_rechnung.setDataSource(m_quelle.get());

    rp_rechnung.onStart = [this] { rp_rechnungBeforePrint(); };
    rp_rechnung.band(QStringLiteral("ppHeaderBand1")).beforePrint = [this] { ppHeaderBand1BeforePrint(); };
    rp_rechnung.band(QStringLiteral("ppDetailBand1")).beforePrint = [this] { ppDetailBand1BeforePrint(); };
    rp_rechnung.band(QStringLiteral("ppGroupFooterBand5")).beforePrint = [this] { ppGroupFooterBand5BeforePrint(); };
    rp_rechnung.band(QStringLiteral("ppSummaryBand1")).beforePrint = [this] { ppSummaryBand1BeforePrint(); };
    rp_rechnung.band(QStringLiteral("ppFooterBand1")).beforePrint = [this] { ppFooterBand1BeforePrint(); };

    // ppDBText2GetText: the one-time customer 0 has no number to show
    rp_rechnung.element(QStringLiteral("ppDBText2")).onGetText = [this](QString &t) {
        if (rp_rechnung.value(QStringLiteral("Kunde")).toInt() == 0)
            t.clear();
    };
    // ppDBText8GetText: postcode and city on one line
    rp_rechnung.element(QStringLiteral("ppDBText8")).onGetText = [this](QString &t) {
        const QString plz = rp_rechnung.value(QStringLiteral("Kunden_PLZ")).toString().trimmed();
        if (!plz.isEmpty())
            t = plz + QLatin1Char(' ') + rp_rechnung.value(QStringLiteral("Kunden_Ort")).toString().trimmed();
    };
    // rlbl_gesamtbetragGetText
    rp_rechnung.element(QStringLiteral("rlbl_gesamtbetrag")).onGetText = [](QString &t) {
        t += QLatin1Char(' ') + Waehrung;
    };
    for (const char *memo : {"me_kopftext", "ppDBMemo6", "ppDBMemo1", "ppDBMemo2", "ppDBMemo3", "ppDBMemo4"})
        rp_rechnung.element(QLatin1String(memo)).onGetText = ohneLetztenUmbruch;
}

TRechnungsbericht::~TRechnungsbericht() { schliessen(); }

QString TRechnungsbericht::rechnungSql(const QString &t, bool mitSession)
{
    QString sql = QStringLiteral(
        "SELECT %1.*, %1.Preis*1 AS PreisU,\n"
        "  Artikelstamm.Name_AR, Artikelstamm.Einheit, Artikelstamm.Beschreibung_AR, Artikelstamm.MWST,\n"
        "  Artikelstamm.Skontofaehig, Artikelstamm.Bildpfad, Artikelstamm.BildAufRechnung,\n"
        "  Artikelstamm.Sonstiges1, Artikelstamm.Sonstiges2, Artikelstamm.Sonstiges3, Artikelstamm.Sonstiges4,\n"
        "  Artikelstamm.Sonstiges5,\n"
        "  KS.TelefonPrivat, KS.EMail1, KS.UIDNummer, KS.Steuernummer, KS.Skontotage, KS.Nettotage,\n"
        "  KS.Skontoprozent, KS.MWST AS MWST_Faehig, KS.Name_KU, KS.Zusatzname_KU,\n"
        "  KS.Strasse_Hnr AS Kunden_Strasse, KS.PLZ AS Kunden_PLZ, KS.Ort AS Kunden_Ort, KS.Land AS Kunden_Land,\n"
        "  KS.InnerGemLieferung, KS.Sonstiges1 AS KuSonstiges1, KS.Sonstiges2 AS KuSonstiges2,\n"
        "  KS.Sonstiges3 AS KuSonstiges3, KS.Sonstiges4 AS KuSonstiges4, KS.Sonstiges5 AS KuSonstiges5,\n"
        "  KS.Anrede, KS.Titel,\n"
        "  Firmenstamm.Anschrift_FI, Firmenstamm.Name_FI, Firmenstamm.Fusstext1, Firmenstamm.Fusstext2,\n"
        "  Firmenstamm.Fusstext3, Firmenstamm.Fusstext4, Firmenstamm.Bankleitzahl, Firmenstamm.Bankkontonummer,\n"
        "  Firmenstamm.Strasse_FI, Firmenstamm.PLZ_FI, Firmenstamm.Ort_FI\n"
        "FROM %1, Firmenstamm, Artikelstamm, Kundenstamm AS KS\n"
        "WHERE %1.Firma = :pfirma AND %1.Periode_re = :pperiode_re AND %1.Rechnung_nr = :prechnung_nr\n"
        "  AND Firmenstamm.Firma = %1.Firma AND Artikelstamm.Artikel = %1.Artikel\n"
        "  AND KS.Firma = %1.Firma AND KS.Kunde = %1.Kunde\n")
                      .arg(t);
    if (mitSession)
        sql += QStringLiteral("  AND %1.Benutzersession = :psession\n").arg(t);
    sql += QStringLiteral("ORDER BY %1.Firma, %1.Periode_re, %1.Rechnung_nr, %1.Periode_ls, %1.Lieferschein_nr,\n"
                          "  %1.Periode_au, %1.Auftrag_nr, %1.Position_X")
               .arg(t);
    return sql;
}

// ---------------------------------------------------------------- built-in layout

void TRechnungsbericht::layoutAufbauen()
{
    Report &r = rp_rechnung;
    r.page.paperName = QStringLiteral("A4");
    r.page.width = 210;
    r.page.height = 297;
    r.page.marginTop = 6.35;
    r.page.marginBottom = 6.35;
    r.page.marginLeft = 0;
    r.page.marginRight = 0;

    // ---- page header
    Band &h = r.addBand(BandKind::PageHeader, QStringLiteral("ppHeaderBand1"), 116.4);
    h.dynamicHeight = true;
    h.addPicture(QStringLiteral("im_kopf"), {20.1, 0, 112.7, 42.9});
    Element &kopf = h.addRichText(QStringLiteral("me_firmenkopf"), {134.9, 0, 68.5, 45.8}, QStringLiteral("Anschrift_FI"),
                                  false);
    Q_UNUSED(kopf);
    Element &kurz = h.addDataText(QStringLiteral("ed_firma_kurz"), {20.0, 43.5, 112.7, 3.6}, QStringLiteral("Name_FI"));
    kurz.font.setPointSizeF(8);
    kurz.font.setUnderline(true);

    Element &panel = h.addShape(QStringLiteral("sh_kundendaten"), ElementKind::Rect, {135.2, 47.6, 68.3, 24.1});
    panel.fillColor = QColor(233, 231, 226);
    panel.penColor = QColor(233, 231, 226);
    fett(h.addLabel(QStringLiteral("rlbl_kundendaten"), {136.5, 48.4, 60, 4.2}, QStringLiteral("Kundendaten")));
    h.addLabel(QStringLiteral("rlbl_kunde"), {136.5, 53.4, 21, 4.2}, QStringLiteral("Kunden Nr.:"));
    h.addDataText(QStringLiteral("ppDBText2"), {158.0, 53.4, 45, 4.2}, QStringLiteral("Kunde"));
    h.addLabel(QStringLiteral("rlbl_telefon"), {136.5, 57.7, 21, 4.2}, QStringLiteral("Telefon:"));
    h.addDataText(QStringLiteral("ppDBText11"), {158.0, 57.7, 45, 4.2}, QStringLiteral("TelefonPrivat"));
    h.addLabel(QStringLiteral("rlbl_email"), {136.5, 61.9, 21, 4.2}, QStringLiteral("Email:"));
    h.addDataText(QStringLiteral("ppDBText12"), {158.0, 61.9, 45, 4.2}, QStringLiteral("EMail1"));
    h.addLabel(QStringLiteral("rlbl_uid"), {136.5, 66.1, 21, 4.2}, QStringLiteral("Kunden UID:"));
    h.addDataText(QStringLiteral("ppDBText3"), {158.0, 66.1, 45, 4.2}, QStringLiteral("UIDNummer"));

    Region &adr = h.addRegion(QStringLiteral("reg_kundenadresse"), {20.0, 66.4, 107, 20.0});
    adr.addDataText(QStringLiteral("ppDBText1"), {20.0, 66.4, 107, 4.0}, QStringLiteral("Name_KU"));
    adr.addDataText(QStringLiteral("ppDBText23"), {20.0, 70.4, 107, 4.0}, QStringLiteral("Zusatzname_KU"));
    adr.addDataText(QStringLiteral("ppDBText7"), {20.0, 74.3, 107, 4.0}, QStringLiteral("Kunden_Strasse"));
    adr.addDataText(QStringLiteral("ppDBText8"), {20.0, 78.3, 107, 4.0}, QStringLiteral("Kunden_Ort"));
    adr.addDataText(QStringLiteral("ppDBText9"), {20.0, 82.3, 107, 4.0}, QStringLiteral("Kunden_Land"));

    h.addLabel(QStringLiteral("rlbl_bearbeiter2_re"), {136.5, 73.8, 20, 4.2}, QStringLiteral("Bearbeiter:"));
    rechts(h.addLabel(QStringLiteral("lbl_bearbeiter_re"), {156.6, 73.8, 46.8, 4.2}, QString()));
    h.addLabel(QStringLiteral("rlbl_datum"), {136.5, 78.1, 30, 4.2}, QStringLiteral("Datum:"));
    rechts(h.addSystemVar(QStringLiteral("ppSystemVariable1"), {185.7, 78.1, 17.7, 4.2}, SystemVar::PrintDate, kDatum));
    // service period: not printed by this document
    Element &lzr = h.addLabel(QStringLiteral("rlbl_lzr"), {136.5, 82.4, 32, 4.2}, QStringLiteral("Leistungszeitraum:"));
    lzr.visible = false;
    Element &lzrText = rechts(h.addDataText(QStringLiteral("ppDBText19"), {169.1, 82.4, 34.4, 4.2},
                                            QStringLiteral("Leistungszeitraum")));
    lzrText.visible = false;

    Element &nrCaption = h.addLabel(QStringLiteral("rlbl_rechnungsnummer"), {20.0, 88.5, 34.8, 5.2},
                                    QStringLiteral("Rechnung Nr."));
    nrCaption.font.setPointSizeF(12);
    fett(nrCaption);
    Element &nr = h.addDataText(QStringLiteral("ppDBText4"), {54.8, 88.5, 40, 5.2}, QStringLiteral("Rechnung_nr"));
    nr.font.setPointSizeF(12);
    fett(nr);
    h.addLabel(QStringLiteral("rlbl_rechnungsdatum"), {136.5, 89.2, 32, 4.2}, QStringLiteral("Rechnungsdatum:"));
    rechts(h.addDataText(QStringLiteral("ppDBText10"), {169.1, 89.2, 34.4, 4.2}, QStringLiteral("Rechnungsdatum"), kDatum));
    h.addDataText(QStringLiteral("ppDBText5"), {20.0, 94.2, 114, 4.2}, QStringLiteral("Hinweis"));

    Region &kt = h.addRegion(QStringLiteral("reg_kopftext"), {17.5, 99.0, 176.7, 5.2});
    kt.addMemo(QStringLiteral("me_kopftext"), {20.1, 99.5, 168.8, 4.2}, QStringLiteral("Kopftext"), true);

    Region &fb = h.addRegion(QStringLiteral("reg_feldbezeichnung"), {17.5, 105.0, 188.1, 9.3});
    fb.shiftRelativeTo = &kt;
    Element &bar = fb.addShape(QStringLiteral("rr_feldbezeichnung"), ElementKind::RoundRect, {20.1, 106.6, 183.4, 6.9});
    bar.fillColor = QColor(192, 192, 192);
    bar.penColor = QColor(192, 192, 192);
    bar.cornerRadius = 1.5;
    auto caption = [&](const char *name, double left, double width, const char *text, bool right) -> Element & {
        Element &e = fb.addLabel(QLatin1String(name), {left, 108.0, width, 4.2}, QString::fromUtf8(text));
        fett(e);
        if (right)
            rechts(e);
        return e;
    };
    caption("rlbl_artikel", 21.4, 32.0, "Artikel NR", false);
    caption("rlbl_artikelname", 54.0, 62.4, "Artikelbezeichnung", false);
    caption("rlbl_menge", 127.5, 11.4, "Menge", true);
    caption("rlbl_einheit", 141.6, 9.0, "EH", false);
    caption("rlbl_preis", 159.3, 8.7, "Preis", true);
    caption("rlbl_rabatt", 169.6, 11.0, "Rabatt", false);
    caption("rlbl_betrag", 190.8, 11.1, "Betrag", true);
    caption("rlbl_mwst", 182.0, 8.0, "MWST", false).visible = false; // VAT-class column, not printed

    // fold and punch marks, not printed
    for (const auto &[name, top] : {std::pair{"ln_falz1", 98.65}, std::pair{"ln_falz2", 203.65}}) {
        Element &m = h.addShape(QLatin1String(name), ElementKind::Line, {4.0, top, 5.0, 0});
        m.visible = false;
    }

    // ---- groups: only the invoice number has content
    const char *gruppen[7][2] = {{"Firma", "7"},           {"Periode_re", "6"}, {"Rechnung_nr", "5"},
                                 {"Periode_ls", "4"},      {"Lieferschein_nr", "3"},
                                 {"Periode_au", "2"},      {"Auftrag_nr", "1"}};
    for (const auto &g : gruppen) {
        Group &grp = r.addGroup(QLatin1String(g[0]), QLatin1String(g[0]),
                                QStringLiteral("ppGroupHeaderBand") + QLatin1String(g[1]),
                                QStringLiteral("ppGroupFooterBand") + QLatin1String(g[1]));
        grp.header().height = 0;
        grp.footer().height = 0;
        grp.newPage = QLatin1String(g[0]) == QLatin1String("Rechnung_nr");
    }

    // ---- detail
    Band &d = r.addBand(BandKind::Detail, QStringLiteral("ppDetailBand1"), 6.1);
    d.dynamicHeight = true;
    Region &det = d.addRegion(QStringLiteral("reg_detail"), {17.5, 0.5, 188.1, 5.6});
    det.keepTogether = true;
    fett(det.addDataText(QStringLiteral("ppDBText13"), {21.4, 1.0, 32.0, 4.2}, QStringLiteral("Artikel")));
    // a long name wraps inside its column instead of running into the quantity
    Element &name = det.addMemo(QStringLiteral("fe_name_ar"), {54.0, 1.0, 62.4, 4.2}, QStringLiteral("Name_AR"), true);
    fett(name);
    rechts(det.addDataText(QStringLiteral("ppDBText14"), {122.8, 1.0, 16.1, 4.2}, QStringLiteral("Menge"), kBetrag));
    det.addDataText(QStringLiteral("ppDBText15"), {141.3, 1.0, 9.3, 4.2}, QStringLiteral("Einheit"));
    rechts(det.addDataText(QStringLiteral("ppDBText16"), {150.8, 1.0, 16.9, 4.2}, QStringLiteral("PreisU"), kBetrag));
    rechts(det.addDataText(QStringLiteral("ed_rabatt_re"), {168.0, 1.0, 12.4, 4.2}, QStringLiteral("Rabatt"), kProzent));
    rechts(det.addDataText(QStringLiteral("lbl_detailbetrag"), {180.7, 1.0, 21.2, 4.2}, QStringLiteral("Betrag"), kBetrag));
    Element &klasse = det.addDataText(QStringLiteral("ppDBText18"), {182.0, 1.0, 8.0, 4.2}, QStringLiteral("MWST"));
    klasse.visible = false; // VAT-class column, not printed

    Region &text = d.addRegion(QStringLiteral("reg_text"), {54.0, 6.4, 148.2, 4.4});
    text.shiftRelativeTo = &det;
    text.addMemo(QStringLiteral("ppDBText17"), {54.0, 6.4, 148.2, 4.2}, QStringLiteral("Text"), true);

    Region &besch = d.addRegion(QStringLiteral("reg_artikelbeschreibung"), {53.7, 11.6, 148.4, 6.3});
    besch.shiftRelativeTo = &text;
    besch.keepTogether = true;
    besch.addRichText(QStringLiteral("fe_beschreibung_ar"), {53.7, 11.6, 148.4, 4.2}, QStringLiteral("Beschreibung_AR"), true);

    Region &zus = d.addRegion(QStringLiteral("reg_zusatztext"), {53.7, 18.5, 148.2, 6.3});
    zus.shiftRelativeTo = &besch;
    zus.keepTogether = true;
    zus.addRichText(QStringLiteral("ppDBRichText1"), {53.7, 18.5, 148.2, 4.2}, QStringLiteral("Zusatztext1"), true);

    // the picture stands in the left column under the position and its texts
    Region &bild = d.addRegion(QStringLiteral("reg_bild"), {19.8, 27.0, 33.1, 20.4});
    bild.shiftRelativeTo = &zus;
    bild.keepTogether = true;
    bild.visible = false;
    bild.addPicture(QStringLiteral("im_bild"), {21.4, 28.3, 29.6, 18.3});

    // ---- totals block (footer of the invoice-number group)
    Band &s = r.group(QStringLiteral("Rechnung_nr")).footer();
    s.height = 23.0;
    s.dynamicHeight = true;
    Region &k = s.addRegion(QStringLiteral("reg_keeptogether"), {17.5, 0, 188.1, 22.0});
    k.keepTogether = true;
    Element &frame = k.addShape(QStringLiteral("rr_summen"), ElementKind::RoundRect, {20.1, 1.3, 183.4, 13.5});
    frame.fillColor = Qt::white;
    frame.penColor = QColor(128, 128, 128);
    frame.cornerRadius = 2.0;
    k.addLabel(QStringLiteral("rlbl_netto"), {157.4, 4.0, 12.0, 4.2}, QStringLiteral("Netto "));
    rechts(inBereich(k, s.addSum(QStringLiteral("sum_netto_betrag"), {169.9, 4.0, 32.0, 4.2}, QStringLiteral("Betrag"),
                                 kBetrag, QStringLiteral("Rechnung_nr"))));
    for (int c = 0; c < 4; ++c) {
        k.addLabel(klassenName("rlbl_netto_", c), {kSlotLinks[c][0], 4.0, 14.6, 4.2}, QStringLiteral("Netto"));
        rechts(inBereich(k, s.addSum(klassenName("sum_betrag_", c), {kSlotLinks[c][1], 4.0, 28.8, 4.2},
                        QStringLiteral("Betrag_") + gross(c), kBetrag,
                        QStringLiteral("Rechnung_nr"))));
        k.addLabel(klassenName("rlbl_mwst_", c), {kSlotLinks[c][0], 8.5, 14.6, 4.2},
                   QStringLiteral("MWST ") + gross(c));
        rechts(inBereich(k, s.addVariable(klassenName("var_mwst_", c), {kMwstLinks[c], 8.5, 23.8, 4.2}, kBetrag)));
    }
    fett(k.addLabel(QStringLiteral("rlbl_gesamtbetrag"), {136.0, 15.6, 34.0, 4.4}, QStringLiteral("Gesamtbetrag")));
    fett(rechts(inBereich(k, s.addVariable(QStringLiteral("var_gesamtbetrag"), {171.5, 15.6, 30.4, 4.4}, kBetrag))));
    Element &dl = k.addShape(QStringLiteral("ln_gesamtbetrag"), ElementKind::DoubleLine, {134.9, 20.4, 68.5, 0});
    dl.penWidth = 0.25;

    // ---- summary
    Band &sum = r.addBand(BandKind::Summary, QStringLiteral("ppSummaryBand1"), 24.0);
    sum.dynamicHeight = true;
    Region &gs = sum.addRegion(QStringLiteral("reg_gutschrift_anmerkung"), {20.0, 1.3, 121.7, 7.0});
    gs.addMemo(QStringLiteral("lbl_gutschrift_anmerkung"), {20.0, 1.3, 121.7, 4.2}, QString(), true);
    Region &ig = sum.addRegion(QStringLiteral("reg_innergemLieferung"), {20.0, 9.3, 121.7, 8.2});
    ig.shiftRelativeTo = &gs;
    ig.addMemo(QStringLiteral("lbl_innergemLieferung"), {20.0, 9.3, 121.7, 4.2}, QString(), true);
    Region &ft = sum.addRegion(QStringLiteral("reg_fusstexte"), {20.1, 18.5, 183.4, 5.5});
    ft.shiftRelativeTo = &ig;
    ft.keepTogether = true;
    ft.addMemo(QStringLiteral("ppDBMemo6"), {20.1, 18.5, 183.4, 4.2}, QStringLiteral("Fusstext"), true);

    // ---- page footer
    Band &f = r.addBand(BandKind::PageFooter, QStringLiteral("ppFooterBand1"), 37.3);
    Element &fl = f.addShape(QStringLiteral("ln_fusszeile"), ElementKind::Line, {20.1, 6.4, 183.4, 0});
    fl.penColor = QColor(128, 128, 128);
    const double spalten[4] = {20.1, 66.1, 112.2, 158.5};
    for (int i = 0; i < 4; ++i) {
        Element &m = f.addMemo(QStringLiteral("ppDBMemo%1").arg(i + 1), {spalten[i], 7.1, 45.0, 23.5},
                               QStringLiteral("Fusstext%1").arg(i + 1), false);
        m.font.setPointSizeF(8);
    }
    rechts(f.addLabel(QStringLiteral("rlbl_seite"), {76.6, 31.5, 30.0, 4.2}, QStringLiteral("Seite")));
    f.addSystemVar(QStringLiteral("ppSystemVariable2"), {108.0, 31.5, 15.0, 4.2}, SystemVar::PageNumber);
}

void TRechnungsbericht::slotsMerken()
{
    for (int c = 0; c < 4; ++c) {
        m_slots[c] = {rp_rechnung.element(klassenName("rlbl_netto_", c)).left,
                      rp_rechnung.element(klassenName("sum_betrag_", c)).left,
                      rp_rechnung.element(klassenName("rlbl_mwst_", c)).left,
                      rp_rechnung.element(klassenName("var_mwst_", c)).left};
    }
}

void TRechnungsbericht::layoutLaden(const QString &datei)
{
    // the class blocks go home first, so what the file leaves out is the designed place
    for (int c = 0; c < 4; ++c) {
        rp_rechnung.element(klassenName("rlbl_netto_", c)).left = m_slots[c][0];
        rp_rechnung.element(klassenName("sum_betrag_", c)).left = m_slots[c][1];
        rp_rechnung.element(klassenName("rlbl_mwst_", c)).left = m_slots[c][2];
        rp_rechnung.element(klassenName("var_mwst_", c)).left = m_slots[c][3];
    }
    for (const char *n : kEinpassen)
        rp_rechnung.element(QLatin1String(n)).font.setPointSizeF(m_schriften.value(QLatin1String(n), 10));
    rp_rechnung.loadLayout(datei);
    slotsMerken();
    schriftenMerken();
}

void TRechnungsbericht::beschriftungSetzen(const QString &label, const QString &caption)
{
    if (Element *e = rp_rechnung.findElement(label))
        e->text = caption;
}

// ---------------------------------------------------------------- data

int TRechnungsbericht::spalte(const QString &feld) const
{
    // keyed by the name as asked for: the layout spells every field one way
    auto it = m_spalten.constFind(feld);
    if (it != m_spalten.constEnd())
        return *it;
    const int i = qry_rechnung.isOpen() ? qry_rechnung.fieldIndex(feld) : -1;
    m_spalten.insert(feld, i);
    return i;
}

QVariant TRechnungsbericht::wert(int zeile, const QString &feld) const
{
    if (zeile < 0 || zeile >= zeilen())
        return {};
    const Rechenfelder &f = m_rechen[size_t(zeile)];
    const QChar c0 = feld.isEmpty() ? QChar() : feld.at(0).toUpper();
    if (feld.size() >= 6 && feld.size() <= 8 && (c0 == u'B' || c0 == u'M')) {
        if (feld.compare(QLatin1String("Betrag"), Qt::CaseInsensitive) == 0)
            return f.Betrag;
        for (int c = 0; c < 4; ++c) {
            const QString x = gross(c);
            if (feld.compare(QStringLiteral("Betrag_") + x, Qt::CaseInsensitive) == 0)
                return f.Betrag_K[size_t(c)];
            if (feld.compare(QStringLiteral("MWST_") + x, Qt::CaseInsensitive) == 0)
                return f.MWST_K[size_t(c)];
        }
    }
    const int i = spalte(feld);
    return i < 0 ? QVariant() : qry_rechnung.valueAt(zeile, i);
}

int TRechnungsbericht::oeffnen(int firma, int periode_re, int rechnung_nr, const QString &session)
{
    schliessen();
    try {
        qry_rechnung.setDatabase(dm_datenbank->Datenbank_Verbindung.db());
        qry_rechnung.setParam(QStringLiteral("pfirma"), firma);
        qry_rechnung.setParam(QStringLiteral("pperiode_re"), periode_re);
        qry_rechnung.setParam(QStringLiteral("prechnung_nr"), rechnung_nr);
        if (m_art.vorschau)
            qry_rechnung.setParam(QStringLiteral("psession"), session);
        qry_rechnung.open();
        const int n = qry_rechnung.recordCount();
        m_rechen.assign(size_t(n), Rechenfelder());
        for (int i = 0; i < n; ++i)
            qry_rechnungCalcFields(i, m_rechen[size_t(i)]);
        return n;
    } catch (...) {
        schliessen();
        throw;
    }
}

void TRechnungsbericht::schliessen()
{
    try {
        qry_rechnung.close();
    } catch (...) {
    }
    m_rechen.clear();
    m_spalten.clear();
}

void TRechnungsbericht::qry_rechnungCalcFields(int zeile, Rechenfelder &f)
{
    // 1: the rates, the same on every row
    f.MWST_K = {0, 0, 0, 0};
    const TMwstDaten m = MwstSaetzeLaden();
    f.MWST_K = {m.MWST_A, m.MWST_B, m.MWST_C, m.MWST_D};
    // 2: net line amount after discount
    const double rabatt = wert(zeile, QStringLiteral("Rabatt")).toDouble();
    const double preis = wert(zeile, QStringLiteral("PreisU")).toDouble();
    const double menge = wert(zeile, QStringLiteral("Menge")).toDouble();
    f.Betrag = CentRunden((100 - rabatt) * (preis * menge) / 100);
    // 3: into the field of the article's VAT class
    f.Betrag_K = {0, 0, 0, 0};
    const int klasse = wert(zeile, QStringLiteral("MWST")).toInt();
    if (klasse >= 1 && klasse <= 4)
        f.Betrag_K[size_t(klasse - 1)] = f.Betrag;
}

// ---------------------------------------------------------------- events

void TRechnungsbericht::rp_rechnungBeforePrint()
{
    Report &r = rp_rechnung;
    // 1
    for (const char *n : {"ln_falz1", "ln_falz2", "rlbl_mwst", "ppDBText18", "rlbl_lzr", "ppDBText19"})
        if (Element *e = r.findElement(QLatin1String(n)))
            e->visible = false;
    // 2
    Rappenrundung = Einstellung::checked(QStringLiteral("cb_rappenrundung"));
    // 3: logo
    Element &logo = r.element(QStringLiteral("im_kopf"));
    try {
        logo.pictureMode = Einstellung::checked(QStringLiteral("cb_bildeinszueins")) ? PictureMode::OwnSize
                                                                                    : PictureMode::StretchKeepAspect;
        logo.visible = false;
        logo.picture = QImage();
        TFirmenDaten firma;
        LadeFirma(wert(0, QStringLiteral("Firma")).toInt(), firma);
        QString datei = firma.LogoPfad;
        // a bare file name lies in the program folder
        if (!datei.trimmed().isEmpty() && !QFileInfo(datei).isFile() && QFileInfo(datei).isRelative())
            datei = Programmordner() + datei;
        if (firma.Gefunden && !datei.trimmed().isEmpty() && QFileInfo(datei).isFile()) {
            logo.picture = bildLaden(datei);
            logo.visible = !logo.picture.isNull();
        }
    } catch (...) {
        logo.visible = false;
    }
    // 4: clerk
    const QString bearbeiter = Einstellung::text(QStringLiteral("ed_bearbeiter_re")).trimmed();
    r.element(QStringLiteral("lbl_bearbeiter_re")).visible = !bearbeiter.isEmpty();
    r.element(QStringLiteral("rlbl_bearbeiter2_re")).visible = !bearbeiter.isEmpty();
    r.element(QStringLiteral("lbl_bearbeiter_re")).text = bearbeiter;
    // 5
    r.element(QStringLiteral("me_firmenkopf")).visible = Einstellung::checked(QStringLiteral("cb_firmenkopf_re"));
    // 6
    r.region(QStringLiteral("reg_kopftext")).visible = !leer(wert(0, QStringLiteral("Kopftext")));
    r.region(QStringLiteral("reg_fusstexte")).visible = !leer(wert(0, QStringLiteral("Fusstext")));
    // 7
    r.region(QStringLiteral("reg_kundenadresse")).visible = true;
}

// A value that would run out of its box (a long e-mail address in the
// customer-data panel, a long second name line) is set smaller, down to 7 pt,
// instead of running into its neighbours.
void TRechnungsbericht::einpassen(Element &e, double punkte)
{
    e.font.setPointSizeF(punkte);
    if (!e.visible)
        return;
    const QString t = e.displayText();
    for (; e.font.pointSizeF() > 7.0; e.font.setPointSizeF(e.font.pointSizeF() - 0.5)) {
        const QFontMetricsF fm(QFont(e.font, detail::measureDevice()));
        if (fm.horizontalAdvance(t) / unitsPerMm() <= e.width)
            break;
    }
}

void TRechnungsbericht::schriftenMerken()
{
    m_schriften.clear();
    for (const char *n : kEinpassen)
        m_schriften.insert(QLatin1String(n), rp_rechnung.element(QLatin1String(n)).font.pointSizeF());
}

void TRechnungsbericht::ppHeaderBand1BeforePrint()
{
    Report &r = rp_rechnung;
    r.element(QStringLiteral("rlbl_rechnungsnummer")).text =
        Gutschrift ? Einstellung::text(QStringLiteral("ed_gutschrifttext_re")) : txt("sk_16");
    Element &zeile1 = r.element(QStringLiteral("ppDBText1"));
    Element &zeile2 = r.element(QStringLiteral("ppDBText23"));
    if (leer(r.value(QStringLiteral("Zusatzname_KU")))) {
        // the name stands directly above the street
        zeile1.visible = false;
        zeile2.field = QStringLiteral("Name_KU");
    } else {
        zeile1.visible = true;
        zeile1.field = QStringLiteral("Name_KU");
        zeile2.field = QStringLiteral("Zusatzname_KU");
    }
    for (const char *n : kEinpassen)
        einpassen(r.element(QLatin1String(n)), m_schriften.value(QLatin1String(n), 10));
}

void TRechnungsbericht::ppDetailBand1BeforePrint()
{
    Report &r = rp_rechnung;
    r.region(QStringLiteral("reg_detail")).visible =
        r.value(QStringLiteral("Name_AR")).toString().trimmed() != QLatin1String(".");
    Region &bild = r.region(QStringLiteral("reg_bild"));
    bild.visible = false;
    r.region(QStringLiteral("reg_text")).visible = !leer(r.value(QStringLiteral("Text")));
    r.element(QStringLiteral("ed_rabatt_re")).visible = r.value(QStringLiteral("Rabatt")).toDouble() != 0;
    Element &name = r.element(QStringLiteral("fe_name_ar"));
    name.field = QStringLiteral("Name_AR");
    r.element(QStringLiteral("fe_beschreibung_ar")).field = QStringLiteral("Beschreibung_AR");
    r.region(QStringLiteral("reg_artikelbeschreibung")).visible = !richLeer(r.value(QStringLiteral("Beschreibung_AR")));
    if (!leer(r.value(QStringLiteral("ArtikelName"))))
        name.field = QStringLiteral("ArtikelName");
    r.region(QStringLiteral("reg_zusatztext")).visible = !richLeer(r.value(QStringLiteral("Zusatztext1")));
    const QString pfad = r.value(QStringLiteral("Bildpfad")).toString();
    if (!pfad.trimmed().isEmpty() && r.value(QStringLiteral("BildAufRechnung")).toInt() == 1) {
        Element &im = r.element(QStringLiteral("im_bild"));
        if (BildInBerichtLaden(pfad, im))
            bild.visible = true;
    }
}

void TRechnungsbericht::ppGroupFooterBand5BeforePrint()
{
    Report &r = rp_rechnung;
    // 1
    Element &gesamtVar = r.element(QStringLiteral("var_gesamtbetrag"));
    gesamtVar.value = 0.0;
    // 2: the class blocks at home and hidden
    auto block = [&](int c) {
        return std::array<Element *, 4>{&r.element(klassenName("rlbl_netto_", c)),
                                        &r.element(klassenName("sum_betrag_", c)),
                                        &r.element(klassenName("rlbl_mwst_", c)),
                                        &r.element(klassenName("var_mwst_", c))};
    };
    auto setzeSlot = [&](int c, int slot) {
        const auto b = block(c);
        for (int i = 0; i < 4; ++i)
            b[size_t(i)]->left = m_slots[size_t(slot)][size_t(i)];
    };
    for (int c = 0; c < 4; ++c) {
        setzeSlot(c, c);
        for (Element *e : block(c))
            e->visible = false;
    }
    Element &nettoLabel = r.element(QStringLiteral("rlbl_netto"));
    Element &nettoSumme = r.element(QStringLiteral("sum_netto_betrag"));
    nettoLabel.visible = nettoSumme.visible = false;

    TRechnungssummen s;
    s.netto = nettoSumme.sum();
    for (int c = 0; c < 4; ++c) {
        s.klasse[size_t(c)] = r.element(klassenName("sum_betrag_", c)).sum();
        s.satz[size_t(c)] = r.value(QStringLiteral("MWST_") + gross(c)).toDouble();
    }

    if (r.value(QStringLiteral("MWST_Faehig")).toInt() == 1) {
        // 3.1 captions
        for (int c = 0; c < 4; ++c)
            r.element(klassenName("rlbl_mwst_", c)).text =
                MwStKuerzel + QLatin1Char(' ') + formatNumber(s.satz[size_t(c)], QStringLiteral(",0.00%;-,0.00%"));
        // 3.2-3.3
        for (int c = 0; c < 4; ++c) {
            if (s.klasse[size_t(c)] != 0)
                for (Element *e : block(c))
                    e->visible = true;
            double mwst = CentRunden(s.klasse[size_t(c)] * (s.satz[size_t(c)] / 100));
            if (Rappenrundung && !m_art.vorschau)
                mwst = Rappenrunden(mwst);
            s.mwst[size_t(c)] = mwst;
        }
        // 3.4
        double gesamt = 0;
        for (int c = 0; c < 4; ++c) {
            gesamt += s.klasse[size_t(c)];
            gesamt += s.mwst[size_t(c)];
        }
        s.gesamt = Rappenrundung ? Rappenrunden(gesamt) : gesamt;
        // 3.5 packed from the right
        int slot = 0;
        for (int c = 0; c < 4; ++c)
            if (s.klasse[size_t(c)] != 0)
                setzeSlot(c, slot++);
    } else {
        // 4
        nettoLabel.visible = nettoSumme.visible = true;
        s.gesamt = Rappenrundung ? Rappenrunden(s.netto) : s.netto;
    }
    for (int c = 0; c < 4; ++c)
        r.element(klassenName("var_mwst_", c)).value = s.mwst[size_t(c)];
    gesamtVar.value = s.gesamt;
    // 5
    if (s.gesamt < 0)
        Gutschrift = true;
    m_summen = s;
    // 6
    if (!m_art.vorschau)
        rueckschreiben(s.gesamt, s.mwst);
}

void TRechnungsbericht::rueckschreiben(double gesamt, const std::array<double, 4> &mwst)
{
    const Report &r = rp_rechnung;
    const QVariant gespeichert = r.value(QStringLiteral("Rechnungsbetrag"));
    const QVariant bis = r.value(QStringLiteral("ZahlungBis"));
    // 1: nothing differs
    if (!gespeichert.isNull() && gespeichert.toDouble() == gesamt && !leeresDatum(bis))
        return;
    // 2: every row of the invoice
    QStringList set;
    QVariantMap p;
    p.insert(QStringLiteral("pfirma"), r.value(QStringLiteral("Firma")).toInt());
    p.insert(QStringLiteral("pperiode"), r.value(QStringLiteral("Periode_re")).toInt());
    p.insert(QStringLiteral("prechnung"), r.value(QStringLiteral("Rechnung_nr")).toInt());
    const double betrag = CentRunden(gesamt);
    if (gespeichert.isNull() || betrag != gespeichert.toDouble()) {
        set << QStringLiteral("Rechnungsbetrag = :pbetrag");
        p.insert(QStringLiteral("pbetrag"), betrag);
    }
    for (int c = 0; c < 4; ++c) {
        const QString x = gross(c);
        set << QStringLiteral("MWST%1Betrag_O = :pmwst%1").arg(x);
        p.insert(QStringLiteral("pmwst") + x, CentRunden(mwst[size_t(c)]));
    }
    const int nettotage = r.value(QStringLiteral("Nettotage")).toInt();
    const QVariant valuta = r.value(QStringLiteral("Valutadatum"));
    if (leeresDatum(bis) && nettotage != 0 && !leeresDatum(valuta)) {
        set << QStringLiteral("ZahlungBis = :pzahlungbis");
        p.insert(QStringLiteral("pzahlungbis"), valuta.toDateTime().addDays(nettotage));
    }
    // qry_rechnung_update
    execSql(dm_datenbank->Datenbank_Verbindung.db(),
            QStringLiteral("UPDATE Artikelpositionen SET %1\n"
                           "WHERE Firma = :pfirma AND Periode_re = :pperiode AND Rechnung_nr = :prechnung")
                .arg(set.join(QStringLiteral(", "))),
            p);
}

void TRechnungsbericht::ppSummaryBand1BeforePrint()
{
    Report &r = rp_rechnung;
    r.region(QStringLiteral("reg_gutschrift_anmerkung")).visible = Gutschrift;
    r.region(QStringLiteral("reg_innergemLieferung")).visible = r.value(QStringLiteral("InnerGemLieferung")).toInt() == 1;
}

void TRechnungsbericht::ppFooterBand1BeforePrint()
{
    for (int i = 1; i <= 4; ++i)
        rp_rechnung.element(QStringLiteral("ppDBMemo%1").arg(i)).field = QStringLiteral("Fusstext%1").arg(i);
}
