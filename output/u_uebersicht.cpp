#include "output/u_uebersicht.h"

#include "app/core/u_global.h"
#include "data/u_dm_datenbank.h"
#include "output/u_pdfmail.h"
#include "output/u_storno.h"
#include "output/udm_rechnungen.h"
#include "platform/core/clock.h"
#include "platform/core/guarded.h"
#include "platform/core/radiogroup.h"
#include "platform/dataset/datagrid.h"
#include "platform/dataset/dataset.h"
#include "platform/dataset/datasetmodel.h"
#include "platform/sql/sqlutil.h"

#include <QEvent>
#include <QFont>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

const char *const SQL_qry_rechnungen_uebersicht =
    "select Artikelpositionen.Firma, Artikelpositionen.Rechnungsdatum, Artikelpositionen.Periode_re, "
    "Artikelpositionen.Rechnung_nr, Artikelpositionen.Kunde, Artikelpositionen.Name_EKU, Kundenstamm.Name_KU, "
    "Artikelpositionen.Status, Artikelpositionen.ZahlungsStatus, Artikelpositionen.Hinweis, "
    "Artikelpositionen.Farbmarkierung, MAX(Artikelpositionen.ZahlungBis) as ZahlungBis, "
    "MAX(Artikelpositionen.Rechnungsbetrag) as Rechnungsbetrag, "
    "MAX(Artikelpositionen.Rechnungsbetrag_Bezahlt) as Rechnungsbetrag_Bezahlt, "
    "MAX(Artikelpositionen.BezahltAm) as BezahltAm, "
    "RTRIM(LTRIM(coalesce(Artikelpositionen.Name_EKU, ''))) || RTRIM(LTRIM(coalesce(Kundenstamm.Name_KU, ''))) as KANU "
    "from Artikelpositionen inner join Kundenstamm on Kundenstamm.Firma = Artikelpositionen.Firma "
    "and Kundenstamm.Kunde = Artikelpositionen.Kunde "
    "where Artikelpositionen.Firma = :pfirma and Artikelpositionen.Rechnung_nr <> 0 "
    "and Artikelpositionen.Status >= 50 and Artikelpositionen.Rechnungsdatum >= :pdatum "
    "group by Artikelpositionen.Firma, Artikelpositionen.Rechnungsdatum, Artikelpositionen.Periode_re, "
    "Artikelpositionen.Rechnung_nr, Artikelpositionen.Kunde, Artikelpositionen.Name_EKU, Artikelpositionen.Status, "
    "Artikelpositionen.ZahlungsStatus, Artikelpositionen.Hinweis, Artikelpositionen.Farbmarkierung, "
    "Kundenstamm.Name_KU "
    "order by Artikelpositionen.Firma, Artikelpositionen.Periode_re desc, Artikelpositionen.Rechnung_nr desc";

const char *const SQL_qry_rechnung_update =
    "update Artikelpositionen set Farbmarkierung = :pmarker where Firma = :pfirma and Periode_re = :pperiode "
    "and Rechnung_nr = :prechnung";

namespace {
const QColor kPanelOben(9, 59, 144);
const QColor kPanelUnten(92, 131, 208);
const QColor kGridHintergrund(84, 136, 194);

// The marker colours in value order 1..7.
const QColor kMarker[7] = {QColor(0, 160, 60),   QColor(255, 120, 120), QColor(255, 170, 210), QColor(150, 40, 160),
                           QColor(210, 0, 0),    QColor(245, 210, 0),   QColor(30, 90, 230)};

class TVerlaufPanel : public QFrame {
public:
    using QFrame::QFrame;

protected:
    void paintEvent(QPaintEvent *e) override
    {
        QPainter p(this);
        QLinearGradient g(0, 0, 0, height());
        g.setColorAt(0, kPanelOben);
        g.setColorAt(1, kPanelUnten);
        p.fillRect(rect(), g);
        QFrame::paintEvent(e);
    }
};

template <class T> T *benannt(T *w, const char *name)
{
    w->setObjectName(QLatin1String(name));
    return w;
}
} // namespace

const QList<QPixmap> &TUebersicht::il_bullets()
{
    static const QList<QPixmap> liste = [] {
        QList<QPixmap> l;
        for (const QColor &c : kMarker) {
            QPixmap pm(16, 16);
            pm.fill(Qt::transparent);
            QPainter p(&pm);
            p.setRenderHint(QPainter::Antialiasing);
            QRadialGradient g(QPointF(6, 5), 9);
            g.setColorAt(0, c.lighter(160));
            g.setColorAt(1, c);
            p.setBrush(g);
            p.setPen(QPen(c.darker(150), 1));
            p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
            l << pm;
        }
        return l;
    }();
    return liste;
}

TUebersicht::TUebersicht(QWidget *ts_uebersicht) : QObject(ts_uebersicht), m_seite(ts_uebersicht)
{
    auto *haupt = new QHBoxLayout(m_seite);
    haupt->setContentsMargins(0, 0, 0, 0);
    haupt->setSpacing(0);

    pnl_auswahl_re = benannt(new TVerlaufPanel(m_seite), "pnl_auswahl_re");
    pnl_auswahl_re->setFixedWidth(161);
    auto *links = new QVBoxLayout(pnl_auswahl_re);
    links->setContentsMargins(5, 8, 5, 8);
    links->setSpacing(5);
    auto knopf = [&](const char *name, const QString &caption) {
        auto *b = benannt(new QPushButton(caption, pnl_auswahl_re), name);
        links->addWidget(b);
        return b;
    };
    btn_rechnung_vorschau = knopf("btn_rechnung_vorschau", QStringLiteral("Rechnung Vorschau"));
    btn_rechnung_drucken = knopf("btn_rechnung_drucken", QStringLiteral("Rechnung drucken"));
    btn_email_re = knopf("btn_email_re", QStringLiteral("Rechnung mailen"));
    btn_pdf_re = knopf("btn_pdf_re", QStringLiteral("PDF erzeugen"));
    btn_xrechnung_re = knopf("btn_xrechnung_re", QStringLiteral("XRechnung"));
    btn_storno = knopf("btn_storno", QStringLiteral("Storno erzeugen"));
    links->addSpacing(14);

    // marker lines: legend edit, then its picture
    struct Zeile {
        const char *edit, *bild, *deutsch;
    };
    const Zeile zeilen[8] = {{"ed_markergruen", "im_gruen", "Bezahlt"},        {"ed_markerrot1", "im_hellrotl", "1 Mahnung"},
                             {"ed_markerrot2", "im_rosal", "2 Mahnung"},       {"ed_markerrot3", "im_purpurl", "3 Mahnung"},
                             {"ed_markerrot", "Image5", "Uneinbringbar"},     {"ed_markergelb", "Image7", "Sonstiges 1"},
                             {"ed_markerblau", "Image10", "Sonstiges 2"},     {"ed_markerneutral", "Panel9", "Neutral"}};
    QFont arial(QStringLiteral("Arial"));
    arial.setPointSize(9);
    for (int i = 0; i < 8; ++i) {
        QLineEdit *ed = m_seite->findChild<QLineEdit *>(QLatin1String(zeilen[i].edit), Qt::FindDirectChildrenOnly);
        if (!ed) {
            ed = benannt(new QLineEdit(QString::fromUtf8(zeilen[i].deutsch)), zeilen[i].edit);
        }
        ed->setParent(pnl_auswahl_re);
        ed->setFrame(false);
        ed->setFont(arial);
        ed->setStyleSheet(QStringLiteral("QLineEdit { border: none; background: transparent; color: white; }"));
        ed->setVisible(true);
        legenden << ed;
        auto *zeile = new QHBoxLayout;
        zeile->setSpacing(4);
        zeile->addWidget(ed, 1);
        if (i < 7) {
            auto *bild = benannt(new QLabel(pnl_auswahl_re), zeilen[i].bild);
            bild->setPixmap(il_bullets().at(i));
            bild->setFixedSize(16, 16);
            bild->setProperty("Tag", i + 1);
            bild->setToolTip(QStringLiteral("Doppelklick: Markierung der gewählten Rechnung setzen"));
            bild->installEventFilter(this);
            bilder << bild;
            zeile->addWidget(bild);
        } else {
            Panel9 = benannt(new QFrame(pnl_auswahl_re), "Panel9");
            Panel9->setFixedSize(16, 16);
            Panel9->setAutoFillBackground(true);
            Panel9->setStyleSheet(QStringLiteral("QFrame#Panel9 { background: white; border: 1px solid rgb(60, 60, 60); }"));
            Panel9->setProperty("Tag", 0);
            Panel9->setToolTip(QStringLiteral("Doppelklick: Markierung der gewählten Rechnung entfernen"));
            Panel9->installEventFilter(this);
            zeile->addWidget(Panel9);
        }
        links->addLayout(zeile);
    }
    links->addStretch(1);
    rg_anzeige_re = benannt(new TRadioGroup(QStringLiteral("Rechnungen anzeigen"), pnl_auswahl_re), "rg_anzeige_re");
    rg_anzeige_re->setItems({QStringLiteral("Alle Rechnungen"), QStringLiteral("jünger als 6 Monate")});
    rg_anzeige_re->setItemIndex(1);
    // white captions on the panel; the radio marks keep their dark dot (a style
    // sheet colour would paint the dot white on white)
    QPalette weiss = rg_anzeige_re->palette();
    weiss.setColor(QPalette::WindowText, Qt::white);
    rg_anzeige_re->setPalette(weiss);
    QFont klein = rg_anzeige_re->font();
    klein.setPointSize(8);
    rg_anzeige_re->setFont(klein);
    if (rg_anzeige_re->layout())
        rg_anzeige_re->layout()->setContentsMargins(2, 2, 2, 2);
    links->addWidget(rg_anzeige_re);
    haupt->addWidget(pnl_auswahl_re);

    auto *rechts = new QWidget(m_seite);
    rechts->setAutoFillBackground(true);
    QPalette pal = rechts->palette();
    pal.setColor(QPalette::Window, kGridHintergrund);
    rechts->setPalette(pal);
    auto *rl = new QVBoxLayout(rechts);
    rl->setContentsMargins(4, 4, 4, 4);

    qry_rechnungen_uebersicht = new Dataset(dm_datenbank ? dm_datenbank->Datenbank_Verbindung.db() : QSqlDatabase(), this);
    qry_rechnungen_uebersicht->setObjectName(QStringLiteral("qry_rechnungen_uebersicht"));
    qry_rechnungen_uebersicht->setSql(QString::fromLatin1(SQL_qry_rechnungen_uebersicht));

    gr_rechnungen = benannt(new DataGrid(rechts), "gr_rechnungen");
    gr_rechnungen->setDataset(qry_rechnungen_uebersicht,
                              {{QStringLiteral("Farbmarkierung"), QStringLiteral("M"), {}, 24},
                               {QStringLiteral("Rechnungsdatum"), QStringLiteral("Datum"), QStringLiteral("dd.mm.yyyy"), 70},
                               {QStringLiteral("Rechnung_nr"), QStringLiteral("Rech.Nr."), {}, 54},
                               {QStringLiteral("Kunde"), QStringLiteral("Kunde"), {}, 55},
                               {QStringLiteral("Name_KU"), QStringLiteral("Kundenname"), {}, 213},
                               {QStringLiteral("Rechnungsbetrag"), QStringLiteral("Re.betrag"), QStringLiteral(",0.00;-,0.00"), 67},
                               {QStringLiteral("Hinweis"), QStringLiteral("Hinweis"), {}, 225}});
    gr_rechnungen->setShowGrid(true);
    gr_rechnungen->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    gr_rechnungen->horizontalHeader()->setFixedHeight(17 + 4);
    gr_rechnungen->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    gr_rechnungen->verticalHeader()->setMinimumSectionSize(17);
    gr_rechnungen->verticalHeader()->setDefaultSectionSize(17);
    // the highlight marks the current line; Hinweis takes the room the others leave
    gr_rechnungen->verticalHeader()->setVisible(false);
    gr_rechnungen->horizontalHeader()->setStretchLastSection(true);
    gr_rechnungen->setCellPainter(0, [](QPainter *p, const QStyleOptionViewItem &opt, const QModelIndex &index) {
        // the number itself is never shown, only its bullet
        const bool gewaehlt = opt.state & QStyle::State_Selected;
        p->fillRect(opt.rect, gewaehlt ? opt.palette.highlight() : opt.backgroundBrush.style() != Qt::NoBrush
                                                                        ? opt.backgroundBrush
                                                                        : opt.palette.base());
        const int wert = index.data(DatasetModel::FieldValueRole).toInt();
        if (wert >= 1 && wert <= il_bullets().size())
            p->drawPixmap(opt.rect.left() + 4, opt.rect.top() + 1, il_bullets().at(wert - 1));
        return true;
    });
    rl->addWidget(gr_rechnungen);
    haupt->addWidget(rechts, 1);

    connect(rg_anzeige_re, &TRadioGroup::clicked, this, [this] { guarded([this] { Oeffnen(); }); });
    connect(btn_rechnung_vorschau, &QPushButton::clicked, this, [this] { guarded([this] { btn_rechnung_vorschauClick(); }); });
    connect(btn_rechnung_drucken, &QPushButton::clicked, this, [this] { guarded([this] { btn_rechnung_druckenClick(); }); });
    connect(btn_pdf_re, &QPushButton::clicked, this, [this] { guarded([this] { btn_pdf_reClick(); }); });
    connect(btn_xrechnung_re, &QPushButton::clicked, this, [this] { guarded([this] { btn_xrechnung_reClick(); }); });
    connect(btn_email_re, &QPushButton::clicked, this, [this] { guarded([this] { btn_email_reClick(); }); });
    connect(btn_storno, &QPushButton::clicked, this, [this] { guarded([this] { btn_stornoClick(); }); });
}

TUebersicht::~TUebersicht() = default;

bool TUebersicht::eventFilter(QObject *o, QEvent *e)
{
    if (e->type() == QEvent::MouseButtonDblClick && (o == Panel9 || bilder.contains(qobject_cast<QLabel *>(o)))) {
        const int wert = o->property("Tag").toInt();
        guarded([this, wert] { MarkerSetzen(wert); });
        return true;
    }
    return QObject::eventFilter(o, e);
}

void TUebersicht::Oeffnen()
{
    Dataset &q = *qry_rechnungen_uebersicht;
    q.close();
    if (dm_datenbank)
        q.setDatabase(dm_datenbank->Datenbank_Verbindung.db());
    q.setParam(QStringLiteral("pfirma"), AktuelleFirma);
    const QDate datum = rg_anzeige_re->itemIndex() == 1 ? Clock::today().addDays(-180) : QDate(1899, 12, 30);
    q.setParam(QStringLiteral("pdatum"), datum);
    q.open();
    spaltenbreitenPruefen();
}

void TUebersicht::spaltenbreitenPruefen()
{
    // dates and titles (they change with the language) stay readable whatever
    // the font, also after a reopening has given the grid its designed widths
    QHeaderView *kopf = gr_rechnungen->horizontalHeader();
    for (int i = 1; i < kopf->count(); ++i) {
        int breite = kopf->sectionSizeHint(i);
        if (i == 1)
            breite = qMax(breite, gr_rechnungen->fontMetrics().horizontalAdvance(QStringLiteral("00.00.0000")) + 10);
        if (breite > gr_rechnungen->columnWidth(i))
            gr_rechnungen->setColumnWidth(i, breite);
    }
}

bool TUebersicht::zeileDa() const
{
    return qry_rechnungen_uebersicht->isOpen() && !qry_rechnungen_uebersicht->isEmpty();
}

void TUebersicht::MarkerSetzen(int wert)
{
    if (!zeileDa())
        return;
    Dataset &q = *qry_rechnungen_uebersicht;
    const int zeile = q.row();
    const QVariantList schluessel{q.value(QStringLiteral("Firma")), q.value(QStringLiteral("Periode_re")),
                                  q.value(QStringLiteral("Rechnung_nr"))};
    execSql(dm_datenbank->Datenbank_Verbindung.db(), QString::fromLatin1(SQL_qry_rechnung_update),
            {{QStringLiteral("pmarker"), wert},
             {QStringLiteral("pfirma"), schluessel[0]},
             {QStringLiteral("pperiode"), schluessel[1]},
             {QStringLiteral("prechnung"), schluessel[2]}});
    q.close();
    q.open();
    spaltenbreitenPruefen();
    if (q.isEmpty())
        return;
    // lines of the invoice that now agree have merged: back to the invoice itself
    if (!q.locate(QStringLiteral("Firma;Periode_re;Rechnung_nr"), schluessel))
        q.setRow(qMin(zeile, q.recordCount() - 1));
}

void TUebersicht::ausgeben(bool bildschirm)
{
    if (!zeileDa())
        return;
    Dataset &q = *qry_rechnungen_uebersicht;
    TRechnungsausgabe a = TRechnungsausgabe::Druckeinstellungen();
    a.suffixW = true;
    a.drucken = true;
    a.bildschirm = bildschirm;
    RechnungAusgeben(q.asInteger(QStringLiteral("Firma")), q.asInteger(QStringLiteral("Periode_re")),
                     q.asInteger(QStringLiteral("Rechnung_nr")), a);
}

void TUebersicht::btn_rechnung_vorschauClick() { ausgeben(true); }

void TUebersicht::btn_rechnung_druckenClick() { ausgeben(false); }

void TUebersicht::btn_pdf_reClick()
{
    if (!zeileDa())
        return;
    Dataset &q = *qry_rechnungen_uebersicht;
    PdfErzeugen(q.asInteger(QStringLiteral("Firma")), q.asInteger(QStringLiteral("Periode_re")),
                q.asInteger(QStringLiteral("Rechnung_nr")));
}

void TUebersicht::btn_xrechnung_reClick()
{
    if (!zeileDa())
        return;
    Dataset &q = *qry_rechnungen_uebersicht;
    XRechnungErzeugen(q.asInteger(QStringLiteral("Firma")), q.asInteger(QStringLiteral("Periode_re")),
                      q.asInteger(QStringLiteral("Rechnung_nr")));
}

void TUebersicht::btn_email_reClick()
{
    if (!zeileDa())
        return;
    Dataset &q = *qry_rechnungen_uebersicht;
    RechnungPerMail(q.asInteger(QStringLiteral("Firma")), q.asInteger(QStringLiteral("Periode_re")),
                    q.asInteger(QStringLiteral("Rechnung_nr")), q.asInteger(QStringLiteral("Kunde")));
}

void TUebersicht::btn_stornoClick()
{
    if (!zeileDa())
        return;
    Dataset &q = *qry_rechnungen_uebersicht;
    if (::btn_stornoClick(q.asInteger(QStringLiteral("Firma")), q.asInteger(QStringLiteral("Periode_re")),
                          q.asInteger(QStringLiteral("Rechnung_nr")))) {
        q.close();
        q.open();
        spaltenbreitenPruefen();
    }
}
