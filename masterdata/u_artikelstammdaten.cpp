#include "masterdata/u_artikelstammdaten.h"

#include "app/core/u_global.h"
#include "app/core/u_sicherung.h"
#include "app/core/u_sprache.h"
#include "app/core/u_strings.h"
#include "capture/u_erfassung.h"
#include "data/u_dm_datenbank.h"
#include "masterdata/u_bilder.h"
#include "masterdata/u_stammfenster.h"
#include "data/u_gruppenliste.h"
#include "platform/sql/sqlutil.h"
#include "platform/core/clock.h"
#include "platform/core/dialogs.h"
#include "platform/core/errors.h"
#include "platform/core/focuscolor.h"
#include "platform/core/guarded.h"
#include "platform/dataset/datagrid.h"
#include "platform/dataset/dataset.h"
#include "platform/dataset/datasetmodel.h"
#include "platform/dataset/displayformat.h"
#include "platform/dataset/fieldbinding.h"
#include "platform/sql/sqlutil.h"
#include "richtext/richtextbinding.h"
#include "richtext/trichtexttoolbar.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QSqlQuery>
#include <QStyle>
#include <QTabWidget>
#include <QTextEdit>
#include <QVBoxLayout>

Tfrm_artikelstammdaten *frm_artikelstammdaten = nullptr;

const QString Tfrm_artikelstammdaten::SQL_qry_letzte_artikelgruppennummer =
    QStringLiteral("select MAX(Artikelgruppe) as Letzte_Artikelgruppe from Artikelgruppen");

namespace {
const QColor clMoneyGreen(192, 220, 192);
const QColor clSkyBlue(166, 202, 240);
constexpr int kAlleGruppen = -17;
const char *const kPreise[] = {"Preis1", "Preis2", "Preis3", "Preis4", "Preis5", "Preis6"};

template <class T>
T *benannt(T *w, const char *name)
{
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

QLabel *beschriftung(const char *name, const char *text, QWidget *buddy, QWidget *parent)
{
    auto *l = benannt(new QLabel(QString::fromUtf8(text), parent), name);
    l->setBuddy(buddy);
    return l;
}

QLineEdit *feld(const char *name, QWidget *parent, const QColor &ruhe = QColor())
{
    auto *e = benannt(new QLineEdit(parent), name);
    if (ruhe.isValid())
        FocusColour::setRestingColour(e, ruhe);
    return e;
}

QDateEdit *datumsfeld(const char *name, QWidget *parent)
{
    auto *d = benannt(new QDateEdit(parent), name);
    d->setReadOnly(true);
    d->setButtonSymbols(QAbstractSpinBox::NoButtons);
    d->setFocusPolicy(Qt::ClickFocus);
    d->setFixedWidth(88);
    OhneFokusfarbe(d);
    return d;
}

QPushButton *knopf(const char *name, const char *text, QStyle::StandardPixmap bild, QWidget *parent)
{
    auto *b = benannt(new QPushButton(QString::fromUtf8(text), parent), name);
    b->setIcon(parent->style()->standardIcon(bild));
    return b;
}

void speichernOderVerwerfen(Dataset *ds)
{
    if (!ds->isOpen())
        return;
    if (ds->state() != Dataset::State::Edit && ds->state() != Dataset::State::Insert)
        return;
    try {
        ds->post();
    } catch (...) {
        Ignorieren([ds] { ds->cancel(); });
    }
}

bool bearbeitet(const Dataset *ds)
{
    return ds->state() == Dataset::State::Edit || ds->state() == Dataset::State::Insert;
}

// A VAT rate of the settings as a number; empty or unreadable counts as 0.
double satz(const QString &text)
{
    try {
        return text.trimmed().isEmpty() ? 0.0 : strToFloat(text.trimmed());
    } catch (...) {
        return 0.0;
    }
}
} // namespace

Tfrm_artikelstammdaten::Tfrm_artikelstammdaten(QWidget *parent) : QWidget(parent, Qt::Window)
{
    frm_artikelstammdaten = this;
    setObjectName(QStringLiteral("frm_artikelstammdaten"));
    setWindowTitle(QStringLiteral("ARTIKELSTAMMDATEN"));
    datenAnlegen();
    bauen();
    binden();
    einstellungenLaden();
    FocusColour::install(this, Fokusfarbe);
    auto *tasten = new TFensterTasten(this, {QStringLiteral("me_anschrift_firma"), QStringLiteral("me_einheiten")});
    tasten->tasten.insert(Qt::Key_F6, [this] { btn_neuClick(); });
    tasten->tasten.insert(Qt::Key_F8, [this] { btn_uebernehmenClick(); });
    tasten->tasten.insert(Qt::Key_F5, [this] {
        if (cb_gruppenwahl->hasFocus())
            cb_gruppenwahl->showPopup();
    });
    Sprache::registerWindow(QStringLiteral("Artikelstamm"), this);
}

Tfrm_artikelstammdaten::~Tfrm_artikelstammdaten()
{
    if (frm_artikelstammdaten == this)
        frm_artikelstammdaten = nullptr;
}

QStringList Tfrm_artikelstammdaten::Einheitenvorgabe()
{
    return {QStringLiteral("stk"), QStringLiteral("kg"), QStringLiteral("dag"), QStringLiteral("g"),
            QStringLiteral("m"),   QStringLiteral("m²"), QStringLiteral("m³"),  QStringLiteral("to"),
            QStringLiteral("lfm"), QString()};
}

// ---- construction ------------------------------------------------------------------

void Tfrm_artikelstammdaten::datenAnlegen()
{
    tbl_artikeln = new Dataset({}, this);
    tbl_artikeln->setObjectName(QStringLiteral("tbl_artikeln"));
    tbl_artikeln->setTableName(QStringLiteral("Artikelstamm"));
    tbl_artikelgruppen = new Dataset({}, this);
    tbl_artikelgruppen->setObjectName(QStringLiteral("tbl_artikelgruppen"));
    tbl_artikelgruppen->setTableName(QStringLiteral("Artikelgruppen"));
    mt_artikelgruppen = new Dataset({}, this);
    mt_artikelgruppen->setObjectName(QStringLiteral("mt_artikelgruppen"));

    tbl_artikeln->onNewRecord = [this](Dataset &ds) { artikelNeueZeile(ds); };
    tbl_artikeln->beforeEdit = [this](Dataset &ds) {
        m_gespeichert.clear();
        for (const char *f : kPreise)
            m_gespeichert.insert(QString::fromLatin1(f), ds.value(QString::fromLatin1(f)));
        m_gespeichert.insert(QStringLiteral("Artikelgruppe"), ds.value(QStringLiteral("Artikelgruppe")));
    };
    tbl_artikeln->beforePost = [this](Dataset &ds) { aenderungProtokollieren(ds); };
    tbl_artikeln->afterScroll = [this](Dataset &) {
        Ignorieren([this] { tb_beschreibung->refresh(); });
        BildAktualisieren();
    };
    tbl_artikeln->beforeDelete = [](Dataset &ds) {
        const QString artikel = ds.asString(QStringLiteral("Artikel"));
        Ignorieren([&] { Protokollieren(txt("ps_2") + artikel); });
    };
    tbl_artikelgruppen->beforeDelete = [](Dataset &ds) {
        const QString nummer = ds.asString(QStringLiteral("Artikelgruppe"));
        Ignorieren([&] { Protokollieren(txt("ps_1") + nummer); });
    };
    tbl_artikelgruppen->afterPost = [this](Dataset &) {
        Ignorieren([this] { gruppenlisteOeffnen(); });
        Ignorieren([this] {
            const QVariant artikel = tbl_artikeln->isOpen() && !tbl_artikeln->isEmpty()
                                         ? tbl_artikeln->value(QStringLiteral("Artikel")) : QVariant();
            tbl_artikeln->close();
            tbl_artikeln->open();
            if (artikel.isValid())
                tbl_artikeln->locate(QStringLiteral("Artikel"), artikel);
        });
        Ignorieren([this] { gruppenLookupFuellen(); });
    };
    tbl_artikelgruppen->afterDelete = [this](Dataset &) { Ignorieren([this] { gruppenLookupFuellen(); }); };
    // the picture follows every change of the reference
    connect(tbl_artikeln, &Dataset::fieldChanged, this, [this](int index) {
        if (index < 0 || index == tbl_artikeln->fieldIndex(QStringLiteral("Bildpfad")))
            BildAktualisieren();
    });
    connect(tbl_artikeln, &Dataset::resetDone, this, [this] { BildAktualisieren(); });
}

void Tfrm_artikelstammdaten::bauen()
{
    auto *v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);
    auto *oben = new QHBoxLayout;
    oben->setContentsMargins(0, 0, 0, 0);
    oben->setSpacing(0);
    auto *links = new QVBoxLayout;
    links->setContentsMargins(0, 0, 0, 0);
    links->setSpacing(0);

    auto *gitterflaeche = benannt(new QFrame(this), "pnl_grid");
    gitterflaeche->setMinimumHeight(203);
    auto *gh = new QHBoxLayout(gitterflaeche);
    gh->setContentsMargins(4, 4, 4, 4);
    gh->setSpacing(4);
    gr_artikeln = benannt(new DataGrid(gitterflaeche), "gr_artikeln");
    gr_gruppen = benannt(new DataGrid(gitterflaeche), "gr_gruppen");
    gh->addWidget(gr_artikeln, 1);
    gh->addWidget(gr_gruppen, 1);
    auto *suche = benannt(new QFrame(gitterflaeche), "pnl_suche");
    suche->setFixedWidth(154);
    suche->setFrameShape(QFrame::StyledPanel);
    auto *sv = new QVBoxLayout(suche);
    sv->setContentsMargins(6, 6, 6, 6);
    sv->setSpacing(3);
    ed_suche = benannt(new QLineEdit(suche), "ed_suche");
    ed_suche->setClearButtonEnabled(true);
    cb_gruppenwahl = benannt(new QComboBox(suche), "cb_gruppenwahl");
    OhneFokusfarbe(cb_gruppenwahl);
    btn_alle = knopf("btn_alle", "Alle", QStyle::SP_BrowserReload, suche);
    sv->addWidget(beschriftung("l_18", "Suchbegriff eingeben", ed_suche, suche));
    sv->addWidget(ed_suche);
    sv->addSpacing(4);
    sv->addWidget(beschriftung("l_19", "Artikelgruppe wählen", cb_gruppenwahl, suche));
    sv->addWidget(cb_gruppenwahl);
    sv->addStretch(1);
    sv->addWidget(btn_alle);
    gh->addWidget(suche);
    links->addWidget(gitterflaeche, 1);

    pc_artikel = benannt(new QTabWidget(this), "pc_artikel");
    pc_artikel->setFixedHeight(344);
    ts_artikeln = bauenArtikelSeite();
    ts_artikelgruppen = bauenGruppenSeite();
    pc_artikel->addTab(ts_artikeln, style()->standardIcon(QStyle::SP_FileDialogContentsView), QStringLiteral("Artikeldaten"));
    pc_artikel->addTab(ts_artikelgruppen, style()->standardIcon(QStyle::SP_DirIcon), QStringLiteral("Artikelgruppen"));
    TabsAlsKnoepfe(pc_artikel);
    auto *tabrand = new QWidget(this);
    auto *tr = new QVBoxLayout(tabrand);
    tr->setContentsMargins(4, 0, 4, 4);
    tr->addWidget(pc_artikel);
    links->addWidget(tabrand);
    oben->addLayout(links, 1);
    pnl_buchstaben = new TBuchstabenleiste(this);
    oben->addWidget(pnl_buchstaben);
    v->addLayout(oben, 1);

    auto *navleiste = Verlaufsleiste(QStringLiteral("pnl_navigator"), QColor(0, 128, 128), QColor(0, 206, 206), this);
    navleiste->setFixedHeight(49);
    auto *nh = new QHBoxLayout(navleiste);
    nh->setContentsMargins(8, 6, 8, 6);
    nh->setSpacing(6);
    nav_datensatz = new TDatensatzNavigator(navleiste);
    nav_datensatz->setKopierenSichtbar(true);
    nh->addWidget(nav_datensatz);
    nh->addSpacing(12);
    btn_neu = knopf("btn_neu", "neuer Artikel", QStyle::SP_FileIcon, navleiste);
    btn_uebernehmen = knopf("btn_uebernehmen", "Übernehmen", QStyle::SP_DialogApplyButton, navleiste);
    btn_loeschen = knopf("btn_loeschen", "Artikel löschen", QStyle::SP_TrashIcon, navleiste);
    btn_cancel = knopf("btn_cancel", "Abbrechen", QStyle::SP_DialogCancelButton, navleiste);
    for (QPushButton *b : {btn_neu, btn_uebernehmen, btn_loeschen, btn_cancel}) {
        b->setMinimumWidth(112);
        b->setMinimumHeight(30);
        nh->addWidget(b);
    }
    nh->addStretch(1);
    v->addWidget(navleiste);

    auto *unten = Verlaufsleiste(QStringLiteral("pnl_unten"), QColor(9, 59, 144), QColor(92, 131, 208), this);
    unten->setFixedHeight(70);
    auto *uh = new QHBoxLayout(unten);
    uh->setContentsMargins(12, 12, 12, 12);
    uh->setSpacing(10);
    uh->addStretch(1);
    btn_uebergeben = knopf("btn_uebergeben", "Artikel übergeben", QStyle::SP_ArrowForward, unten);
    btn_close = knopf("btn_close", "Schliessen", QStyle::SP_DialogCloseButton, unten);
    for (QPushButton *b : {btn_uebergeben, btn_close}) {
        b->setMinimumSize(150, 38);
        uh->addWidget(b);
    }
    btn_uebergeben->setVisible(false);
    v->addWidget(unten);

    resize(816, 666);
    setMinimumSize(780, 600);

    gr_artikeln->setDataset(tbl_artikeln, {{"Markierung", "M", {}, 26},
                                           {"Artikelgruppe", txt("gr_artikeln_artikelgruppe"), {}, 44},
                                           {"Artikel", txt("gr_artikeln_artikel"), {}, 110},
                                           {"Name_AR", txt("gr_artikeln_name"), {}, 360}});
    gr_artikeln->setCellPainter(0, AufzaehlungsMaler());
    {
        // a highlighted cell in the system highlight colours, also without the focus
        QPalette p = gr_artikeln->palette();
        p.setColor(QPalette::Inactive, QPalette::Highlight, p.color(QPalette::Active, QPalette::Highlight));
        p.setColor(QPalette::Inactive, QPalette::HighlightedText, p.color(QPalette::Active, QPalette::HighlightedText));
        gr_artikeln->setPalette(p);
    }
    gr_gruppen->setDataset(tbl_artikelgruppen, {{"Artikelgruppe", txt("gr_gruppen_artikelgruppe"), {}, 110},
                                                {"Name_AG", txt("gr_gruppen_name"), {}, 300}});
    gr_gruppen->setVisible(false);
    for (DataGrid *g : {gr_artikeln, gr_gruppen}) {
        g->horizontalHeader()->setStretchLastSection(true);
        g->verticalHeader()->setVisible(false);
    }

    connect(pc_artikel, &QTabWidget::currentChanged, this, [this] { guarded([this] { pc_artikelChange(); }); });
    connect(btn_neu, &QPushButton::clicked, this, [this] { guarded([this] { btn_neuClick(); }); });
    connect(btn_uebernehmen, &QPushButton::clicked, this, [this] { guarded([this] { btn_uebernehmenClick(); }); });
    connect(btn_loeschen, &QPushButton::clicked, this, [this] { guarded([this] { btn_loeschenClick(); }); });
    connect(btn_cancel, &QPushButton::clicked, this, [this] { guarded([this] { btn_cancelClick(); }); });
    connect(btn_close, &QPushButton::clicked, this, [this] { close(); });
    connect(btn_uebergeben, &QPushButton::clicked, this, [this] { guarded([this] { btn_uebergebenClick(); }); });
    connect(btn_alle, &QPushButton::clicked, this, [this] { guarded([this] { btn_alleClick(); }); });
    connect(btn_bildpfad, &QPushButton::clicked, this, [this] { guarded([this] { btn_bildpfadClick(); }); });
    connect(pnl_buchstaben, &TBuchstabenleiste::gewaehlt, this, [this](int tag) { guarded([this, tag] { Buchstabe(tag); }); });
    connect(ed_suche, &QLineEdit::textChanged, this, [this] { guarded([this] { SucheAusfuehren(); }); });
    connect(cb_gruppenwahl, &QComboBox::activated, this, [this] { guarded([this] { gruppeGewaehlt(); }); });
    nav_datensatz->onKopieren = [this] { Kopieren(); };
    ed_artikel->installEventFilter(this);
    ed_name_ar->installEventFilter(this);
}

QWidget *Tfrm_artikelstammdaten::bauenArtikelSeite()
{
    auto *seite = benannt(new QWidget, "ts_artikeln");
    auto *h = new QHBoxLayout(seite);
    h->setContentsMargins(8, 6, 8, 6);
    h->setSpacing(10);
    auto *g = new QGridLayout;
    g->setHorizontalSpacing(6);
    g->setVerticalSpacing(4);

    ed_artikel = feld("ed_artikel", seite, clMoneyGreen);
    ed_name_ar = feld("ed_name_ar", seite, clMoneyGreen);
    me_anschrift_firma = benannt(new QTextEdit(seite), "me_anschrift_firma");
    me_anschrift_firma->setLineWrapMode(QTextEdit::NoWrap);
    me_anschrift_firma->setFixedHeight(59);
    me_anschrift_firma->setTabChangesFocus(true);
    me_anschrift_firma->document()->setDocumentMargin(6);
    OhneFokusfarbe(me_anschrift_firma);
    tb_beschreibung = new TRichTextToolbar(me_anschrift_firma, TRichTextToolbar::Rows::One, seite);
    tb_beschreibung->setObjectName(QStringLiteral("tb_beschreibung"));
    tb_beschreibung->setFixedHeight(28);
    OhneFokusfarbe(tb_beschreibung->fontNameCombo());
    OhneFokusfarbe(tb_beschreibung->fontSizeSpin());
    cb_artikelgruppe = benannt(new QComboBox(seite), "cb_artikelgruppe");
    cb_artikelgruppe->setMaxVisibleItems(8);
    cb_markierung = benannt(new QComboBox(seite), "cb_markierung");
    cb_markierung->setFixedWidth(64);
    ed_suchbegriff = feld("ed_suchbegriff", seite, clSkyBlue);
    ed_anlagedatum = datumsfeld("ed_anlagedatum", seite);
    ed_benutzerdatum = datumsfeld("ed_benutzerdatum", seite);
    ed_preis1 = feld("ed_preis1", seite, clMoneyGreen);
    ed_preis2 = feld("ed_preis2", seite, clMoneyGreen);
    ed_preis3 = feld("ed_preis3", seite, clMoneyGreen);
    for (QLineEdit *p : {ed_preis1, ed_preis2, ed_preis3}) {
        p->setAlignment(Qt::AlignRight);
        p->setFixedWidth(88);
    }
    cb_einheit = benannt(new QComboBox(seite), "cb_einheit");
    cb_einheit->setEditable(true);
    cb_einheit->setInsertPolicy(QComboBox::NoInsert);
    cb_einheit->setFixedWidth(88);
    cb_mwst = benannt(new QComboBox(seite), "cb_mwst");
    cb_mwst->setFixedWidth(88);
    cb_sichtbar = benannt(new QCheckBox(QStringLiteral("Sichtbar"), seite), "cb_sichtbar");

    int r = 0;
    g->addWidget(beschriftung("l_1", "Artikel Nr.", ed_artikel, seite), r, 0);
    auto *nr = new QHBoxLayout;
    ed_artikel->setFixedWidth(140);
    nr->addWidget(ed_artikel);
    nr->addStretch(1);
    nr->addWidget(cb_sichtbar);
    g->addLayout(nr, r++, 1, 1, 3);
    g->addWidget(beschriftung("l_2", "Name", ed_name_ar, seite), r, 0);
    g->addWidget(ed_name_ar, r++, 1, 1, 3);
    g->addWidget(beschriftung("l_3", "Beschreibung", me_anschrift_firma, seite), r, 0, Qt::AlignTop);
    auto *besch = new QVBoxLayout;
    besch->setSpacing(0);
    besch->addWidget(tb_beschreibung);
    besch->addWidget(me_anschrift_firma);
    g->addLayout(besch, r++, 1, 1, 3);
    g->addWidget(beschriftung("l_4", "Artikelgruppe", cb_artikelgruppe, seite), r, 0);
    auto *grp = new QHBoxLayout;
    grp->addWidget(cb_artikelgruppe, 1);
    grp->addWidget(beschriftung("l_5", "Mark.", cb_markierung, seite));
    grp->addWidget(cb_markierung);
    g->addLayout(grp, r++, 1, 1, 3);
    g->addWidget(beschriftung("l_6", "Suchbegriff", ed_suchbegriff, seite), r, 0);
    g->addWidget(ed_suchbegriff, r++, 1, 1, 3);
    auto *daten = new QHBoxLayout;
    daten->addWidget(ed_anlagedatum);
    daten->addSpacing(8);
    daten->addWidget(beschriftung("l_8", "geänd.", ed_benutzerdatum, seite));
    daten->addWidget(ed_benutzerdatum);
    daten->addStretch(1);
    g->addWidget(beschriftung("l_7", "Anlage", ed_anlagedatum, seite), r, 0);
    g->addLayout(daten, r++, 1, 1, 3);
    auto *preise = new QGridLayout;
    preise->setHorizontalSpacing(6);
    preise->setVerticalSpacing(2);
    preise->addWidget(beschriftung("l_9", "Preis 1", ed_preis1, seite), 0, 0);
    preise->addWidget(beschriftung("l_10", "Preis 2", ed_preis2, seite), 0, 1);
    preise->addWidget(beschriftung("l_11", "Preis 3", ed_preis3, seite), 0, 2);
    preise->addWidget(beschriftung("l_12", "Einheit", cb_einheit, seite), 0, 3);
    preise->addWidget(beschriftung("l_13", "MWST", cb_mwst, seite), 0, 4);
    preise->addWidget(ed_preis1, 1, 0);
    preise->addWidget(ed_preis2, 1, 1);
    preise->addWidget(ed_preis3, 1, 2);
    preise->addWidget(cb_einheit, 1, 3);
    preise->addWidget(cb_mwst, 1, 4);
    preise->setColumnStretch(5, 1);
    g->addLayout(preise, r++, 0, 1, 4);
    g->setRowStretch(r, 1);
    g->setColumnStretch(1, 1);
    h->addLayout(g, 1);

    // side pages
    pc_zusatz = benannt(new QTabWidget(seite), "pc_zusatz");
    pc_zusatz->setFixedWidth(292);
    ts_bild = benannt(new QWidget, "ts_bild");
    {
        auto *b = new QVBoxLayout(ts_bild);
        b->setContentsMargins(6, 6, 6, 6);
        b->setSpacing(4);
        ed_bildpfad = feld("ed_bildpfad", ts_bild);
        btn_bildpfad = benannt(new QPushButton(ts_bild), "btn_bildpfad");
        btn_bildpfad->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
        btn_bildpfad->setFixedSize(26, 24);
        btn_bildpfad->setToolTip(QStringLiteral("Bilddatei auswählen"));
        b->addWidget(beschriftung("l_14", "Pfad der Bilddatei", ed_bildpfad, ts_bild));
        auto *pfad = new QHBoxLayout;
        pfad->setSpacing(2);
        pfad->addWidget(ed_bildpfad, 1);
        pfad->addWidget(btn_bildpfad);
        b->addLayout(pfad);
        auto *rahmen = benannt(new QFrame(ts_bild), "pnl_bild");
        rahmen->setFixedSize(264, 164);
        rahmen->setFrameShape(QFrame::StyledPanel);
        rahmen->setStyleSheet(QStringLiteral("#pnl_bild { background: #ffffff; }"));
        img_bild = benannt(new QLabel(rahmen), "img_bild");
        img_bild->move(2, 2);
        img_bild->setFixedSize(0, 0);
        b->addWidget(rahmen, 0, Qt::AlignHCenter);
        cb_bild = benannt(new QCheckBox(QStringLiteral("Bild auf Rechnung"), ts_bild), "cb_bild");
        b->addWidget(cb_bild);
        b->addStretch(1);
    }
    ts_sonstiges = benannt(new QWidget, "ts_sonstiges");
    {
        auto *z = new QGridLayout(ts_sonstiges);
        z->setContentsMargins(6, 6, 6, 6);
        z->setVerticalSpacing(4);
        for (int i = 0; i < 5; ++i) {
            ed_sonstiges_caption[i] = Beschriftungsfeld(QStringLiteral("ed_sonstiges%1_caption").arg(i + 1),
                                                        QStringLiteral("Sonstiges  %1").arg(i + 1), ts_sonstiges);
            ed_sonstiges[i] = new QLineEdit(ts_sonstiges);
            ed_sonstiges[i]->setObjectName(QStringLiteral("ed_sonstiges%1").arg(i + 1));
            z->addWidget(ed_sonstiges_caption[i], i, 0);
            z->addWidget(ed_sonstiges[i], i, 1);
        }
        // the first and the last free field keep their colour
        OhneFokusfarbe(ed_sonstiges[0]);
        OhneFokusfarbe(ed_sonstiges[4]);
        z->setRowStretch(5, 1);
    }
    ts_einstellungen = benannt(new QWidget, "ts_einstellungen");
    {
        auto *z = new QVBoxLayout(ts_einstellungen);
        z->setContentsMargins(6, 6, 6, 6);
        me_einheiten = benannt(new QPlainTextEdit(ts_einstellungen), "me_einheiten");
        me_einheiten->setTabChangesFocus(true);
        OhneFokusfarbe(me_einheiten);
        auto *l = beschriftung("l_15", "Einheiten zum Auswählen hier hinterlegen", me_einheiten, ts_einstellungen);
        l->setWordWrap(true);
        z->addWidget(l);
        z->addWidget(me_einheiten, 1);
    }
    pc_zusatz->addTab(ts_bild, QStringLiteral("Artikelbild"));
    pc_zusatz->addTab(ts_sonstiges, QStringLiteral("Sonstiges"));
    pc_zusatz->addTab(ts_einstellungen, QStringLiteral("Vortrag"));
    h->addWidget(pc_zusatz);
    return seite;
}

QWidget *Tfrm_artikelstammdaten::bauenGruppenSeite()
{
    auto *seite = benannt(new QWidget, "ts_artikelgruppen");
    auto *g = new QGridLayout(seite);
    g->setContentsMargins(12, 14, 12, 12);
    g->setHorizontalSpacing(8);
    g->setVerticalSpacing(8);
    ed_artikelgruppe_nr = feld("ed_artikelgruppe_nr", seite, clMoneyGreen);
    ed_artikelgruppe_nr->setMaximumWidth(90);
    ed_name_ag = feld("ed_name_ag", seite, clMoneyGreen);
    ed_name_ag->setMinimumWidth(320);
    cb_gruppennummer_auto = benannt(new QCheckBox(seite), "cb_gruppennummer_auto");
    cb_gruppennummer_auto->setChecked(true);
    g->addWidget(beschriftung("l_16", "Artikelgruppe Nr.", ed_artikelgruppe_nr, seite), 0, 0);
    g->addWidget(ed_artikelgruppe_nr, 0, 1, Qt::AlignLeft);
    g->addWidget(beschriftung("l_17", "Name", ed_name_ag, seite), 1, 0);
    g->addWidget(ed_name_ag, 1, 1, Qt::AlignLeft);
    auto *a = new QHBoxLayout;
    a->addWidget(cb_gruppennummer_auto);
    a->addWidget(beschriftung("l_20", "Artikelgruppe Nr. automatisch vergeben", cb_gruppennummer_auto, seite));
    a->addStretch(1);
    g->addLayout(a, 2, 1);
    g->setColumnStretch(2, 1);
    g->setRowStretch(3, 1);
    return seite;
}

void Tfrm_artikelstammdaten::binden()
{
    Dataset *a = tbl_artikeln;
    new LineEditBinding(a, QStringLiteral("Artikel"), ed_artikel);
    new LineEditBinding(a, QStringLiteral("Name_AR"), ed_name_ar);
    new RichTextBinding(a, QStringLiteral("Beschreibung_AR"), me_anschrift_firma);
    m_gruppeBindung = new ComboBoxBinding(a, QStringLiteral("Artikelgruppe"), cb_artikelgruppe);
    m_gruppeBindung->setValueList({});
    auto *mark = new ComboBoxBinding(a, QStringLiteral("Markierung"), cb_markierung);
    mark->setValueList(MarkierungsWerte());
    MarkierungsBilderSetzen(cb_markierung);
    new LineEditBinding(a, QStringLiteral("Suchbegriff"), ed_suchbegriff);
    (new DateEditBinding(a, QStringLiteral("Anlagedatum"), ed_anlagedatum))->setReadOnly(true);
    (new DateEditBinding(a, QStringLiteral("Benutzerdatum"), ed_benutzerdatum))->setReadOnly(true);
    (new LineEditBinding(a, QStringLiteral("Preis1"), ed_preis1))->setDisplayFormat(QStringLiteral("0.00;-0.00"));
    (new LineEditBinding(a, QStringLiteral("Preis2"), ed_preis2))->setDisplayFormat(QStringLiteral("0.00;-0.00"));
    (new LineEditBinding(a, QStringLiteral("Preis3"), ed_preis3))->setDisplayFormat(QStringLiteral("0.00;-0.00"));
    m_einheitBindung = new ComboBoxBinding(a, QStringLiteral("Einheit"), cb_einheit);
    m_mwstBindung = new ComboBoxBinding(a, QStringLiteral("MWST"), cb_mwst);
    new CheckBoxBinding(a, QStringLiteral("Sichtbar"), cb_sichtbar);
    new LineEditBinding(a, QStringLiteral("Bildpfad"), ed_bildpfad);
    new CheckBoxBinding(a, QStringLiteral("BildAufRechnung"), cb_bild);
    for (int i = 0; i < 5; ++i)
        new LineEditBinding(a, QStringLiteral("Sonstiges%1").arg(i + 1), ed_sonstiges[i]);
    new LineEditBinding(tbl_artikelgruppen, QStringLiteral("Artikelgruppe"), ed_artikelgruppe_nr);
    new LineEditBinding(tbl_artikelgruppen, QStringLiteral("Name_AG"), ed_name_ag);
    MwstListeFuellen();
}

// ---- settings ---------------------------------------------------------------------------

void Tfrm_artikelstammdaten::einstellungenLaden()
{
    const TFensterSpeicher s(QStringLiteral("Tfrm_artikelstammdaten"));
    cb_gruppennummer_auto->setChecked(s.wert(QStringLiteral("cb_gruppennummer_auto_Checked"), true).toBool());
    for (QLineEdit *c : ed_sonstiges_caption)
        c->setText(s.wert(c->objectName() + QStringLiteral("_Text"), c->text()).toString());
    me_einheiten->setPlainText(s.zeilen(QStringLiteral("me_einheiten_Lines"), Einheitenvorgabe()).join(QLatin1Char('\n')));
}

void Tfrm_artikelstammdaten::einstellungenSpeichern()
{
    const TFensterSpeicher s(QStringLiteral("Tfrm_artikelstammdaten"));
    s.platzierungSpeichern(this);
    s.setzen(QStringLiteral("cb_gruppennummer_auto_Checked"), cb_gruppennummer_auto->isChecked());
    for (QLineEdit *c : ed_sonstiges_caption)
        s.setzen(c->objectName() + QStringLiteral("_Text"), c->text());
    s.zeilenSetzen(QStringLiteral("me_einheiten_Lines"), me_einheiten->toPlainText().split(QLatin1Char('\n')));
}

// ---- life cycle -------------------------------------------------------------------------

void Tfrm_artikelstammdaten::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    if (e->spontaneous() || !m_geschlossen)
        return;
    m_geschlossen = false;
    TFensterSpeicher(QStringLiteral("Tfrm_artikelstammdaten")).platzierungLaden(this);
    guarded([this] { FormShow(); });
}

void Tfrm_artikelstammdaten::closeEvent(QCloseEvent *e)
{
    guarded([this] { FormClose(); });
    Ignorieren([this] { einstellungenSpeichern(); });
    m_geschlossen = true;
    e->accept();
}

void Tfrm_artikelstammdaten::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    if (tb_beschreibung)
        Ignorieren([this] { tb_beschreibung->refresh(); });
}

void Tfrm_artikelstammdaten::MwstListeFuellen()
{
    QList<QPair<QString, QVariant>> werte;
    const char *const saetze[] = {"ed_mwst_a", "ed_mwst_b", "ed_mwst_c", "ed_mwst_d"};
    for (int i = 0; i < 4; ++i)
        werte.append({formatFloat(satz(Einstellung::text(QString::fromLatin1(saetze[i]))), QStringLiteral(",0.00%;-,0.00%")),
                      i + 1});
    m_mwstBindung->setValueList(werte);
}

void Tfrm_artikelstammdaten::FormShow()
{
    const QSqlDatabase db = dm_datenbank ? dm_datenbank->Datenbank_Verbindung.db() : QSqlDatabase();
    for (Dataset *ds : {tbl_artikeln, tbl_artikelgruppen, mt_artikelgruppen})
        ds->setDatabase(db);
    // 1. + 2.
    MwstListeFuellen();
    {
        const QSignalBlocker sperre(pc_artikel);
        pc_artikel->setCurrentWidget(ts_artikeln);
        pc_zusatz->setCurrentWidget(ts_bild);
        pc_artikelChange();
    }
    // 3.
    gruppenlisteAufbauen();
    gruppenlisteOeffnen();
    // 4.
    tbl_artikeln->close();
    tbl_artikeln->open();
    tbl_artikeln->setSort(QStringLiteral("Name_AR"));
    tbl_artikeln->first();
    tbl_artikelgruppen->open();
    tbl_artikelgruppen->setSort(QStringLiteral("Artikelgruppe"));
    gruppenLookupFuellen();
    // 5.
    btn_alleClick();
    // 6. the units of the list, free text still allowed
    Ignorieren([this] {
        cb_einheit->clear();
        cb_einheit->addItems(me_einheiten->toPlainText().split(QLatin1Char('\n')));
        m_einheitBindung->reload();
    });
    Ignorieren([this] { tb_beschreibung->refresh(); });
    BildAktualisieren();
    ed_artikel->setFocus();
}

void Tfrm_artikelstammdaten::FormClose()
{
    speichernOderVerwerfen(tbl_artikeln);
    speichernOderVerwerfen(tbl_artikelgruppen);
    Ignorieren([this] { tbl_artikeln->close(); });
    Ignorieren([this] { tbl_artikelgruppen->close(); });
    Ignorieren([this] { mt_artikelgruppen->close(); });
    Ignorieren([] {
        if (erfassung && erfassung->qry_artikeln && dm_datenbank) {
            erfassung->qry_artikeln->close();
            erfassung->qry_artikeln->setDatabase(dm_datenbank->Datenbank_Verbindung.db());
            erfassung->qry_artikeln->open();
        }
    });
}

bool Tfrm_artikelstammdaten::aufGruppenSeite() const { return pc_artikel->currentWidget() == ts_artikelgruppen; }

void Tfrm_artikelstammdaten::pc_artikelChange()
{
    const auto sucheFreigeben = [this](bool an) {
        btn_alle->setEnabled(an);
        ed_suche->setEnabled(an);
        cb_gruppenwahl->setEnabled(an);
        pnl_buchstaben->setEnabled(an);
    };
    sucheFreigeben(false);
    gr_artikeln->setVisible(false);
    gr_gruppen->setVisible(false);
    if (aufGruppenSeite()) {
        btn_neu->setText(txt("sk_7"));
        btn_uebernehmen->setText(txt("sk_8"));
        btn_loeschen->setText(txt("sk_9"));
        btn_cancel->setText(txt("sk_10"));
        gr_gruppen->setVisible(true);
        nav_datensatz->setDataset(tbl_artikelgruppen, gr_gruppen);
    } else {
        btn_neu->setText(txt("sk_11"));
        btn_uebernehmen->setText(txt("sk_8"));
        btn_loeschen->setText(txt("sk_12"));
        btn_cancel->setText(txt("sk_10"));
        gr_artikeln->setVisible(true);
        nav_datensatz->setDataset(tbl_artikeln, gr_artikeln);
        sucheFreigeben(true);
        Ignorieren([this] { gruppenlisteOeffnen(); });
    }
}

// ---- group list --------------------------------------------------------------------------------

void Tfrm_artikelstammdaten::gruppenlisteAufbauen()
{
    GruppenlisteAufbauen(mt_artikelgruppen, QStringLiteral("Artikelgruppen"), QStringLiteral("Artikelgruppe"), QStringLiteral("Name_AG"));
}

void Tfrm_artikelstammdaten::gruppenlisteOeffnen()
{
    GruppenlisteOeffnen(mt_artikelgruppen, cb_gruppenwahl, QStringLiteral("Artikelgruppen"), QStringLiteral("Artikelgruppe"),
                        QStringLiteral("Name_AG"));
}

void Tfrm_artikelstammdaten::gruppenwahlFuellen()
{
    GruppenwahlFuellen(mt_artikelgruppen, cb_gruppenwahl, QStringLiteral("Artikelgruppe"), QStringLiteral("Name_AG"));
}

void Tfrm_artikelstammdaten::gruppeGewaehlt()
{
    if (mt_artikelgruppen->isOpen() && cb_gruppenwahl->currentIndex() >= 0)
        mt_artikelgruppen->setRow(cb_gruppenwahl->currentIndex());
    SucheAusfuehren();
}

void Tfrm_artikelstammdaten::gruppenLookupFuellen()
{
    m_gruppeBindung->setValueList(GruppenWerte(tbl_artikelgruppen, QStringLiteral("Artikelgruppe"), QStringLiteral("Name_AG")));
}

// ---- search ------------------------------------------------------------------------------------

QString Tfrm_artikelstammdaten::Filtertext(int gruppe, const QString &suchtext)
{
    const QString T = suchtext.trimmed();
    const QString Q = sqlStringLiteral(T + QLatin1Char('%'));
    if (gruppe == kAlleGruppen)
        return T.isEmpty() ? QString() : QStringLiteral("Suchbegriff like ") + Q;
    const QString G = QString::number(gruppe);
    if (T.isEmpty())
        return QStringLiteral("(Artikelgruppe = ") + G + QStringLiteral(")");
    return QStringLiteral("(Artikelgruppe = ") + G + QStringLiteral(") and ") + QStringLiteral("(Suchbegriff like ") + Q
           + QStringLiteral(")");
}

void Tfrm_artikelstammdaten::SucheAusfuehren()
{
    if (!tbl_artikeln->isOpen())
        return;
    if (!mt_artikelgruppen->isOpen() || mt_artikelgruppen->isEmpty()) {
        Ignorieren([this] { tbl_artikeln->setFiltered(false); });
        return;
    }
    try {
        const QString text = Filtertext(mt_artikelgruppen->asInteger(QStringLiteral("Artikelgruppe")), ed_suche->text());
        if (text.isEmpty()) {
            tbl_artikeln->setFiltered(false);
        } else {
            tbl_artikeln->setFilter(text);
            tbl_artikeln->setFiltered(true);
        }
    } catch (...) {
        Ignorieren([this] { tbl_artikeln->setFiltered(false); });
    }
}

void Tfrm_artikelstammdaten::btn_alleClick()
{
    {
        const QSignalBlocker sperre(ed_suche);
        ed_suche->clear();
    }
    if (mt_artikelgruppen->isOpen() && !mt_artikelgruppen->isEmpty())
        mt_artikelgruppen->first();
    {
        const QSignalBlocker sperre(cb_gruppenwahl);
        cb_gruppenwahl->setCurrentIndex(mt_artikelgruppen->isOpen() ? mt_artikelgruppen->row() : -1);
        if (cb_gruppenwahl->currentIndex() < 0)
            cb_gruppenwahl->setPlaceholderText(txt("sk_6"));
    }
    if (tbl_artikeln->isOpen())
        tbl_artikeln->setFiltered(false);
}

void Tfrm_artikelstammdaten::Buchstabe(int tag)
{
    if (tag >= 1 && tag <= 26) {
        // emptied and set in one go: one search for the letter instead of two
        {
            const QSignalBlocker sperre(ed_suche);
            ed_suche->clear();
        }
        ed_suche->setText(TBuchstabenleiste::buchstabe(tag));
        return;
    }
    ed_suche->clear();
}

// ---- records ------------------------------------------------------------------------------------

void Tfrm_artikelstammdaten::artikelNeueZeile(Dataset &ds)
{
    const auto setze = [&ds](const QString &feld, const QVariant &wert) {
        if (ds.hasField(feld))
            ds.setValue(feld, wert);
    };
    const auto alle = [&](std::initializer_list<const char *> felder, const QVariant &wert) {
        for (const char *f : felder)
            setze(QString::fromLatin1(f), wert);
    };
    alle({"Artikel", "Suchbegriff", "BenutzerSession", "ErloesKontoInland", "ErloesKontoAusland", "ErloesKontoEU",
          "EANCode", "Bildpfad", "Lagerort", "Lieferant1Name", "FremdartikelnummerLieferant1", "Lieferant2Name",
          "FremdartikelnummerLieferant2", "Name_AR_e", "Name_AR_f", "Name_AR_s", "Name_AR_n", "Beschreibung_AR_e",
          "Beschreibung_AR_f", "Beschreibung_AR_s", "Beschreibung_AR_n", "Sonstiges1", "Sonstiges2", "Sonstiges3",
          "Sonstiges4", "Sonstiges5", "Hauptnummer", "Subnummer", "Buttontext1", "Buttontext2",
          "BestandSammelArtikel", "BestandSammelArtikel2", "BestandSammelArtikel3", "BestandSammelArtikel4",
          "BestandSammelArtikel5", "Einheit"},
         QString());
    setze(QStringLiteral("Seriennummer"), QStringLiteral("0"));
    alle({"Preis1", "Preis2", "Preis3", "Preis4", "Preis5", "Preis6", "Einkaufspreis", "Betrag_Verminderung_1",
          "Menge_Verminderung_1", "Betrag_Verminderung_2", "Menge_Verminderung_2", "Betrag_Verminderung_3",
          "Menge_Verminderung_3", "Lagerbestand", "Lieferant1Einkaufspreis", "Lieferant2Einkaufspreis",
          "SammelArtikelUmrechnung", "SammelArtikelUmrechnung2", "SammelArtikelUmrechnung3",
          "SammelArtikelUmrechnung4", "SammelArtikelUmrechnung5"},
         0.0);
    for (int i = 1; i <= 30; ++i)
        setze(QStringLiteral("Lager%1").arg(i), 0.0);
    alle({"Mindestbestand", "UmrechnungAEHinWEH"}, 1.0);
    alle({"Markierung", "BildAufRechnung", "BildAufLieferschein", "BildAufAuftrag", "BildAufAngebot",
          "BildAufBestellung", "Lieferant1", "Lieferant2", "IstKuechenArtikel", "IstSchankArtikel", "IstFavorit",
          "IstKassaArtikel", "IstBeilage", "NichtSteuerpflichtig", "OrderManFarbe", "HatSeriennummern", "PLU",
          "AnzahlTickets", "Preiskalkulation", "BildAufKasse"},
         0);
    alle({"MWST", "Skontofaehig", "Rabattfaehig", "Lagerfuehrung", "Aktiv", "PreisAenderbar", "Sichtbar"}, 1);
    alle({"ID_GS", "Favoritenreihenfolge", "ReihenfolgeInGruppe"}, -1);
    setze(QStringLiteral("ButtonFarbe"), 12632256); // clSilver
    if (tbl_artikelgruppen->isOpen() && !tbl_artikelgruppen->isEmpty())
        setze(QStringLiteral("Artikelgruppe"), tbl_artikelgruppen->value(QStringLiteral("Artikelgruppe")));
    setze(QStringLiteral("Anlagedatum"), Clock::now());
    m_gespeichert.clear(); // nothing is stored yet
}

QString Tfrm_artikelstammdaten::Aenderungstext(const QString &artikel, const QHash<QString, QVariant> &alt,
                                               const QHash<QString, QVariant> &neu)
{
    const auto leer = [](const QVariant &v) {
        return !v.isValid() || v.isNull() || (v.typeId() == QMetaType::QString && v.toString().trimmed().isEmpty());
    };
    QString text = QStringLiteral("Artikel: ") + artikel;
    for (const char *f : kPreise) {
        const QString name = QString::fromLatin1(f);
        try {
            const QVariant a = alt.value(name), n = neu.value(name);
            if (leer(a) || leer(n))
                continue;
            bool okA = false, okN = false;
            const double da = a.toDouble(&okA), dn = n.toDouble(&okN);
            if (!okA || !okN || da == dn)
                continue;
            text += QLatin1Char(' ') + name + QLatin1Char(' ') + formatFloat(da, QStringLiteral(",0.00;-,0.00"))
                    + QLatin1Char('>') + formatFloat(dn, QStringLiteral(",0.00;-,0.00"));
        } catch (...) {
        }
    }
    try {
        const QVariant a = alt.value(QStringLiteral("Artikelgruppe")), n = neu.value(QStringLiteral("Artikelgruppe"));
        bool okA = false, okN = false;
        const int ga = a.toInt(&okA), gn = n.toInt(&okN);
        if (!leer(a) && !leer(n) && okA && okN && ga != gn)
            text += QStringLiteral(" Artikelgruppe ") + QString::number(ga) + QLatin1Char('>') + QString::number(gn);
    } catch (...) {
    }
    return text.left(150);
}

void Tfrm_artikelstammdaten::aenderungProtokollieren(Dataset &ds)
{
    Ignorieren([&] {
        QHash<QString, QVariant> neu;
        for (const char *f : kPreise)
            neu.insert(QString::fromLatin1(f), ds.value(QString::fromLatin1(f)));
        neu.insert(QStringLiteral("Artikelgruppe"), ds.value(QStringLiteral("Artikelgruppe")));
        const QHash<QString, QVariant> alt =
            ds.state() == Dataset::State::Insert ? QHash<QString, QVariant>() : m_gespeichert;
        ProtokollSchreiben(Bearbeiter, Aenderungstext(ds.asString(QStringLiteral("Artikel")), alt, neu), Clock::now());
    });
}

void Tfrm_artikelstammdaten::SuchbegriffSetzen(const QString &feld)
{
    if (!tbl_artikeln->isOpen())
        return;
    tbl_artikeln->updateRecord();
    const auto st = tbl_artikeln->state();
    if (st == Dataset::State::Insert
        || (st == Dataset::State::Edit && tbl_artikeln->asString(QStringLiteral("Suchbegriff")).trimmed().isEmpty()))
        tbl_artikeln->setValue(QStringLiteral("Suchbegriff"), tbl_artikeln->asString(feld).left(20));
}

void Tfrm_artikelstammdaten::btn_neuClick()
{
    if (aufGruppenSeite())
        NeueGruppe();
    else
        NeuerArtikel();
}

void Tfrm_artikelstammdaten::NeuerArtikel()
{
    if (!tbl_artikeln->isOpen())
        return;
    btn_alleClick();
    Ignorieren([this] {
        if (bearbeitet(tbl_artikelgruppen))
            tbl_artikelgruppen->cancel();
    });
    Ignorieren([this] { tbl_artikelgruppen->first(); });
    tbl_artikeln->append();
    ed_artikel->setFocus();
}

void Tfrm_artikelstammdaten::NeueGruppe()
{
    if (!tbl_artikelgruppen->isOpen())
        return;
    Ignorieren([this] {
        if (bearbeitet(tbl_artikeln))
            tbl_artikeln->cancel();
    });
    tbl_artikelgruppen->append();
    if (cb_gruppennummer_auto->isChecked()) {
        QSqlQuery q = prepareQuery(tbl_artikelgruppen->database(), SQL_qry_letzte_artikelgruppennummer);
        execQuery(q);
        if (q.next())
            tbl_artikelgruppen->setValue(QStringLiteral("Artikelgruppe"), q.value(0).toInt() + 1);
        q.finish();
        ed_name_ag->setFocus();
    } else {
        ed_artikelgruppe_nr->setFocus();
    }
}

void Tfrm_artikelstammdaten::btn_uebernehmenClick()
{
    Dataset *ds = aufGruppenSeite() ? tbl_artikelgruppen : tbl_artikeln;
    if (ds->isOpen() && bearbeitet(ds))
        ds->post();
    btn_neu->setFocus();
}

void Tfrm_artikelstammdaten::btn_cancelClick()
{
    Dataset *ds = aufGruppenSeite() ? tbl_artikelgruppen : tbl_artikeln;
    if (ds->isOpen())
        ds->cancel();
}

bool Tfrm_artikelstammdaten::artikelAufRechnung(const QString &artikel) const
{
    QSqlQuery q = prepareQuery(tbl_artikeln->database(),
                               QStringLiteral("select count(*) from Artikelpositionen where Artikel = :partikel"
                                              " and Rechnung_nr <> 0 and Status >= 50"));
    q.bindValue(QStringLiteral(":partikel"), artikel);
    execQuery(q);
    const bool ja = q.next() && q.value(0).toInt() > 0;
    q.finish();
    return ja;
}

void Tfrm_artikelstammdaten::btn_loeschenClick()
{
    if (aufGruppenSeite()) {
        Dataset *g = tbl_artikelgruppen;
        if (!g->isOpen() || g->isEmpty())
            return;
        if (g->recordCount() == 1 && g->state() != Dataset::State::Insert) {
            Dialogs::instance().message(txt("sm_1"));
            return;
        }
        if (!Dialogs::instance().question(txt("am_2")))
            return;
        g->deleteRow();
        Ignorieren([this] { gruppenlisteOeffnen(); });
        return;
    }
    Dataset *a = tbl_artikeln;
    if (!a->isOpen() || a->isEmpty())
        return;
    // a reprint joins the positions with the article row: it must stay
    if (a->state() != Dataset::State::Insert && artikelAufRechnung(a->asString(QStringLiteral("Artikel")))) {
        Dialogs::instance().message(txt("sm_57"));
        return;
    }
    if (!Dialogs::instance().question(txt("am_1")))
        return;
    a->deleteRow();
}

void Tfrm_artikelstammdaten::Kopieren()
{
    Dataset *ds = aufGruppenSeite() ? tbl_artikelgruppen : tbl_artikeln;
    if (!ds->isOpen() || ds->isEmpty())
        return;
    ds->checkBrowseMode();
    QStringList texte;
    QList<bool> leer;
    for (int i = 0; i < ds->fieldCount(); ++i) {
        texte << ds->field(i).asString();
        leer << ds->field(i).isNull();
    }
    ds->append();
    for (int i = 0; i < ds->fieldCount(); ++i)
        if (!leer[i])
            ds->field(i).setAsString(texte[i]);
    (ds == tbl_artikeln ? ed_artikel : ed_artikelgruppe_nr)->setFocus();
}

// ---- picture -----------------------------------------------------------------------------------------

void Tfrm_artikelstammdaten::BildAktualisieren()
{
    Ignorieren([this] {
        const QString ref = tbl_artikeln->isOpen() && !tbl_artikeln->isEmpty()
                                ? tbl_artikeln->asString(QStringLiteral("Bildpfad")) : QString();
        BildLaden(ref, img_bild, 260, 160);
        // centred in its frame
        if (QWidget *rahmen = img_bild->parentWidget())
            img_bild->move((rahmen->width() - img_bild->width()) / 2, (rahmen->height() - img_bild->height()) / 2);
    });
}

void Tfrm_artikelstammdaten::btn_bildpfadClick()
{
    if (!tbl_artikeln->isOpen())
        return;
    const QString datei = Dialogs::instance().openFile(
        QStringLiteral("Bilddatei auswählen"), Bilderordner(),
        QStringLiteral("Bilddateien (*.jpg *.jpeg *.gif *.bmp);;Alle Dateien (*)"));
    if (datei.isEmpty())
        return;
    if (!bearbeitet(tbl_artikeln))
        tbl_artikeln->edit();
    tbl_artikeln->setValue(QStringLiteral("Bildpfad"), BildpfadFuerDatei(datei));
    BildAktualisieren();
}

// ---- hand-over ---------------------------------------------------------------------------------------------

void Tfrm_artikelstammdaten::Ansteuern(const QString &artikel)
{
    Ignorieren([&] {
        if (tbl_artikeln->isOpen())
            tbl_artikeln->locate(QStringLiteral("Artikel"), artikel.trimmed());
    });
}

void Tfrm_artikelstammdaten::btn_uebergebenClick()
{
    if (!tbl_artikeln->isOpen() || tbl_artikeln->isEmpty())
        return;
    if (bearbeitet(tbl_artikeln))
        tbl_artikeln->post();
    const QString artikel = tbl_artikeln->asString(QStringLiteral("Artikel"));
    const QString name = tbl_artikeln->asString(QStringLiteral("Name_AR"));
    close();
    if (erfassung && erfassung->tbl_rechnungerfassen && erfassung->tbl_rechnungerfassen->isOpen()) {
        erfassung->ed_artikel_re->window()->activateWindow();
        erfassung->ArtikelUebernehmen(artikel, name);
    }
}

bool Tfrm_artikelstammdaten::eventFilter(QObject *obj, QEvent *ev)
{
    if (ev->type() == QEvent::FocusOut) {
        if (obj == ed_artikel)
            guarded([this] { SuchbegriffSetzen(QStringLiteral("Artikel")); });
        else if (obj == ed_name_ar)
            guarded([this] { SuchbegriffSetzen(QStringLiteral("Name_AR")); });
    }
    return QWidget::eventFilter(obj, ev);
}
