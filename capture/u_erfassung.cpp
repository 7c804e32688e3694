#include "capture/u_erfassung.h"

#include "app/core/u_global.h"
#include "app/core/u_strings.h"
#include "capture/u_geld.h"
#include "data/u_dm_datenbank.h"
#include "platform/core/clock.h"
#include "platform/core/dialogs.h"
#include "platform/core/errors.h"
#include "platform/core/focuscolor.h"
#include "platform/core/guarded.h"
#include "platform/dataset/dataset.h"
#include "platform/dataset/datasetmodel.h"
#include "platform/dataset/displayformat.h"
#include "platform/dataset/fieldbinding.h"
#include "platform/sql/sqlutil.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFocusEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

TErfassung *erfassung = nullptr;

const QString TErfassung::SQL_qry_rechnungerfassen_loeschen = QStringLiteral("delete  from Artikelpositionen");

namespace {

const QString kBetragsformat = QStringLiteral("0.00;-0.00");
const QColor clTeal(0x00, 0x80, 0x80);

// Runs a handler; a silent abort (a refused post) ends it without a message.
void still(const std::function<void()> &body)
{
    guarded([&] {
        try {
            body();
        } catch (const EAbort &) {
        }
    });
}

template <class W>
W *named(W *w, const char *name)
{
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

QLabel *ueberschrift(QWidget *parent, const char *name, const QString &text)
{
    auto *l = named(new QLabel(text, parent), name);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    l->setStyleSheet(QStringLiteral("color: #2d3e50;"));
    return l;
}

QStringList zeilenVon(const QPlainTextEdit *e)
{
    const QString t = e->toPlainText();
    return t.isEmpty() ? QStringList() : t.split(QLatin1Char('\n'));
}

bool istGanzzahl(const QString &s)
{
    try {
        strToInt(s);
        return true;
    } catch (const EConvertError &) {
        return false;
    }
}

// The unit price: an editable drop-down whose text is the value, shown in the
// capture's amount format; choosing a list entry counts as typing its text.
class PreisBinding : public FieldBinding {
public:
    PreisBinding(Dataset *ds, QComboBox *combo) : FieldBinding(ds, QStringLiteral("Preis"), combo), m_combo(combo)
    {
        connect(combo, &QComboBox::activated, this, [this] { guarded([this] { userChanged(); }); });
        connect(combo->lineEdit(), &QLineEdit::textEdited, this, [this] { guarded([this] { userChanged(); }); });
        reload();
    }

protected:
    void load(const QVariant &value, bool active) override
    {
        m_combo->lineEdit()->setReadOnly(readOnly() || !active);
        m_combo->setEditText(displayText(value, kBetragsformat));
    }
    QVariant widgetValue() const override { return m_combo->currentText(); }
    void applyReadOnly(bool on) override { m_combo->lineEdit()->setReadOnly(on); }

private:
    QComboBox *m_combo;
};

} // namespace

// ---- grid titles ---------------------------------------------------------------

void TTitelGrid::setColumnTitle(int column, const QString &title)
{
    DatasetModel *m = datasetModel();
    if (!m || column < 0 || column >= m->columns().size())
        return;
    QList<GridColumn> cols = m->columns();
    cols[column].title = title;
    m->setColumns(cols);
    Dataset *ds = dataset();
    if (ds && ds->isOpen() && ds->row() >= 0 && ds->row() < m->rowCount())
        selectionModel()->setCurrentIndex(m->index(ds->row(), 0),
                                          QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

// ---- construction ----------------------------------------------------------------

TErfassung::TErfassung(QWidget *ts_erfassung) : QObject(ts_erfassung), m_seite(ts_erfassung)
{
    Q_INIT_RESOURCE(capture);
    erfassung = this;
    setObjectName(QStringLiteral("erfassung"));

    tbl_rechnungerfassen = named(new Dataset({}, this), "tbl_rechnungerfassen");
    tbl_rechnungerfassen->setTableName(QStringLiteral("Artikelpositionen"));
    tbl_rechnungerfassen->onNewRecord = [this](Dataset &d) { tbl_rechnungerfassenNewRecord(d); };
    tbl_rechnungerfassen->beforePost = [this](Dataset &d) { tbl_rechnungerfassenBeforePost(d); };
    tbl_rechnungerfassen->afterScroll = [this](Dataset &d) { tbl_rechnungerfassenAfterScroll(d); };

    mt_kundengruppen = named(new Dataset({}, this), "mt_kundengruppen");
    qry_kunden = named(new Dataset({}, this), "qry_kunden");
    qry_kunden->setSql(SQL_qry_kunden);
    mt_artikelgruppen = named(new Dataset({}, this), "mt_artikelgruppen");
    qry_artikeln = named(new Dataset({}, this), "qry_artikeln");
    qry_artikeln->setSql(SQL_qry_artikeln);
    // the values the article query carries before start-up gives it the range
    qry_artikeln->setParam(QStringLiteral("pvonartikelgruppe"), 0);
    qry_artikeln->setParam(QStringLiteral("pbisartikelgruppe"), 0);

    bauen();
    binden();
    verbinden();

    // the tab starts in header mode
    ErfassungBeenden();
    pnl_kopf_re->setEnabled(true);
    ausgabeKnoepfeStand();
}

TErfassung::~TErfassung()
{
    if (erfassung == this)
        erfassung = nullptr;
}

void TErfassung::bauen()
{
    QWidget *s = m_seite;
    ed_datum_re = s->findChild<QDateEdit *>(QStringLiteral("ed_datum_re"));
    if (!ed_datum_re) {
        ed_datum_re = named(new QDateEdit(s), "ed_datum_re");
        ed_datum_re->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
        ed_datum_re->setCalendarPopup(true);
        ed_datum_re->setDate(Clock::today());
    }
    re_fusstext_re = s->findChild<QPlainTextEdit *>(QStringLiteral("re_fusstext_re"));
    if (!re_fusstext_re)
        re_fusstext_re = named(new QPlainTextEdit(s), "re_fusstext_re");
    ed_periode_re = s->findChild<QLineEdit *>(QStringLiteral("ed_periode_re"));
    if (!ed_periode_re) {
        ed_periode_re = named(new QLineEdit(s), "ed_periode_re");
        ed_periode_re->setText(QStringLiteral("20120101"));
    }
    re_kopftext_re = named(new QPlainTextEdit(s), "re_kopftext_re");
    re_fusstext_re->setVisible(false);
    re_kopftext_re->setVisible(false);
    ed_periode_re->setVisible(false);

    auto *h = new QHBoxLayout(s);
    h->setContentsMargins(0, 0, 0, 0);
    h->setSpacing(0);

    auto *erfassungsbereich = new QWidget(s);
    auto *v = new QVBoxLayout(erfassungsbereich);
    v->setContentsMargins(8, 6, 6, 6);
    v->setSpacing(6);
    bauenKopf(erfassungsbereich);
    bauenDetails(erfassungsbereich);
    v->addWidget(pnl_kopf_re);
    v->addWidget(pnl_details_re);

    gr_artikelpositionen_re = named(new TTitelGrid(erfassungsbereich), "gr_artikelpositionen_re");
    v->addWidget(gr_artikelpositionen_re, 1);
    bauenFuss(erfassungsbereich);
    v->addWidget(pnl_fuss_re);

    bauenPicker(s);
    pnl_trenner_re = named(new QFrame(s), "pnl_trenner_re");
    pnl_trenner_re->setFixedWidth(5);
    pnl_trenner_re->setAutoFillBackground(true);
    QPalette np = pnl_trenner_re->palette();
    np.setColor(QPalette::Window, QColor(0x00, 0x00, 0x80)); // clNavy
    pnl_trenner_re->setPalette(np);

    h->addWidget(pnl_picker_re);
    h->addWidget(pnl_trenner_re);
    h->addWidget(erfassungsbereich, 1);

    // keyboard order: customer, the start button, the date
    QWidget::setTabOrder(ed_kunde_re, btn_kopfok_stammkunde_re);
    QWidget::setTabOrder(btn_kopfok_stammkunde_re, btn_neuerkunde);
    QWidget::setTabOrder(btn_neuerkunde, ed_datum_re);
    QWidget::setTabOrder(ed_datum_re, ed_artikel_re);
}

void TErfassung::bauenKopf(QWidget *parent)
{
    pnl_kopf_re = named(new QFrame(parent), "pnl_kopf_re");
    pnl_kopf_re->setFrameShape(QFrame::StyledPanel);
    pnl_kopf_re->setStyleSheet(QStringLiteral(
        "QFrame#pnl_kopf_re { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #eef3f9, stop:1 #dbe6f2);"
        " border: 1px solid #9fb2c8; border-radius: 4px; }"
        "QFrame#pnl_kopf_re:disabled { background: #eceff2; border-color: #c4ccd4; }"));
    auto *g = new QGridLayout(pnl_kopf_re);
    g->setContentsMargins(12, 8, 12, 8);
    g->setHorizontalSpacing(10);

    le_1 = ueberschrift(pnl_kopf_re, "le_1", QStringLiteral("Kunde Nr."));
    ed_kunde_re = named(new QLineEdit(pnl_kopf_re), "ed_kunde_re");
    QFont gross = ed_kunde_re->font();
    gross.setPointSizeF(gross.pointSizeF() * 1.6);
    gross.setBold(true);
    ed_kunde_re->setFont(gross);
    ed_kunde_re->setFixedWidth(170);
    ed_kunde_re_name = named(new QLabel(pnl_kopf_re), "ed_kunde_re_name");
    QFont nameFont = ed_kunde_re_name->font();
    nameFont.setPointSizeF(nameFont.pointSizeF() * 1.3);
    nameFont.setBold(true);
    ed_kunde_re_name->setFont(nameFont);
    ed_kunde_re_name->setStyleSheet(QStringLiteral("color: #1f3b5a;"));
    ed_kunde_re_name->setMinimumWidth(200);
    ed_kunde_re_name->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);

    btn_kopfok_stammkunde_re = named(new QPushButton(QStringLiteral("Rechnung erfassen"), pnl_kopf_re),
                                     "btn_kopfok_stammkunde_re");
    btn_kopfok_stammkunde_re->setIcon(QIcon(QStringLiteral(":/capture/icons/erfassen.svg")));
    btn_kopfok_stammkunde_re->setIconSize(QSize(22, 22));
    btn_kopfok_stammkunde_re->setMinimumSize(180, 36);
    btn_kopfok_stammkunde_re->setStyleSheet(QStringLiteral(
        "QPushButton#btn_kopfok_stammkunde_re { font-weight: bold; }"));
    btn_neuerkunde = named(new QPushButton(QStringLiteral("neuer Kunde"), pnl_kopf_re), "btn_neuerkunde");
    btn_neuerkunde->setIcon(QIcon(QStringLiteral(":/capture/icons/kunde.svg")));
    btn_neuerkunde->setMinimumSize(130, 36);

    auto *kalender = named(new QLabel(pnl_kopf_re), "lbl_kalender_re");
    kalender->setPixmap(QIcon(QStringLiteral(":/capture/icons/kalender.svg")).pixmap(22, 22));
    ed_datum_re->setParent(pnl_kopf_re);
    ed_datum_re->setVisible(true);
    ed_datum_re->setMinimumWidth(130);
    ed_datum_re->setMinimumHeight(30);

    g->addWidget(le_1, 0, 0, Qt::AlignLeft | Qt::AlignBottom);
    g->addWidget(ed_kunde_re, 1, 0);
    g->addWidget(ed_kunde_re_name, 1, 1);
    g->addWidget(btn_neuerkunde, 1, 2);
    g->addWidget(btn_kopfok_stammkunde_re, 1, 3);
    auto *datum = new QHBoxLayout;
    datum->setSpacing(4);
    datum->addWidget(kalender);
    datum->addWidget(ed_datum_re);
    g->addLayout(datum, 1, 4);
    g->setColumnStretch(1, 1);
}

void TErfassung::bauenDetails(QWidget *parent)
{
    pnl_details_re = named(new QFrame(parent), "pnl_details_re");
    pnl_details_re->setFrameShape(QFrame::StyledPanel);
    pnl_details_re->setStyleSheet(QStringLiteral(
        "QFrame#pnl_details_re { background: #f4f7f2; border: 1px solid #b5c4ad; border-radius: 4px; }"
        "QFrame#pnl_details_re:disabled { background: #eff0ee; border-color: #cfd4cc; }"));
    auto *g = new QGridLayout(pnl_details_re);
    g->setContentsMargins(10, 6, 10, 6);
    g->setHorizontalSpacing(6);
    g->setVerticalSpacing(2);

    le_2 = ueberschrift(pnl_details_re, "le_2", QStringLiteral("Artikel"));
    le_3 = ueberschrift(pnl_details_re, "le_3", QStringLiteral("Bezeichnung"));
    le_4 = ueberschrift(pnl_details_re, "le_4", QStringLiteral("Menge"));
    le_5 = ueberschrift(pnl_details_re, "le_5", QStringLiteral("EH"));
    le_6 = ueberschrift(pnl_details_re, "le_6", QStringLiteral("Einzelpreis"));
    le_7 = ueberschrift(pnl_details_re, "le_7", QStringLiteral("Rabatt"));
    le_8 = ueberschrift(pnl_details_re, "le_8", QStringLiteral("Gesamt"));
    le_9 = ueberschrift(pnl_details_re, "le_9", QStringLiteral("Text"));

    // created in keyboard order
    ed_artikel_re = named(new QLineEdit(pnl_details_re), "ed_artikel_re");
    ed_artikel_re_name = named(new QLineEdit(pnl_details_re), "ed_artikel_re_name");
    ed_menge_re = named(new QLineEdit(pnl_details_re), "ed_menge_re");
    DBEdit1 = named(new QLineEdit(pnl_details_re), "DBEdit1");
    ed_einzelpreis_re = named(new QComboBox(pnl_details_re), "ed_einzelpreis_re");
    ed_einzelpreis_re->setEditable(true);
    ed_einzelpreis_re->setInsertPolicy(QComboBox::NoInsert);
    ed_einzelpreis_re->setMaxVisibleItems(12);
    ed_einzelpreis_re->setCompleter(nullptr);
    ed_rabatt_re = named(new QLineEdit(pnl_details_re), "ed_rabatt_re");
    DBEdit2 = named(new QLineEdit(pnl_details_re), "DBEdit2");
    DBEdit2->setReadOnly(true);
    ed_text_re = named(new QLineEdit(pnl_details_re), "ed_text_re");
    btn_neueposition = named(new QPushButton(QStringLiteral("+ Position"), pnl_details_re), "btn_neueposition");
    btn_neueposition->setIcon(QIcon(QStringLiteral(":/capture/icons/plus.svg")));
    btn_zusatz_re = named(new QPushButton(pnl_details_re), "btn_zusatz_re");
    btn_zusatz_re->setIcon(QIcon(QStringLiteral(":/capture/icons/zusatz.svg")));
    btn_zusatz_re->setIconSize(QSize(22, 22));
    btn_zusatz_re->setToolTip(QStringLiteral("Zusatztext"));
    btn_artikelstamm_re = named(new QPushButton(QStringLiteral("Artikel erstellen"), pnl_details_re),
                                "btn_artikelstamm_re");
    btn_artikelstamm_re->setIcon(QIcon(QStringLiteral(":/capture/icons/artikel.svg")));
    DBText1 = named(new QLabel(pnl_details_re), "DBText1");
    DBText1->setStyleSheet(QStringLiteral("color: #5a6772; font-style: italic;"));

    for (QLineEdit *e : {ed_menge_re, ed_rabatt_re, DBEdit2})
        e->setAlignment(Qt::AlignRight);
    ed_einzelpreis_re->lineEdit()->setAlignment(Qt::AlignRight);
    ed_artikel_re->setMinimumWidth(90);
    ed_artikel_re_name->setMinimumWidth(150);
    ed_menge_re->setFixedWidth(72);
    DBEdit1->setFixedWidth(52);
    ed_einzelpreis_re->setFixedWidth(104);
    ed_rabatt_re->setFixedWidth(64);
    DBEdit2->setFixedWidth(96);
    ed_text_re->setMinimumWidth(120);

    // the line amount rests in teal and is read in white
    FocusColour::setRestingColour(DBEdit2, clTeal);
    QPalette tp = DBEdit2->palette();
    tp.setColor(QPalette::Text, Qt::white);
    DBEdit2->setPalette(tp);
    QFont fett = DBEdit2->font();
    fett.setBold(true);
    DBEdit2->setFont(fett);

    // tab stops as designed: article, quantity, text, "+ Position"
    for (QWidget *w : {static_cast<QWidget *>(ed_artikel_re_name), static_cast<QWidget *>(DBEdit1),
                       static_cast<QWidget *>(ed_einzelpreis_re), static_cast<QWidget *>(ed_rabatt_re),
                       static_cast<QWidget *>(DBEdit2), static_cast<QWidget *>(btn_zusatz_re),
                       static_cast<QWidget *>(btn_artikelstamm_re)})
        w->setFocusPolicy(Qt::ClickFocus);

    const QList<QPair<QLabel *, QWidget *>> spalten = {
        {le_2, ed_artikel_re}, {le_3, ed_artikel_re_name}, {le_4, ed_menge_re}, {le_5, DBEdit1},
        {le_6, ed_einzelpreis_re}, {le_7, ed_rabatt_re}, {le_8, DBEdit2}, {le_9, ed_text_re}};
    for (int i = 0; i < spalten.size(); ++i) {
        g->addWidget(spalten[i].first, 0, i, Qt::AlignLeft | Qt::AlignBottom);
        g->addWidget(spalten[i].second, 1, i);
    }
    g->addWidget(DBText1, 2, 5, 1, 3, Qt::AlignLeft | Qt::AlignTop);
    g->setColumnStretch(1, 3);
    g->setColumnStretch(7, 2);
    g->setColumnStretch(0, 1);

    auto *knoepfe = new QHBoxLayout;
    knoepfe->setSpacing(6);
    knoepfe->setContentsMargins(0, 4, 0, 0);
    knoepfe->addWidget(btn_neueposition);
    knoepfe->addWidget(btn_artikelstamm_re);
    knoepfe->addWidget(btn_zusatz_re);
    knoepfe->addStretch(1);
    g->addLayout(knoepfe, 2, 0, 1, 5);
}

void TErfassung::bauenFuss(QWidget *parent)
{
    pnl_fuss_re = named(new QFrame(parent), "pnl_fuss_re");
    pnl_fuss_re->setFrameShape(QFrame::StyledPanel);
    pnl_fuss_re->setStyleSheet(QStringLiteral(
        "QFrame#pnl_fuss_re { background: #e9edf1; border: 1px solid #b3bec9; border-radius: 4px; }"));
    auto *h = new QHBoxLayout(pnl_fuss_re);
    h->setContentsMargins(8, 6, 8, 6);
    h->setSpacing(6);
    auto knopf = [this](const char *name, const QString &text, const char *icon) {
        auto *b = named(new QPushButton(text, pnl_fuss_re), name);
        b->setIcon(QIcon(QStringLiteral(":/capture/icons/%1.svg").arg(QLatin1String(icon))));
        b->setIconSize(QSize(20, 20));
        b->setMinimumSize(112, 34);
        return b;
    };
    btn_kopftext_re = knopf("btn_kopftext_re", QStringLiteral("Kopftext"), "text");
    btn_fusstext_re = knopf("btn_fusstext_re", QStringLiteral("Abschlusstext"), "text");
    btn_position_loeschen = named(new QPushButton(pnl_fuss_re), "btn_position_loeschen");
    btn_position_loeschen->setIcon(QIcon(QStringLiteral(":/capture/icons/loeschen.svg")));
    btn_position_loeschen->setIconSize(QSize(20, 20));
    btn_position_loeschen->setMinimumSize(40, 34);
    btn_position_loeschen->setToolTip(txt("sk_20"));
    pb_re = named(new QProgressBar(pnl_fuss_re), "pb_re");
    pb_re->setMinimumWidth(160);
    // its room stays reserved, so the window does not widen when it appears
    QSizePolicy platz = pb_re->sizePolicy();
    platz.setRetainSizeWhenHidden(true);
    pb_re->setSizePolicy(platz);
    pb_re->setVisible(false);
    btn_re_vorschau = knopf("btn_re_vorschau", QStringLiteral("Vorschau"), "vorschau");
    btn_rechnung_mailen = knopf("btn_rechnung_mailen", QStringLiteral("Email "), "email");
    btn_rechnungdrucken = knopf("btn_rechnungdrucken", QStringLiteral("Drucken"), "drucken");
    btn_rechnungdrucken->setStyleSheet(QStringLiteral("QPushButton#btn_rechnungdrucken:enabled { font-weight: bold; }"));
    btn_cancel_re = knopf("btn_cancel_re", QStringLiteral("Abbruch"), "abbruch");

    h->addWidget(btn_kopftext_re);
    h->addWidget(btn_fusstext_re);
    h->addSpacing(12);
    h->addWidget(btn_position_loeschen);
    h->addStretch(1);
    h->addWidget(pb_re);
    h->addSpacing(12);
    h->addWidget(btn_re_vorschau);
    h->addWidget(btn_rechnung_mailen);
    h->addWidget(btn_rechnungdrucken);
    h->addSpacing(12);
    h->addWidget(btn_cancel_re);
}

void TErfassung::binden()
{
    Dataset *t = tbl_rechnungerfassen;
    new LineEditBinding(t, QStringLiteral("Artikel"), ed_artikel_re);
    new LineEditBinding(t, QStringLiteral("ArtikelName"), ed_artikel_re_name);
    (new LineEditBinding(t, QStringLiteral("Menge"), ed_menge_re))->setDisplayFormat(kBetragsformat);
    new LineEditBinding(t, QStringLiteral("Einheit"), DBEdit1);
    new PreisBinding(t, ed_einzelpreis_re);
    (new LineEditBinding(t, QStringLiteral("Rabatt"), ed_rabatt_re))->setDisplayFormat(kBetragsformat);
    auto *gesamt = new LineEditBinding(t, QStringLiteral("Gesamt"), DBEdit2);
    gesamt->setDisplayFormat(kBetragsformat);
    gesamt->setReadOnly(true);
    new LineEditBinding(t, QStringLiteral("Text"), ed_text_re);
    new LabelBinding(t, QStringLiteral("Info"), DBText1);

    gr_artikelpositionen_re->setDataset(
        t, {{QStringLiteral("Artikel"), txt("gr_artikelpositionen_re_artikel"), {}, 110},
            {QStringLiteral("ArtikelName"), txt("gr_artikelpositionen_re_bezeichnung"), {}, 220},
            {QStringLiteral("Menge"), txt("gr_artikelpositionen_re_menge"), kBetragsformat, 80},
            {QStringLiteral("Einheit"), txt("gr_artikelpositionen_re_eh"), {}, 56},
            {QStringLiteral("Preis"), txt("gr_artikelpositionen_re_preis"), kBetragsformat, 96},
            {QStringLiteral("Rabatt"), txt("gr_artikelpositionen_re_rabatt"), kBetragsformat, 72},
            {QStringLiteral("Gesamt"), txt("gr_artikelpositionen_re_gesamt"), kBetragsformat, 100},
            {QStringLiteral("Text"), txt("gr_artikelpositionen_re_text"), {}, 120}});
    // the capture's order is its entry order, which the save numbers by
    gr_artikelpositionen_re->setTitleClickSorting(false);
    gr_artikelpositionen_re->horizontalHeader()->setStretchLastSection(true);
    gr_artikelpositionen_re->verticalHeader()->setVisible(true);
    gr_artikelpositionen_re->verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
}

void TErfassung::beobachten(QWidget *w) { w->installEventFilter(this); }

void TErfassung::verbinden()
{
    auto klick = [this](QPushButton *b, void (TErfassung::*handler)()) {
        connect(b, &QPushButton::clicked, this, [this, handler] { still([this, handler] { (this->*handler)(); }); });
    };
    klick(btn_kopfok_stammkunde_re, &TErfassung::btn_kopfok_stammkunde_reClick);
    klick(btn_neuerkunde, &TErfassung::btn_neuerkundeClick);
    klick(btn_kopftext_re, &TErfassung::btn_kopftext_reClick);
    klick(btn_fusstext_re, &TErfassung::btn_fusstext_reClick);
    klick(btn_cancel_re, &TErfassung::btn_cancel_reClick);
    klick(btn_neueposition, &TErfassung::btn_neuepositionClick);
    klick(btn_zusatz_re, &TErfassung::btn_zusatz_reClick);
    klick(btn_artikelstamm_re, &TErfassung::btn_artikelstamm_reClick);
    klick(btn_position_loeschen, &TErfassung::PositionLoeschen);
    connect(btn_rechnungdrucken, &QPushButton::clicked, this, [this] {
        still([this] { if (m_ausgabe) m_ausgabe(btn_rechnungdrucken); });
    });
    connect(btn_rechnung_mailen, &QPushButton::clicked, this, [this] {
        still([this] { if (m_ausgabe) m_ausgabe(btn_rechnung_mailen); });
    });
    connect(btn_re_vorschau, &QPushButton::clicked, this, [this] {
        still([this] { if (m_vorschau) m_vorschau(); });
    });
    connect(ed_kunde_re, &QLineEdit::textChanged, this, [this] { still([this] { ed_kunde_reChange(); }); });

    for (QWidget *w : {static_cast<QWidget *>(ed_kunde_re), static_cast<QWidget *>(ed_artikel_re),
                       static_cast<QWidget *>(ed_artikel_re_name), static_cast<QWidget *>(ed_menge_re),
                       static_cast<QWidget *>(DBEdit1), static_cast<QWidget *>(ed_einzelpreis_re),
                       static_cast<QWidget *>(ed_einzelpreis_re->lineEdit()), static_cast<QWidget *>(ed_rabatt_re),
                       static_cast<QWidget *>(ed_text_re), static_cast<QWidget *>(gr_artikelpositionen_re)})
        beobachten(w);

    verbindenPicker();
}

// ---- focus: enter and exit handlers ----------------------------------------------------

QWidget *TErfassung::feldVon(QObject *obj) const
{
    if (obj == ed_einzelpreis_re->lineEdit())
        return ed_einzelpreis_re;
    return qobject_cast<QWidget *>(obj);
}

bool TErfassung::eventFilter(QObject *obj, QEvent *ev)
{
    switch (ev->type()) {
    case QEvent::FocusIn:
    case QEvent::FocusOut: {
        const Qt::FocusReason grund = static_cast<QFocusEvent *>(ev)->reason();
        // a drop-down, a menu or another window taking the focus is no exit
        if (grund == Qt::PopupFocusReason || grund == Qt::ActiveWindowFocusReason)
            return false;
        QWidget *feld = feldVon(obj);
        if (ev->type() == QEvent::FocusIn)
            betreten(feld);
        else
            verlassen(feld);
        return false;
    }
    case QEvent::KeyPress: {
        auto *k = static_cast<QKeyEvent *>(ev);
        if (obj == ed_artikel_re && (k->key() == Qt::Key_F3 || k->key() == Qt::Key_F5)
            && k->modifiers() == Qt::NoModifier) {
            const int key = k->key();
            still([this, key] { ed_artikel_reKeyDown(key); });
            return true;
        }
        if ((obj == ed_kundengruppe_re || obj == ed_artikelgruppe_re) && k->key() == Qt::Key_F5) {
            static_cast<QComboBox *>(obj)->showPopup();
            return true;
        }
        if (obj == gr_artikelpositionen_re && k->key() == Qt::Key_Delete && k->modifiers() == Qt::NoModifier) {
            still([this] { PositionLoeschen(); });
            return true;
        }
        return false;
    }
    default:
        return false;
    }
}

void TErfassung::betreten(QWidget *feld)
{
    if (!feld || m_betreten.contains(feld))
        return;
    m_betreten.insert(feld);
    if (feld == ed_kunde_re)
        still([this] { ed_kunde_reEnter(); });
    else if (feld == ed_artikel_re)
        still([this] { ed_artikel_reEnter(); });
    else if (feld == ed_menge_re)
        still([this] { ed_menge_reEnter(); });
}

void TErfassung::verlassen(QWidget *feld)
{
    // a field that was never entered (the focus was taken back before) has no exit
    if (!feld || !m_betreten.remove(feld))
        return;
    if (feld == ed_kunde_re)
        still([this] { ed_kunde_reExit(); });
    else if (feld == ed_artikel_re)
        still([this] { ed_artikel_reExit(); });
    else if (feld == ed_menge_re)
        still([this] { ed_menge_reExit(); });
    else if (feld == ed_einzelpreis_re)
        still([this] { ed_einzelpreis_reExit(); });
    else if (feld == ed_rabatt_re)
        still([this] { ed_rabatt_reExit(); });
}

void TErfassung::fokusAuf(QWidget *w)
{
    if (w && w->isEnabled() && w->isVisible())
        w->setFocus(Qt::OtherFocusReason);
}

// ---- header --------------------------------------------------------------------

bool TErfassung::imKopfmodus() const { return pnl_kopf_re->isEnabled(); }

void TErfassung::btn_kopfok_stammkunde_reClick()
{
    TFirmenDaten firma;
    LadeFirma(AktuelleFirma, firma);
    if (!firma.Gefunden) {
        Dialogs::instance().message(txt("sm_17"));
        return;
    }
    Waehrung = Einstellung::text(QStringLiteral("ed_waehrung"));

    TKundenDaten kunde;
    LadeKunde(QString::number(AktuelleFirma), ed_kunde_re->text(), kunde);
    if (!kunde.Gefunden) {
        Dialogs::instance().message(txt("sm_18"));
        fokusAuf(ed_kunde_re);
        return;
    }
    const int periode = strToInt(ed_periode_re->text());
    if (periode == -1) {
        Dialogs::instance().message(txt("sm_19"));
        return;
    }

    execSql(dm_datenbank->Datenbank_Verbindung_Lokal.db(), SQL_qry_rechnungerfassen_loeschen);
    tbl_rechnungerfassen->close();
    tbl_rechnungerfassen->setDatabase(dm_datenbank->Datenbank_Verbindung_Lokal.db());
    tbl_rechnungerfassen->open();
    tbl_rechnungerfassen->append();
    tbl_rechnungerfassen->post();

    pnl_details_re->setEnabled(true);
    gr_artikelpositionen_re->setEnabled(true);
    pnl_fuss_re->setEnabled(true);
    KopfSperren();

    re_kopftext_re->setPlainText(Einstellung::lines(QStringLiteral("re_kopftextvorschlag_re")).join(QLatin1Char('\n')));
    re_fusstext_re->setPlainText(Einstellung::lines(QStringLiteral("re_fusstextvorschlag_re")).join(QLatin1Char('\n')));
    fokusAuf(ed_artikel_re);
}

void TErfassung::ed_kunde_reEnter()
{
    // the colour is the window's focus rule
}

void TErfassung::ed_kunde_reExit()
{
    const QString text = ed_kunde_re->text().trimmed();
    if (text.isEmpty())
        return;
    ed_kundensuche_re->clear();
    if (!istGanzzahl(text)) {
        Dialogs::instance().message(txt("sm_20"));
        ed_kunde_re->clear();
        ed_kunde_re_name->setText(txt("sm_20"));
        return;
    }
    TKundenDaten kunde;
    LadeKunde(QString::number(AktuelleFirma), text, kunde);
    if (kunde.Gefunden) {
        ed_kunde_re_name->setText(kunde.Name_KU);
    } else {
        Dialogs::instance().message(txt("sm_21"));
        ed_kunde_re_name->setText(txt("sm_20"));
    }
}

void TErfassung::ed_kunde_reChange()
{
    // letters typed into the number narrow the customer picker
    const QString text = ed_kunde_re->text();
    if (!istGanzzahl(text))
        ed_kundensuche_re->setText(text);
}

void TErfassung::btn_neuerkundeClick()
{
    if (onKundenfensterZeigen)
        onKundenfensterZeigen(ed_kunde_re->text().trimmed());
}

void TErfassung::kopftextBearbeiten(const char *caption, const char *uebergabe, QPlainTextEdit *ziel)
{
    if (!onKopftextZeigen)
        throw TvxError(QStringLiteral("Der Textdialog ist nicht verfügbar"));
    const QStringList zeilen = zeilenVon(ziel);
    TextPuffer.clear();
    TextNichtUebergeben = true;
    onKopftextZeigen(txt(caption), txt(uebergabe), zeilen);
    if (!TextNichtUebergeben)
        ziel->setPlainText(TextPuffer.join(QLatin1Char('\n')));
}

void TErfassung::btn_kopftext_reClick() { kopftextBearbeiten("sk_2", "sk_3", re_kopftext_re); }

void TErfassung::btn_fusstext_reClick() { kopftextBearbeiten("sk_4", "sk_5", re_fusstext_re); }

void TErfassung::btn_cancel_reClick()
{
    ErfassungBeenden();
    KopfFreigeben();
    fokusAuf(ed_kunde_re);
}

void TErfassung::KopfFreigeben()
{
    pnl_kopf_re->setEnabled(true);
    ed_datum_re->setDate(Clock::today());
    ed_kunde_re->clear();
    ed_kunde_re_name->clear();
}

void TErfassung::KopfSperren() { pnl_kopf_re->setEnabled(false); }

void TErfassung::ErfassungBeenden()
{
    try {
        tbl_rechnungerfassen->close();
    } catch (...) {
    }
    pnl_details_re->setEnabled(false);
    gr_artikelpositionen_re->setEnabled(false);
    pnl_fuss_re->setEnabled(false);
    pb_re->setVisible(false);
}

// ---- capture table -----------------------------------------------------------------

void TErfassung::tbl_rechnungerfassenNewRecord(Dataset &ds)
{
    ds.setValue(QStringLiteral("ID_Artikelposition"), NeueIdLokal());
    for (const char *text : {"Artikel", "ArtikelName", "Text", "Einheit", "Baustein", "Formel", "Info",
                             "Zusatztext1", "Seriennummer", "Groessenbezeichnung", "Kopftext", "Fusstext"})
        ds.setValue(QString::fromLatin1(text), QString());
    ds.setValue(QStringLiteral("Menge"), 1.0);
    for (const char *zahl : {"Preis", "Rabatt", "Gesamt", "Einkaufspreis"})
        ds.setValue(QString::fromLatin1(zahl), 0.0);
    for (int i = 1; i <= 30; ++i)
        ds.setValue(QStringLiteral("Menge%1").arg(i), 0.0);
    ds.setValue(QStringLiteral("FormelDrucken"), 0);
    ds.setValue(QStringLiteral("Groesse"), 0);
    ds.setValue(QStringLiteral("AnzahlTickets"), 0);
}

void TErfassung::tbl_rechnungerfassenBeforePost(Dataset &ds)
{
    const QString artikel = ds.asString(QStringLiteral("Artikel"));
    if (artikel.trimmed().isEmpty())
        return;
    TArtikelDaten daten;
    LadeArtikel(artikel, daten);
    if (!daten.Gefunden) {
        Dialogs::instance().message(txt("sm_55"));
        throw EAbort();
    }
}

void TErfassung::tbl_rechnungerfassenAfterScroll(Dataset &ds)
{
    try {
        if (ds.isOpen() && !ds.isEmpty())
            PreisauswahlFuellen(ds.asString(QStringLiteral("Artikel")));
    } catch (...) {
        // the list keeps its previous entries
    }
}

// ---- positions ---------------------------------------------------------------------

bool TErfassung::bearbeitet() const
{
    const Dataset::State s = tbl_rechnungerfassen->state();
    return s == Dataset::State::Edit || s == Dataset::State::Insert;
}

double TErfassung::PositionsbetragBerechnen() const
{
    Dataset *t = tbl_rechnungerfassen;
    if (!t->isOpen() || t->isEmpty())
        return 0;
    return Positionsbetrag(t->asFloat(QStringLiteral("Preis")), t->asFloat(QStringLiteral("Menge")),
                           t->asFloat(QStringLiteral("Rabatt")));
}

void TErfassung::PreisauswahlFuellen(const QString &artikel)
{
    TPreisDaten preise;
    LadePreise(artikel, preise);
    const QString behalten = ed_einzelpreis_re->currentText();
    const QSignalBlocker sperre(ed_einzelpreis_re);
    ed_einzelpreis_re->clear();
    for (double p : {preise.Preis1, preise.Preis2, preise.Preis3})
        if (p != 0)
            ed_einzelpreis_re->addItem(formatFloat(p, kBetragsformat));
    ed_einzelpreis_re->setCurrentIndex(-1);
    ed_einzelpreis_re->setEditText(behalten);
}

void TErfassung::TabfolgeEinschraenken()
{
    for (QWidget *w : {static_cast<QWidget *>(ed_einzelpreis_re), static_cast<QWidget *>(ed_rabatt_re),
                       static_cast<QWidget *>(ed_artikel_re), static_cast<QWidget *>(ed_artikel_re_name)})
        w->setFocusPolicy(Qt::ClickFocus);
}

void TErfassung::TabfolgeErweitern()
{
    for (QWidget *w : {static_cast<QWidget *>(ed_einzelpreis_re), static_cast<QWidget *>(ed_rabatt_re),
                       static_cast<QWidget *>(ed_artikel_re), static_cast<QWidget *>(ed_artikel_re_name)})
        w->setFocusPolicy(Qt::StrongFocus);
}

void TErfassung::ed_artikel_reEnter() { TabfolgeEinschraenken(); }

void TErfassung::ed_artikel_reExit()
{
    Dataset *t = tbl_rechnungerfassen;
    const QString text = ed_artikel_re->text();
    if (text.trimmed().isEmpty() || !t->isOpen() || !bearbeitet())
        return;
    t->updateRecord();
    ed_artikelsuche_re->clear();
    TArtikelDaten artikel;
    LadeArtikel(text, artikel);
    if (!artikel.Gefunden) {
        Dialogs::instance().message(txt("sm_23"));
        fokusAuf(ed_artikel_re);
        return;
    }
    t->setValue(QStringLiteral("Artikel"), text);
    t->setValue(QStringLiteral("ArtikelName"), artikel.Name_AR);
    t->setValue(QStringLiteral("Einheit"), artikel.Einheit);
    // a changed article of a stored row is priced and stored at once
    if (t->state() == Dataset::State::Edit && t->asFloat(QStringLiteral("Menge")) != 0)
        mengenregel();
    PreisauswahlFuellen(t->asString(QStringLiteral("Artikel")));
}

void TErfassung::ed_artikel_reKeyDown(int key)
{
    if (key == Qt::Key_F3) {
        TabfolgeErweitern();
        try {
            fokusAuf(ed_artikel_re_name);
            ed_artikel_re_name->selectAll();
        } catch (...) {
        }
    } else if (key == Qt::Key_F5) {
        if (onArtikelfensterZeigen)
            onArtikelfensterZeigen(ed_artikel_re->text().trimmed());
    }
}

void TErfassung::ed_menge_reEnter()
{
    Dataset *t = tbl_rechnungerfassen;
    const QString artikel = t->isOpen() && !t->isEmpty() ? t->asString(QStringLiteral("Artikel")) : ed_artikel_re->text();
    if (artikel.trimmed().isEmpty())
        fokusAuf(ed_artikel_re);
}

void TErfassung::mengenregel()
{
    Dataset *t = tbl_rechnungerfassen;
    TPreisDaten preise;
    LadePreise(t->asString(QStringLiteral("Artikel")), preise);
    t->setValue(QStringLiteral("Preis"), preise.Preis1);
    t->setValue(QStringLiteral("Gesamt"), PositionsbetragBerechnen());
    t->post();
    PreisauswahlFuellen(t->asString(QStringLiteral("Artikel")));
}

void TErfassung::ed_menge_reExit()
{
    if (!tbl_rechnungerfassen->isOpen() || !bearbeitet())
        return;
    tbl_rechnungerfassen->updateRecord();
    mengenregel();
}

void TErfassung::betragBuchen()
{
    Dataset *t = tbl_rechnungerfassen;
    if (!t->isOpen() || !bearbeitet())
        return;
    t->updateRecord();
    t->setValue(QStringLiteral("Gesamt"), PositionsbetragBerechnen());
    t->post();
}

void TErfassung::ed_einzelpreis_reExit() { betragBuchen(); }

void TErfassung::ed_rabatt_reExit() { betragBuchen(); }

void TErfassung::btn_neuepositionClick()
{
    Dataset *t = tbl_rechnungerfassen;
    if (!t->isOpen())
        return;
    t->append();
    t->post();
    fokusAuf(ed_artikel_re);
}

void TErfassung::btn_zusatz_reClick()
{
    if (!tbl_rechnungerfassen->isOpen() || tbl_rechnungerfassen->isEmpty())
        return;
    if (!onZusatztextZeigen)
        throw TvxError(QStringLiteral("Der Textdialog ist nicht verfügbar"));
    onZusatztextZeigen(tbl_rechnungerfassen, QStringLiteral("Zusatztext1"));
    try {
        fokusAuf(ed_text_re);
    } catch (...) {
    }
}

void TErfassung::btn_artikelstamm_reClick()
{
    if (onArtikelfensterZeigen)
        onArtikelfensterZeigen(ed_artikel_re->text().trimmed());
}

void TErfassung::PositionLoeschen()
{
    Dataset *t = tbl_rechnungerfassen;
    if (!t->isOpen() || t->isEmpty())
        return;
    if (!Dialogs::instance().question(txt("am_7")))
        return;
    t->deleteRow();
    fokusAuf(ed_artikel_re);
}

// ---- hand-overs --------------------------------------------------------------------

bool TErfassung::KundeUebernehmen(const QString &kunde, const QString &name)
{
    // the customer of a running capture is fixed
    if (!imKopfmodus()) {
        Dialogs::instance().message(txt("sm_9") + QStringLiteral("\n\n") + txt("sm_10"));
        return false;
    }
    ed_kunde_re->setText(kunde);
    ed_kunde_re_name->setText(name);
    fokusAuf(ed_kunde_re);
    return true;
}

void TErfassung::ArtikelUebernehmen(const QString &artikel, const QString &name)
{
    Dataset *t = tbl_rechnungerfassen;
    if (!t->isOpen())
        return;
    fokusAuf(ed_artikel_re);
    if (!bearbeitet())
        t->edit();
    t->setValue(QStringLiteral("Artikel"), artikel);
    t->setValue(QStringLiteral("ArtikelName"), name);
}

// ---- issuing seams ------------------------------------------------------------------

void TErfassung::ausgabeKnoepfeStand()
{
    const QString wartet = QStringLiteral("Noch nicht verfügbar: die Ausgabe der Rechnung ist nicht eingebunden.");
    btn_rechnungdrucken->setEnabled(bool(m_ausgabe));
    btn_rechnung_mailen->setEnabled(bool(m_ausgabe));
    btn_re_vorschau->setEnabled(bool(m_vorschau));
    btn_rechnungdrucken->setToolTip(m_ausgabe ? QString() : wartet);
    btn_rechnung_mailen->setToolTip(m_ausgabe ? QString() : wartet);
    btn_re_vorschau->setToolTip(m_vorschau ? QString() : wartet);
}

void TErfassung::setRechnungAusgabe(std::function<void(QPushButton *)> ausgabe)
{
    m_ausgabe = std::move(ausgabe);
    ausgabeKnoepfeStand();
}

void TErfassung::setVorschau(std::function<void()> vorschau)
{
    m_vorschau = std::move(vorschau);
    ausgabeKnoepfeStand();
}
