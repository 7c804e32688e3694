#include "maintenance/u_exportformate.h"

#include "platform/core/errors.h"
#include "platform/ini/inifile.h"

#include <QBuffer>
#include <QClipboard>
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPen>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTime>
#include <QXmlStreamWriter>

#include <xlsxwriter.h>

#include <algorithm>
#include <clocale>
#include <cmath>

namespace {

constexpr int kSchritt = 250; // records between two progress calls

class Abbruch {};

// Calls the progress callback every kSchritt records; throws Abbruch on cancel.
struct Fortschritt {
    const ExportFortschritt &f;
    void operator()(int erledigt, bool immer = false) const
    {
        if (f && (immer || erledigt % kSchritt == 0) && !f(erledigt))
            throw Abbruch();
    }
};

bool istZahl(const QVariant &v)
{
    switch (v.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Double:
    case QMetaType::Float:
        return true;
    default:
        return false;
    }
}

bool istGleitkomma(const QVariant &v)
{
    return v.metaType().id() == QMetaType::Double || v.metaType().id() == QMetaType::Float;
}

QString gruppiert(const QString &ziffern, const QString &tausender)
{
    if (tausender.isEmpty() || ziffern.size() <= 3)
        return ziffern;
    QString out;
    const int n = int(ziffern.size());
    for (int i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += tausender;
        out += ziffern[i];
    }
    return out;
}

// ---- text and CSV --------------------------------------------------------------

QString feldText(const QString &s, const ExportEinstellungen &e, bool &ohneBegrenzer)
{
    if (e.festeBreite) {
        // fixed columns cannot hold a line break or a tab
        QString t = s;
        t.replace(QLatin1String("\r\n"), QLatin1String(" "));
        t.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
        t.replace(QLatin1Char('\t'), QLatin1Char(' '));
        if (t != s)
            ohneBegrenzer = false;
        return t;
    }
    if (e.begrenzer.isEmpty())
        return s;
    const bool noetig = (!e.trenner.isEmpty() && s.contains(e.trenner)) || s.contains(e.begrenzer)
                        || s.contains(QLatin1Char('\n')) || s.contains(QLatin1Char('\r'));
    if (!noetig)
        return s;
    QString t = s;
    t.replace(e.begrenzer, e.begrenzer + e.begrenzer);
    return e.begrenzer + t + e.begrenzer;
}

QString textExport(const ExportQuelle &q, const ExportEinstellungen &e, const Fortschritt &fs, bool &verlustfrei)
{
    const int spalten = int(q.titel.size());
    QList<int> breite(spalten, 0);
    auto zelle = [&](int z, int s) { return exportText(q.wert(z, s), e.formate); };
    if (e.festeBreite) {
        for (int s = 0; s < spalten; ++s)
            breite[s] = e.titelzeile ? int(q.titel[s].size()) : 0;
        for (int z = 0; z < q.zeilen; ++z)
            for (int s = 0; s < spalten; ++s)
                breite[s] = qMax(breite[s], int(zelle(z, s).size()));
    }
    QString out;
    auto satz = [&](const QStringList &felder, const QList<bool> &rechts) {
        for (int s = 0; s < felder.size(); ++s) {
            if (s > 0)
                out += e.trenner;
            QString f = feldText(felder[s], e, verlustfrei);
            if (e.festeBreite)
                f = rechts.value(s) ? f.rightJustified(breite[s]) : f.leftJustified(breite[s]);
            out += f;
        }
        out += e.satzende;
    };
    if (e.titelzeile)
        satz(q.titel, {});
    QStringList felder;
    QList<bool> rechts;
    for (int z = 0; z < q.zeilen; ++z) {
        felder.clear();
        rechts.clear();
        for (int s = 0; s < spalten; ++s) {
            const QVariant v = q.wert(z, s);
            felder << exportText(v, e.formate);
            rechts << istZahl(v);
        }
        satz(felder, rechts);
        fs(z + 1);
    }
    return out;
}

// ---- HTML ------------------------------------------------------------------------

QString htmlText(const QString &s)
{
    QString t = s.toHtmlEscaped();
    t.replace(QLatin1String("\r\n"), QLatin1String("<br>"));
    t.replace(QLatin1Char('\n'), QLatin1String("<br>"));
    return t;
}

QByteArray htmlExport(const ExportQuelle &q, const ExportEinstellungen &e, const Fortschritt &fs)
{
    QString out;
    out += QStringLiteral(
        "<!DOCTYPE html>\n<html lang=\"de\">\n<head>\n<meta charset=\"utf-8\">\n<title>Export</title>\n"
        "<style>\nbody { font-family: Arial, 'Liberation Sans', sans-serif; font-size: 10pt; }\n"
        "table { border-collapse: collapse; }\n"
        "th, td { border: 1px solid #b8c4b8; padding: 2px 6px; vertical-align: top; }\n"
        "th { background: #d8e0ea; text-align: left; }\n"
        "tr:nth-child(even) td { background: #e9f3e9; }\n"
        "td.n { text-align: right; white-space: nowrap; }\n</style>\n</head>\n<body>\n<table>\n<thead>\n<tr>");
    for (const QString &t : q.titel)
        out += QStringLiteral("<th>") + htmlText(t) + QStringLiteral("</th>");
    out += QStringLiteral("</tr>\n</thead>\n<tbody>\n");
    for (int z = 0; z < q.zeilen; ++z) {
        out += QStringLiteral("<tr>");
        for (int s = 0; s < q.titel.size(); ++s) {
            const QVariant v = q.wert(z, s);
            out += istZahl(v) ? QStringLiteral("<td class=\"n\">") : QStringLiteral("<td>");
            out += htmlText(exportText(v, e.formate)) + QStringLiteral("</td>");
        }
        out += QStringLiteral("</tr>\n");
        fs(z + 1);
    }
    out += QStringLiteral("</tbody>\n</table>\n</body>\n</html>\n");
    return out.toUtf8();
}

// ---- XML -------------------------------------------------------------------------

// XML 1.0 has no way to write most control characters; they are left out.
QString xmlText(const QString &s, bool &verlustfrei)
{
    QString t;
    t.reserve(s.size());
    for (QChar c : s) {
        const ushort u = c.unicode();
        if (u < 0x20 && u != 0x09 && u != 0x0A && u != 0x0D) {
            verlustfrei = false;
            continue;
        }
        if (u == 0xFFFE || u == 0xFFFF) {
            verlustfrei = false;
            continue;
        }
        t += c;
    }
    return t;
}

QByteArray xmlExport(const ExportQuelle &q, const ExportEinstellungen &e, const Fortschritt &fs, bool &verlustfrei)
{
    QByteArray out;
    QBuffer buf(&out);
    buf.open(QIODevice::WriteOnly);
    QXmlStreamWriter w(&buf);
    w.setAutoFormatting(true);
    w.setAutoFormattingIndent(2);
    w.writeStartDocument();
    w.writeStartElement(QStringLiteral("Export"));
    w.writeStartElement(QStringLiteral("Felder"));
    for (int s = 0; s < q.titel.size(); ++s) {
        w.writeEmptyElement(QStringLiteral("Feld"));
        w.writeAttribute(QStringLiteral("Nr"), QString::number(s + 1));
        w.writeAttribute(QStringLiteral("Name"), xmlText(q.titel[s], verlustfrei));
    }
    w.writeEndElement();
    w.writeStartElement(QStringLiteral("Datensaetze"));
    for (int z = 0; z < q.zeilen; ++z) {
        w.writeStartElement(QStringLiteral("Datensatz"));
        for (int s = 0; s < q.titel.size(); ++s) {
            w.writeStartElement(QStringLiteral("Feld"));
            w.writeAttribute(QStringLiteral("Name"), xmlText(q.titel[s], verlustfrei));
            w.writeCharacters(xmlText(exportText(q.wert(z, s), e.formate), verlustfrei));
            w.writeEndElement();
        }
        w.writeEndElement();
        fs(z + 1);
    }
    w.writeEndElement();
    w.writeEndElement();
    w.writeEndDocument();
    return out;
}

// ---- RTF -------------------------------------------------------------------------

QByteArray rtfText(const QString &s)
{
    QByteArray out;
    for (int i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        const ushort u = c.unicode();
        if (c == QLatin1Char('\\') || c == QLatin1Char('{') || c == QLatin1Char('}')) {
            out += '\\';
            out += char(u);
        } else if (c == QLatin1Char('\r')) {
            if (i + 1 < s.size() && s[i + 1] == QLatin1Char('\n'))
                ++i;
            out += "\\line ";
        } else if (c == QLatin1Char('\n')) {
            out += "\\line ";
        } else if (c == QLatin1Char('\t')) {
            out += "\\tab ";
        } else if (u < 0x20) {
            // other control characters have no meaning in a table cell
        } else if (u < 0x80) {
            out += char(u);
        } else {
            bool ok = false;
            const QByteArray b = encodeCp1252(QString(c), &ok);
            if (ok && b.size() == 1) {
                out += "\\'" + QByteArray::number(uchar(b[0]), 16).rightJustified(2, '0');
            } else {
                out += "\\u" + QByteArray::number(qint16(u)) + '?';
            }
        }
    }
    return out;
}

QList<double> anteile(const ExportQuelle &q, const ExportZahlenformate &f)
{
    // column shares by the longest text among the title and the first records
    QList<double> w;
    const int probe = qMin(q.zeilen, 200);
    for (int s = 0; s < q.titel.size(); ++s) {
        int len = int(q.titel[s].size());
        for (int z = 0; z < probe; ++z)
            len = qMax(len, int(exportText(q.wert(z, s), f).size()));
        w << double(qBound(4, len, 40));
    }
    return w;
}

QByteArray rtfExport(const ExportQuelle &q, const ExportEinstellungen &e, const Fortschritt &fs)
{
    const int spalten = int(q.titel.size());
    const bool quer = spalten > 6;
    const int papierB = quer ? 16838 : 11906, papierH = quer ? 11906 : 16838;
    const int rand = 1134; // 2 cm
    const int nutzbar = papierB - 2 * rand;
    const QList<double> w = anteile(q, e.formate);
    double summe = 0;
    for (double x : w)
        summe += x;
    QList<int> rechts;
    int pos = 0;
    for (int s = 0; s < spalten; ++s) {
        pos += qMax(240, int(nutzbar * w[s] / summe));
        rechts << pos;
    }
    QByteArray out;
    out += "{\\rtf1\\ansi\\ansicpg1252\\deff0\n{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}}\n"
           "{\\colortbl;\\red0\\green0\\blue0;\\red216\\green224\\blue234;\\red233\\green243\\blue233;}\n";
    out += "\\paperw" + QByteArray::number(papierB) + "\\paperh" + QByteArray::number(papierH);
    out += "\\margl" + QByteArray::number(rand) + "\\margr" + QByteArray::number(rand)
           + "\\margt" + QByteArray::number(rand) + "\\margb" + QByteArray::number(rand);
    if (quer)
        out += "\\landscape";
    out += "\n\\viewkind4\\uc1\\pard\\plain\\f0\\fs18\n";
    auto zeile = [&](const QStringList &felder, bool kopf, int farbe, const QList<bool> &zahl) {
        out += "\\trowd\\trgaph60\\trleft0";
        if (kopf)
            out += "\\trhdr";
        for (int s = 0; s < spalten; ++s) {
            out += "\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdrw10"
                   "\\clbrdrr\\brdrs\\brdrw10";
            if (farbe)
                out += "\\clcbpat" + QByteArray::number(farbe);
            out += "\\cellx" + QByteArray::number(rechts[s]);
        }
        out += '\n';
        for (int s = 0; s < spalten; ++s) {
            out += "\\pard\\intbl";
            out += zahl.value(s) ? "\\qr " : "\\ql ";
            if (kopf)
                out += "\\b ";
            out += rtfText(felder[s]);
            if (kopf)
                out += "\\b0";
            out += "\\cell\n";
        }
        out += "\\row\n";
    };
    zeile(q.titel, true, 2, {});
    QStringList felder;
    QList<bool> zahl;
    for (int z = 0; z < q.zeilen; ++z) {
        felder.clear();
        zahl.clear();
        for (int s = 0; s < spalten; ++s) {
            const QVariant v = q.wert(z, s);
            felder << exportText(v, e.formate);
            zahl << istZahl(v);
        }
        zeile(felder, false, z % 2 ? 3 : 0, zahl);
        fs(z + 1);
    }
    out += "\\pard\\par\n}\n";
    return out;
}

// ---- PDF -------------------------------------------------------------------------

QByteArray pdfExport(const ExportQuelle &q, const ExportEinstellungen &e, const Fortschritt &fs)
{
    const int spalten = int(q.titel.size());
    QFont schrift(QStringLiteral("Liberation Sans"));
    schrift.setStyleHint(QFont::SansSerif);
    schrift.setPointSizeF(8);
    QFont fett = schrift;
    fett.setBold(true);

    QByteArray out;
    QBuffer buf(&out);
    buf.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&buf);
    pdf.setCreator(QStringLiteral("TORVANEX"));
    pdf.setTitle(QStringLiteral("Export"));
    pdf.setResolution(300);

    // measured and painted in device pixels; pt converts points
    const double pt = pdf.resolution() / 72.0;
    QFontMetricsF fm(schrift, &pdf), fmf(fett, &pdf);
    QList<double> breite;
    const int probe = qMin(q.zeilen, 300);
    for (int s = 0; s < spalten; ++s) {
        double b = fmf.horizontalAdvance(q.titel[s]);
        for (int z = 0; z < probe; ++z)
            b = qMax(b, fm.horizontalAdvance(exportText(q.wert(z, s), e.formate).section(QLatin1Char('\n'), 0, 0)));
        breite << qBound(28.0 * pt, b + 8.0 * pt, 200.0 * pt);
    }
    double gesamt = 0;
    for (double b : breite)
        gesamt += b;
    const QMarginsF rand(36, 36, 36, 36); // points, half an inch
    const bool quer =
        gesamt > (QPageSize(QPageSize::A4).sizePoints().width() - rand.left() - rand.right()) * pt;
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), quer ? QPageLayout::Landscape : QPageLayout::Portrait,
                                  rand, QPageLayout::Point));

    QPainter p;
    if (!p.begin(&pdf))
        throw TvxError(QStringLiteral("Das PDF-Dokument konnte nicht angelegt werden."));
    const QRectF seite(0, 0, pdf.width(), pdf.height());

    // column groups that fit the page width; wide results continue on further pages
    QList<QPair<int, int>> gruppen;
    for (int s = 0; s < spalten;) {
        int bis = s;
        double b = 0;
        while (bis < spalten && (bis == s || b + breite[bis] <= seite.width())) {
            b += breite[bis];
            ++bis;
        }
        gruppen << qMakePair(s, bis);
        s = bis;
    }
    if (gruppen.isEmpty())
        gruppen << qMakePair(0, 0);

    const double zh = fm.height() * 1.45;
    const double fuss = zh * 1.5;
    const int jeSeite = qMax(1, int((seite.height() - fuss) / zh) - 1);
    int seitenNr = 0;
    bool erste = true;
    const int bloecke = qMax(1, (q.zeilen + jeSeite - 1) / jeSeite);
    for (int block = 0; block < bloecke; ++block) {
        const int von = block * jeSeite, bis = qMin(q.zeilen, von + jeSeite);
        for (const auto &g : std::as_const(gruppen)) {
            if (!erste)
                pdf.newPage();
            erste = false;
            ++seitenNr;
            double y = 0;
            double gruppenBreite = 0;
            for (int s = g.first; s < g.second; ++s)
                gruppenBreite += breite[s];
            // backgrounds per row, text per cell, the grid lines once per page
            auto zeile = [&](const QStringList &texte, const QList<bool> &rechts, const QColor &grund, bool kopf) {
                if (grund.isValid())
                    p.fillRect(QRectF(0, y, gruppenBreite, zh), grund);
                p.setFont(kopf ? fett : schrift);
                p.setPen(Qt::black);
                const QFontMetricsF &m = kopf ? fmf : fm;
                const double grundlinie = y + (zh - m.height()) / 2 + m.ascent();
                double x = 0;
                for (int s = g.first; s < g.second; ++s) {
                    QString t = texte[s];
                    if (t.contains(QLatin1Char('\n')) || t.contains(QLatin1Char('\r')))
                        t.replace(QLatin1String("\r\n"), QLatin1String(" "))
                            .replace(QLatin1Char('\n'), QLatin1Char(' '))
                            .replace(QLatin1Char('\r'), QLatin1Char(' '));
                    const double platz = breite[s] - 6 * pt;
                    double w = m.horizontalAdvance(t);
                    if (w > platz) {
                        t = m.elidedText(t, Qt::ElideRight, platz);
                        w = m.horizontalAdvance(t);
                    }
                    // a plain baseline position: far cheaper than a laid-out rectangle
                    const double tx = x + 3 * pt + (rechts.value(s) ? platz - w : 0);
                    p.drawText(QPointF(tx, grundlinie), t);
                    x += breite[s];
                }
                y += zh;
            };
            zeile(q.titel, {}, QColor(216, 224, 234), true);
            QStringList texte;
            QList<bool> rechts;
            for (int z = von; z < bis; ++z) {
                texte.clear();
                rechts.clear();
                for (int s = 0; s < spalten; ++s) {
                    if (s < g.first || s >= g.second) {
                        texte << QString();
                        rechts << false;
                        continue;
                    }
                    const QVariant v = q.wert(z, s);
                    texte << exportText(v, e.formate);
                    rechts << istZahl(v);
                }
                zeile(texte, rechts, z % 2 ? QColor(233, 243, 233) : QColor(), false);
            }
            p.setPen(QPen(QColor(184, 196, 184), 0.5 * pt));
            for (double ly = 0; ly <= y + 0.01; ly += zh)
                p.drawLine(QPointF(0, ly), QPointF(gruppenBreite, ly));
            double lx = 0;
            p.drawLine(QPointF(0, 0), QPointF(0, y));
            for (int s = g.first; s < g.second; ++s) {
                lx += breite[s];
                p.drawLine(QPointF(lx, 0), QPointF(lx, y));
            }
            p.setFont(schrift);
            p.setPen(Qt::darkGray);
            p.drawText(QRectF(0, seite.height() - fm.height(), seite.width(), fm.height()),
                       Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("Seite %1").arg(seitenNr));
        }
        fs(bis, true);
    }
    p.end();
    return out;
}

// ---- XLSX ------------------------------------------------------------------------

QString xlsxFehler(lxw_error rc)
{
    return QString::fromUtf8(lxw_strerror(rc));
}

void xlsxExport(const ExportQuelle &q, const ExportEinstellungen &e, const Fortschritt &fs,
                const QString &ziel, bool &verlustfrei)
{
    constexpr int kMaxZeilen = 1048576;
    constexpr int kMaxSpalten = 16384;
    constexpr int kMaxText = 32767;
    if (q.zeilen + 1 > kMaxZeilen || q.titel.size() > kMaxSpalten)
        throw TvxError(QStringLiteral("Eine Excel-Tabelle fasst höchstens %1 Zeilen und %2 Spalten.")
                           .arg(kMaxZeilen - 1)
                           .arg(kMaxSpalten));
    // The library prints numbers with the C runtime's printf, which follows
    // LC_NUMERIC: under a German locale 1.5 would become "1,5" in the sheet XML.
    struct CZahlen {
        QByteArray alt;
        CZahlen()
        {
            const char *l = setlocale(LC_NUMERIC, nullptr);
            alt = l ? QByteArray(l) : QByteArray("C");
            setlocale(LC_NUMERIC, "C");
        }
        ~CZahlen() { setlocale(LC_NUMERIC, alt.constData()); }
    } cZahlen;
    QTemporaryDir tmp;
    if (!tmp.isValid())
        throw TvxError(QStringLiteral("Kein Platz für temporäre Dateien: %1").arg(tmp.errorString()));
    const QByteArray tmpdir = QFile::encodeName(tmp.path());
    lxw_workbook_options opt{};
    opt.constant_memory = LXW_TRUE; // rows go to disk as they are written
    opt.tmpdir = const_cast<char *>(tmpdir.constData());
    opt.use_zip64 = LXW_TRUE;
    const QByteArray pfad = QFile::encodeName(ziel);
    lxw_workbook *wb = workbook_new_opt(pfad.constData(), &opt);
    if (!wb)
        throw TvxError(QStringLiteral("Die Excel-Datei konnte nicht angelegt werden."));
    bool geschlossen = false;
    struct Schliessen {
        lxw_workbook *wb;
        bool &geschlossen;
        ~Schliessen()
        {
            if (!geschlossen)
                workbook_close(wb);
        }
    } schliessen{wb, geschlossen};

    lxw_worksheet *ws = workbook_add_worksheet(wb, "Export");
    lxw_format *kopf = workbook_add_format(wb);
    format_set_bold(kopf);
    format_set_bg_color(kopf, 0xD8E0EA);
    format_set_bottom(kopf, LXW_BORDER_THIN);
    lxw_format *datum = workbook_add_format(wb);
    format_set_num_format(datum, "dd.mm.yyyy");
    lxw_format *datumZeit = workbook_add_format(wb);
    format_set_num_format(datumZeit, "dd.mm.yyyy hh:mm:ss");
    lxw_format *zeit = workbook_add_format(wb);
    format_set_num_format(zeit, "hh:mm:ss");
    lxw_format *betrag = workbook_add_format(wb);
    const QByteArray betragFormat = (QStringLiteral("#,##0.00 \"") + e.formate.waehrung + QStringLiteral("\"")).toUtf8();
    format_set_num_format(betrag, betragFormat.constData());
    lxw_format *umbruch = workbook_add_format(wb);
    format_set_text_wrap(umbruch);

    const int spalten = int(q.titel.size());
    QList<double> breite;
    const int probe = qMin(q.zeilen, 200);
    for (int s = 0; s < spalten; ++s) {
        int len = int(q.titel[s].size());
        for (int z = 0; z < probe; ++z)
            len = qMax(len, int(exportText(q.wert(z, s), e.formate).section(QLatin1Char('\n'), 0, 0).size()));
        worksheet_set_column(ws, lxw_col_t(s), lxw_col_t(s), qBound(6, len + 2, 60), nullptr);
    }
    auto text = [&](int z, int s, QString t, lxw_format *fmt) {
        if (t.size() > kMaxText) {
            t.truncate(kMaxText);
            verlustfrei = false;
        }
        const QByteArray u = t.toUtf8();
        return worksheet_write_string(ws, lxw_row_t(z), lxw_col_t(s), u.constData(), fmt);
    };
    for (int s = 0; s < spalten; ++s)
        text(0, s, q.titel[s], kopf);
    if (spalten > 0)
        worksheet_freeze_panes(ws, 1, 0);
    for (int z = 0; z < q.zeilen; ++z) {
        const int r = z + 1;
        for (int s = 0; s < spalten; ++s) {
            const QVariant v = q.wert(z, s);
            lxw_error rc = LXW_NO_ERROR;
            if (v.isNull() || !v.isValid()) {
                continue;
            } else if (v.metaType().id() == QMetaType::Bool) {
                rc = worksheet_write_boolean(ws, lxw_row_t(r), lxw_col_t(s), v.toBool() ? 1 : 0, nullptr);
            } else if (istZahl(v)) {
                const double d = v.toDouble();
                if (!std::isfinite(d))
                    rc = text(r, s, exportText(v, e.formate), nullptr);
                else
                    rc = worksheet_write_number(ws, lxw_row_t(r), lxw_col_t(s), d,
                                                istGleitkomma(v) && e.formate.alsBetrag ? betrag : nullptr);
            } else if (v.metaType().id() == QMetaType::QDateTime || v.metaType().id() == QMetaType::QDate) {
                const QDateTime t = v.metaType().id() == QMetaType::QDate ? QDateTime(v.toDate(), QTime(0, 0))
                                                                           : v.toDateTime();
                if (!t.isValid() || t.date().year() < 1900) {
                    // Excel has no dates before 1900 (the zero date 1899-12-30 among them)
                    rc = text(r, s, exportText(v, e.formate), nullptr);
                } else {
                    lxw_datetime dt{t.date().year(), t.date().month(), t.date().day(), t.time().hour(),
                                    t.time().minute(), t.time().second() + t.time().msec() / 1000.0};
                    rc = worksheet_write_datetime(ws, lxw_row_t(r), lxw_col_t(s), &dt,
                                                  t.time() == QTime(0, 0) ? datum : datumZeit);
                }
            } else if (v.metaType().id() == QMetaType::QTime) {
                const QTime t = v.toTime();
                lxw_datetime dt{0, 0, 0, t.hour(), t.minute(), t.second() + t.msec() / 1000.0};
                rc = worksheet_write_datetime(ws, lxw_row_t(r), lxw_col_t(s), &dt, zeit);
            } else {
                const QString t = exportText(v, e.formate);
                rc = text(r, s, t, t.contains(QLatin1Char('\n')) ? umbruch : nullptr);
            }
            if (rc != LXW_NO_ERROR && rc != LXW_ERROR_MAX_STRING_LENGTH_EXCEEDED)
                throw TvxError(QStringLiteral("Excel-Export: %1").arg(xlsxFehler(rc)));
        }
        fs(z + 1);
    }
    geschlossen = true;
    const lxw_error rc = workbook_close(wb);
    if (rc != LXW_NO_ERROR)
        throw TvxError(QStringLiteral("Die Excel-Datei konnte nicht geschrieben werden: %1").arg(xlsxFehler(rc)));
}

// ---- files -------------------------------------------------------------------------

[[noreturn]] void nichtSchreibbar(const QString &datei, const QString &grund)
{
    throw TvxError(QStringLiteral("Die Datei „%1“ kann nicht geschrieben werden:\n%2")
                       .arg(QDir::toNativeSeparators(datei), grund));
}

void zielPruefen(const QString &datei)
{
    if (datei.trimmed().isEmpty())
        throw TvxError(QStringLiteral("Es ist keine Zieldatei angegeben."));
    const QFileInfo fi(datei);
    if (fi.isDir())
        nichtSchreibbar(datei, QStringLiteral("Unter diesem Namen gibt es einen Ordner."));
    if (!fi.absoluteDir().exists())
        nichtSchreibbar(datei, QStringLiteral("Der Ordner „%1“ existiert nicht.")
                                   .arg(QDir::toNativeSeparators(fi.absolutePath())));
}

void dateiSchreiben(const QString &datei, const QByteArray &daten)
{
    QSaveFile f(datei);
    if (!f.open(QIODevice::WriteOnly))
        nichtSchreibbar(datei, f.errorString());
    if (f.write(daten) != daten.size()) {
        const QString grund = f.errorString();
        f.cancelWriting();
        nichtSchreibbar(datei, grund);
    }
    if (!f.commit())
        nichtSchreibbar(datei, f.errorString());
    QFile::setPermissions(datei, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

} // namespace

QString exportZahl(double wert, const ExportZahlenformate &f)
{
    if (!std::isfinite(wert))
        return QString::number(wert);
    const bool negativ = std::signbit(wert) && wert != 0.0;
    const QString roh = f.alsBetrag ? QString::number(std::fabs(wert), 'f', 2)
                                    : QString::number(std::fabs(wert), 'f', QLocale::FloatingPointShortest);
    const int punkt = int(roh.indexOf(QLatin1Char('.')));
    const QString ganz = punkt < 0 ? roh : roh.left(punkt);
    const QString bruch = punkt < 0 ? QString() : roh.mid(punkt + 1);
    QString out = gruppiert(ganz, f.tausender);
    if (!bruch.isEmpty())
        out += f.dezimal + bruch;
    const bool nichtNull = std::any_of(out.cbegin(), out.cend(), [](QChar c) { return c >= u'1' && c <= u'9'; });
    if (negativ && nichtNull)
        out.prepend(QLatin1Char('-'));
    if (f.alsBetrag)
        out += QLatin1Char(' ') + f.waehrung;
    return out;
}

QString exportText(const QVariant &wert, const ExportZahlenformate &f)
{
    if (!wert.isValid() || wert.isNull())
        return {};
    switch (wert.metaType().id()) {
    case QMetaType::Bool:
        return wert.toBool() ? f.wahr : f.falsch;
    case QMetaType::Double:
    case QMetaType::Float:
        return exportZahl(wert.toDouble(), f);
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        return wert.toString();
    case QMetaType::QDate:
        return wert.toDate().toString(f.datumsformat);
    case QMetaType::QTime:
        return wert.toTime().toString(f.zeitformat);
    case QMetaType::QDateTime: {
        const QDateTime t = wert.toDateTime();
        if (!t.isValid())
            return {};
        if (t.time() == QTime(0, 0))
            return t.date().toString(f.datumsformat);
        return t.date().toString(f.datumsformat) + QLatin1Char(' ') + t.time().toString(f.zeitformat);
    }
    case QMetaType::QByteArray:
        return QString::fromLatin1(wert.toByteArray().toHex());
    default:
        return wert.toString();
    }
}

QString exportEndung(ExportFormat format)
{
    switch (format) {
    case ExportFormat::Text: return QStringLiteral("TXT");
    case ExportFormat::Csv: return QStringLiteral("csv");
    case ExportFormat::Html: return QStringLiteral("html");
    case ExportFormat::Xml: return QStringLiteral("xml");
    case ExportFormat::Xlsx: return QStringLiteral("xlsx");
    case ExportFormat::Rtf: return QStringLiteral("rtf");
    case ExportFormat::Pdf: return QStringLiteral("pdf");
    case ExportFormat::Zwischenablage: return {};
    }
    return {};
}

QString exportFormatName(ExportFormat format)
{
    switch (format) {
    case ExportFormat::Text: return QStringLiteral("Text");
    case ExportFormat::Csv: return QStringLiteral("CSV (Excel, Semikolon)");
    case ExportFormat::Html: return QStringLiteral("HTML");
    case ExportFormat::Xml: return QStringLiteral("XML");
    case ExportFormat::Xlsx: return QStringLiteral("Excel (.xlsx)");
    case ExportFormat::Rtf: return QStringLiteral("RTF (Word)");
    case ExportFormat::Pdf: return QStringLiteral("PDF");
    case ExportFormat::Zwischenablage: return QStringLiteral("Zwischenablage");
    }
    return {};
}

QByteArray exportDaten(const ExportQuelle &quelle, const ExportEinstellungen &e,
                       const ExportFortschritt &fortschritt, ExportErgebnis &ergebnis)
{
    const Fortschritt fs{fortschritt};
    ergebnis = {};
    try {
        QByteArray out;
        switch (e.format) {
        case ExportFormat::Text:
        case ExportFormat::Csv:
        case ExportFormat::Zwischenablage: {
            const QString t = textExport(quelle, e, fs, ergebnis.verlustfrei);
            if (e.ansi && e.format != ExportFormat::Zwischenablage) {
                bool ok = true;
                out = encodeCp1252(t, &ok);
                ergebnis.verlustfrei = ergebnis.verlustfrei && ok;
            } else {
                out = t.toUtf8();
            }
            break;
        }
        case ExportFormat::Html:
            out = htmlExport(quelle, e, fs);
            break;
        case ExportFormat::Xml:
            out = xmlExport(quelle, e, fs, ergebnis.verlustfrei);
            break;
        case ExportFormat::Rtf:
            out = rtfExport(quelle, e, fs);
            break;
        case ExportFormat::Pdf:
            out = pdfExport(quelle, e, fs);
            break;
        case ExportFormat::Xlsx:
            throw TvxError(QStringLiteral("Excel-Dateien entstehen nur als Datei."));
        }
        ergebnis.zeilen = quelle.zeilen;
        return out;
    } catch (const Abbruch &) {
        ergebnis.abgebrochen = true;
        return {};
    }
}

ExportErgebnis exportieren(const ExportQuelle &quelle, const ExportEinstellungen &e,
                           const ExportFortschritt &fortschritt)
{
    ExportErgebnis ergebnis;
    if (e.format == ExportFormat::Zwischenablage) {
        ExportEinstellungen t = e;
        t.trenner = QStringLiteral("\t");
        t.festeBreite = false;
        const QByteArray utf8 = exportDaten(quelle, t, fortschritt, ergebnis);
        if (!ergebnis.abgebrochen)
            QGuiApplication::clipboard()->setText(QString::fromUtf8(utf8));
        return ergebnis;
    }
    zielPruefen(e.datei);
    if (e.format == ExportFormat::Xlsx) {
        // the workbook is built in a scratch folder and only then put in place
        QTemporaryDir arbeit;
        if (!arbeit.isValid())
            throw TvxError(QStringLiteral("Kein Platz für temporäre Dateien: %1").arg(arbeit.errorString()));
        const QString teil = arbeit.filePath(QStringLiteral("export.xlsx"));
        try {
            xlsxExport(quelle, e, Fortschritt{fortschritt}, teil, ergebnis.verlustfrei);
        } catch (const Abbruch &) {
            ergebnis.abgebrochen = true;
            return ergebnis;
        }
        QFile f(teil);
        if (!f.open(QIODevice::ReadOnly))
            nichtSchreibbar(e.datei, f.errorString());
        dateiSchreiben(e.datei, f.readAll());
        ergebnis.zeilen = quelle.zeilen;
        return ergebnis;
    }
    const QByteArray daten = exportDaten(quelle, e, fortschritt, ergebnis);
    if (ergebnis.abgebrochen)
        return ergebnis;
    dateiSchreiben(e.datei, daten);
    return ergebnis;
}
