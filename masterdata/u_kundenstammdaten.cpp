#include "masterdata/u_kundenstammdaten.h"

#include "app/core/u_global.h"
#include "app/core/u_sicherung.h"
#include "app/core/u_sprache.h"
#include "app/core/u_strings.h"
#include "capture/u_erfassung.h"
#include "data/u_dm_datenbank.h"
#include "masterdata/u_stammfenster.h"
#include "data/u_gruppenliste.h"
#include "platform/sql/sqlutil.h"
#include "platform/core/clock.h"
#include "platform/core/dialogs.h"
#include "platform/core/focuscolor.h"
#include "platform/core/guarded.h"
#include "platform/dataset/datagrid.h"
#include "platform/dataset/dataset.h"
#include "platform/dataset/datasetmodel.h"
#include "platform/dataset/fieldbinding.h"
#include "platform/sql/sqlutil.h"

#include <QAbstractItemView>
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
#include <QSqlQuery>
#include <QStyle>
#include <QTabWidget>
#include <QUrl>
#include <QVBoxLayout>

Tfrm_kundenstammdaten *frm_kundenstammdaten = nullptr;

const QString Tfrm_kundenstammdaten::SQL_qry_letzte_kundennummer =
    QStringLiteral("select MAX(Kunde) as Letzter_Kunde from Kundenstamm where Firma =:pfirma");
const QString Tfrm_kundenstammdaten::SQL_qry_letzte_kundengruppennummer =
    QStringLiteral("select MAX(Kundengruppe) as Letzte_Kundengruppe from Kundengruppen");
const QString Tfrm_kundenstammdaten::SQL_qry_rechnungen_uebersicht = QStringLiteral(
    "select Firma, Rechnungsdatum, Periode_re, Rechnung_nr, Kunde, Name_EKU, Status, ZahlungsStatus, Hinweis,"
    " FarbMarkierung, MAX(ZahlungBis) as ZahlungBis, MAX(Rechnungsbetrag) as Rechnungsbetrag,"
    " MAX(Rechnungsbetrag_Bezahlt) as Rechnungsbetrag_Bezahlt, MAX(BezahltAm) as BezahltAm\n"
    "from Artikelpositionen\n"
    "where Firma = :Firma and Kunde = :Kunde and Rechnung_nr <> 0 and Status >= 50\n"
    "group by Firma, Rechnungsdatum, Periode_re, Rechnung_nr, Kunde, Name_EKU, Status, ZahlungsStatus, Hinweis,"
    " FarbMarkierung\n"
    "order by Firma, Periode_re desc, Rechnung_nr desc");

namespace {
const QColor clMoneyGreen(192, 220, 192);
const QColor clSkyBlue(166, 202, 240);
const QColor clInfoBk(255, 255, 225);
constexpr int kAlleGruppen = -17;

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
    OhneFokusfarbe(d);
    return d;
}

QPushButton *knopf(const char *name, const char *text, QStyle::StandardPixmap bild, QWidget *parent)
{
    auto *b = benannt(new QPushButton(QString::fromUtf8(text), parent), name);
    b->setIcon(parent->style()->standardIcon(bild));
    return b;
}

// Post a pending edit; if the database refuses it, drop it without a word.
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

const char *const kLeisteUnten = "pnl_unten";
const char *const kLeisteNavigator = "pnl_navigator";
} // namespace

Tfrm_kundenstammdaten::Tfrm_kundenstammdaten(QWidget *parent) : QWidget(parent, Qt::Window)
{
    frm_kundenstammdaten = this;
    setObjectName(QStringLiteral("frm_kundenstammdaten"));
    setWindowTitle(QStringLiteral("KUNDENSTAMMDATEN"));
    datenAnlegen();
    bauen();
    binden();
    einstellungenLaden();
    FocusColour::install(this, Fokusfarbe);
    auto *tasten = new TFensterTasten(this, {QStringLiteral("me_anmerkung")});
    tasten->tasten.insert(Qt::Key_F6, [this] { btn_neuClick(); });
    tasten->tasten.insert(Qt::Key_F8, [this] { btn_uebernehmenClick(); });
    tasten->tasten.insert(Qt::Key_F2, [this] {
        m_kopierenFreigegeben = true;
        nav_datensatz->setKopierenSichtbar(true);
    });
    tasten->tasten.insert(Qt::Key_F5, [this] {
        if (cb_gruppenwahl->hasFocus())
            cb_gruppenwahl->showPopup();
    });
    Sprache::registerWindow(QStringLiteral("Kundenstamm"), this);
}

Tfrm_kundenstammdaten::~Tfrm_kundenstammdaten()
{
    if (frm_kundenstammdaten == this)
        frm_kundenstammdaten = nullptr;
}

// ---- construction ------------------------------------------------------------------

void Tfrm_kundenstammdaten::datenAnlegen()
{
    tbl_kunden = new Dataset({}, this);
    tbl_kunden->setObjectName(QStringLiteral("tbl_kunden"));
    // the newest first, as the database delivers them: a search then only
    // filters and never sorts thousands of rows again
    tbl_kunden->setSql(QStringLiteral("select * from Kundenstamm order by Firma, Kunde desc"));
    tbl_kundengruppen = new Dataset({}, this);
    tbl_kundengruppen->setObjectName(QStringLiteral("tbl_kundengruppen"));
    tbl_kundengruppen->setTableName(QStringLiteral("Kundengruppen"));
    mt_kundengruppen = new Dataset({}, this);
    mt_kundengruppen->setObjectName(QStringLiteral("mt_kundengruppen"));
    qry_rechnungen_uebersicht = new Dataset({}, this);
    qry_rechnungen_uebersicht->setObjectName(QStringLiteral("qry_rechnungen_uebersicht"));
    qry_rechnungen_uebersicht->setSql(SQL_qry_rechnungen_uebersicht);

    tbl_kunden->onNewRecord = [this](Dataset &ds) { kundeNeueZeile(ds); };
    tbl_kunden->afterScroll = [this](Dataset &) { rechnungenNachfuehren(); };
    tbl_kunden->beforeDelete = [](Dataset &ds) {
        const QString nummer = ds.asString(QStringLiteral("Kunde"));
        Ignorieren([&] { Protokollieren(txt("ps_11") + nummer); });
    };
    tbl_kundengruppen->beforeDelete = [](Dataset &ds) {
        const QString nummer = ds.asString(QStringLiteral("Kundengruppe"));
        Ignorieren([&] { Protokollieren(txt("ps_10") + nummer); });
    };
    tbl_kundengruppen->afterPost = [this](Dataset &) {
        // the group list and the customers see the new or changed group
        Ignorieren([this] { gruppenlisteOeffnen(); });
        Ignorieren([this] {
            const QVariant kunde = tbl_kunden->isOpen() && !tbl_kunden->isEmpty()
                                       ? tbl_kunden->value(QStringLiteral("Kunde")) : QVariant();
            tbl_kunden->close();
            tbl_kunden->open();
            if (kunde.isValid())
                tbl_kunden->locate(QStringLiteral("Kunde"), kunde);
        });
        Ignorieren([this] { gruppenLookupFuellen(); });
    };
    tbl_kundengruppen->afterDelete = [this](Dataset &) { Ignorieren([this] { gruppenLookupFuellen(); }); };
}

void Tfrm_kundenstammdaten::bauen()
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

    // grid area: the customer or the group grid, the search panel at its right
    auto *gitterflaeche = benannt(new QFrame(this), "pnl_grid");
    gitterflaeche->setMinimumHeight(185);
    auto *gh = new QHBoxLayout(gitterflaeche);
    gh->setContentsMargins(4, 4, 4, 4);
    gh->setSpacing(4);
    gr_kunden = benannt(new DataGrid(gitterflaeche), "gr_kunden");
    gr_gruppen = benannt(new DataGrid(gitterflaeche), "gr_gruppen");
    gh->addWidget(gr_kunden, 1);
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
    cb_gruppenwahl->setEditable(false);
    OhneFokusfarbe(cb_gruppenwahl);
    btn_allekunden = knopf("btn_allekunden", "Alle", QStyle::SP_BrowserReload, suche);
    sv->addWidget(beschriftung("l_22", "Suchbegriff eingeben", ed_suche, suche));
    sv->addWidget(ed_suche);
    sv->addSpacing(4);
    sv->addWidget(beschriftung("l_23", "Kundengr. wählen", cb_gruppenwahl, suche));
    sv->addWidget(cb_gruppenwahl);
    sv->addStretch(1);
    sv->addWidget(btn_allekunden);
    gh->addWidget(suche);
    links->addWidget(gitterflaeche, 1);

    // tab area
    pc_kunden = benannt(new QTabWidget(this), "pc_kunden");
    pc_kunden->setFixedHeight(361);
    ts_kunden = bauenKundenSeite();
    ts_kundengruppen = bauenGruppenSeite();
    ts_rechnungen = bauenRechnungenSeite();
    pc_kunden->addTab(ts_kunden, style()->standardIcon(QStyle::SP_FileDialogContentsView), QStringLiteral("Kundendaten"));
    pc_kunden->addTab(ts_kundengruppen, style()->standardIcon(QStyle::SP_DirIcon), QStringLiteral("Kundengruppen"));
    pc_kunden->addTab(ts_rechnungen, style()->standardIcon(QStyle::SP_FileIcon), QStringLiteral("Rechnungen"));
    TabsAlsKnoepfe(pc_kunden);
    auto *tabrand = new QWidget(this);
    auto *tr = new QVBoxLayout(tabrand);
    tr->setContentsMargins(4, 0, 4, 4);
    tr->addWidget(pc_kunden);
    links->addWidget(tabrand);
    oben->addLayout(links, 1);

    pnl_buchstaben = new TBuchstabenleiste(this);
    oben->addWidget(pnl_buchstaben);
    v->addLayout(oben, 1);

    // record button bar
    auto *navleiste = Verlaufsleiste(QString::fromLatin1(kLeisteNavigator), QColor(0, 128, 128), QColor(0, 206, 206), this);
    navleiste->setFixedHeight(49);
    auto *nh = new QHBoxLayout(navleiste);
    nh->setContentsMargins(8, 6, 8, 6);
    nh->setSpacing(6);
    nav_datensatz = new TDatensatzNavigator(navleiste);
    nh->addWidget(nav_datensatz);
    nh->addSpacing(12);
    btn_neu = knopf("btn_neu", "neuer Kunde", QStyle::SP_FileIcon, navleiste);
    btn_uebernehmen = knopf("btn_uebernehmen", "Übernehmen", QStyle::SP_DialogApplyButton, navleiste);
    btn_loeschen = knopf("btn_loeschen", "Kunde löschen", QStyle::SP_TrashIcon, navleiste);
    btn_cancel = knopf("btn_cancel", "Abbrechen", QStyle::SP_DialogCancelButton, navleiste);
    for (QPushButton *b : {btn_neu, btn_uebernehmen, btn_loeschen, btn_cancel}) {
        b->setMinimumWidth(118);
        b->setMinimumHeight(30);
        nh->addWidget(b);
    }
    nh->addStretch(1);
    v->addWidget(navleiste);

    // closing button bar
    auto *unten = Verlaufsleiste(QString::fromLatin1(kLeisteUnten), QColor(9, 59, 144), QColor(92, 131, 208), this);
    unten->setFixedHeight(70);
    auto *uh = new QHBoxLayout(unten);
    uh->setContentsMargins(12, 12, 12, 12);
    uh->setSpacing(10);
    uh->addStretch(1);
    btn_uebergeben = knopf("btn_uebergeben", "Kunde übergeben", QStyle::SP_ArrowForward, unten);
    btn_close = knopf("btn_close", "Schliessen", QStyle::SP_DialogCloseButton, unten);
    for (QPushButton *b : {btn_uebergeben, btn_close}) {
        b->setMinimumSize(150, 38);
        uh->addWidget(b);
    }
    btn_uebergeben->setVisible(false);
    v->addWidget(unten);

    resize(835, 667);
    setMinimumSize(760, 600);

    // grids
    gr_kunden->setDataset(tbl_kunden, {{"Markierung", "M", {}, 26},
                                       {"Kundengruppe", txt("gr_kunden_kundengruppe"), {}, 40},
                                       {"Kunde", txt("gr_kunden_kundennummer"), {}, 70},
                                       {"Name_KU", txt("gr_kunden_name1"), {}, 170},
                                       {"Zusatzname_KU", txt("gr_kunden_name2"), {}, 130},
                                       {"PLZ", txt("gr_kunden_plz"), {}, 50},
                                       {"Ort", txt("gr_kunden_ort"), {}, 110},
                                       {"Strasse_Hnr", txt("gr_kunden_strassehausnummer"), {}, 140},
                                       {"TelefonPrivat", txt("gr_kunden_telefon"), {}, 100},
                                       {"EMail1", txt("gr_kunden_email"), {}, 150}});
    gr_kunden->setCellPainter(0, AufzaehlungsMaler());
    gr_gruppen->setDataset(tbl_kundengruppen, {{"Kundengruppe", txt("gr_gruppenk_kundengruppe"), {}, 110},
                                               {"Name_KG", txt("gr_gruppenk_name"), {}, 300}});
    gr_gruppen->setVisible(false);
    for (DataGrid *g : {gr_kunden, gr_gruppen}) {
        g->horizontalHeader()->setStretchLastSection(true);
        g->verticalHeader()->setVisible(false);
    }

    // handlers
    connect(pc_kunden, &QTabWidget::currentChanged, this, [this] { guarded([this] { pc_kundenChange(); }); });
    connect(btn_neu, &QPushButton::clicked, this, [this] { guarded([this] { btn_neuClick(); }); });
    connect(btn_uebernehmen, &QPushButton::clicked, this, [this] { guarded([this] { btn_uebernehmenClick(); }); });
    connect(btn_loeschen, &QPushButton::clicked, this, [this] { guarded([this] { btn_loeschenClick(); }); });
    connect(btn_cancel, &QPushButton::clicked, this, [this] { guarded([this] { btn_cancelClick(); }); });
    connect(btn_close, &QPushButton::clicked, this, [this] { close(); });
    connect(btn_uebergeben, &QPushButton::clicked, this, [this] { guarded([this] { btn_uebergebenClick(); }); });
    connect(btn_email, &QPushButton::clicked, this, [this] { guarded([this] { btn_emailClick(); }); });
    connect(btn_homepage, &QPushButton::clicked, this, [this] { guarded([this] { btn_homepageClick(); }); });
    connect(btn_rechnung_vorschau, &QPushButton::clicked, this,
            [this] { guarded([this] { btn_rechnung_vorschauClick(); }); });
    connect(btn_allekunden, &QPushButton::clicked, this, [this] { guarded([this] { btn_allekundenClick(); }); });
    connect(pnl_buchstaben, &TBuchstabenleiste::gewaehlt, this, [this](int tag) { guarded([this, tag] { Buchstabe(tag); }); });
    connect(ed_suche, &QLineEdit::textChanged, this, [this] { guarded([this] { SucheAusfuehren(); }); });
    connect(cb_gruppenwahl, &QComboBox::activated, this, [this] { guarded([this] { gruppeGewaehlt(); }); });
    nav_datensatz->onKopieren = [this] { Kopieren(); };
    ed_name_ku->installEventFilter(this);
}

QWidget *Tfrm_kundenstammdaten::bauenKundenSeite()
{
    auto *seite = benannt(new QWidget, "ts_kunden");
    auto *h = new QHBoxLayout(seite);
    h->setContentsMargins(8, 8, 8, 8);
    h->setSpacing(12);

    auto *g = new QGridLayout;
    g->setHorizontalSpacing(6);
    g->setVerticalSpacing(5);
    ed_kunde = feld("ed_kunde", seite, clMoneyGreen);
    ed_kunde->setMaximumWidth(90);
    ed_name_ku = feld("ed_name_ku", seite, clMoneyGreen);
    ed_zusatzname_ku = feld("ed_zusatzname_ku", seite, clMoneyGreen);
    ed_strasse_hnr = feld("ed_strasse_hnr", seite);
    cb_land = benannt(new QComboBox(seite), "cb_land");
    cb_land->setEditable(true);
    cb_land->setInsertPolicy(QComboBox::NoInsert);
    cb_land->setFixedWidth(88);
    ed_plz = feld("ed_plz", seite);
    ed_plz->setFixedWidth(46);
    ed_ort = feld("ed_ort", seite);
    ed_ort->setMinimumWidth(80);
    cb_kundengruppe = benannt(new QComboBox(seite), "cb_kundengruppe");
    cb_kundengruppe->setMaxVisibleItems(8);
    ed_suchbegriff = feld("ed_suchbegriff", seite, clSkyBlue);
    cb_markierung = benannt(new QComboBox(seite), "cb_markierung");
    cb_markierung->setFixedWidth(70);
    ed_telefonprivat = feld("ed_telefonprivat", seite, clInfoBk);
    ed_telefonfirma = feld("ed_telefonfirma", seite, clInfoBk);
    ed_mobiltelefon = feld("ed_mobiltelefon", seite, clInfoBk);
    ed_faxnummer = feld("ed_faxnummer", seite, clInfoBk);
    ed_email1 = feld("ed_email1", seite);
    btn_email = benannt(new QPushButton(seite), "btn_email");
    btn_email->setIcon(QIcon::fromTheme(QStringLiteral("mail-send"), style()->standardIcon(QStyle::SP_ArrowRight)));
    btn_email->setToolTip(QStringLiteral("mailto:"));
    btn_email->setFixedSize(26, 24);
    btn_email->setFocusPolicy(Qt::ClickFocus);
    ed_homepage = feld("ed_homepage", seite);
    btn_homepage = benannt(new QPushButton(seite), "btn_homepage");
    btn_homepage->setIcon(QIcon::fromTheme(QStringLiteral("internet-web-browser"), style()->standardIcon(QStyle::SP_DirLinkIcon)));
    btn_homepage->setFixedSize(26, 24);
    btn_homepage->setFocusPolicy(Qt::ClickFocus);
    cb_sichtbar = benannt(new QCheckBox(QStringLiteral("Sichtbar"), seite), "cb_sichtbar");

    int r = 0;
    g->addWidget(beschriftung("l_1", "Kunde Nr.", ed_kunde, seite), r, 0);
    g->addWidget(ed_kunde, r++, 1, Qt::AlignLeft);
    g->addWidget(beschriftung("l_2", "Kundenname 1", ed_name_ku, seite), r, 0);
    g->addWidget(ed_name_ku, r++, 1);
    g->addWidget(beschriftung("l_3", "Kundenname 2", ed_zusatzname_ku, seite), r, 0);
    g->addWidget(ed_zusatzname_ku, r++, 1);
    g->addWidget(beschriftung("l_4", "Straße/Haus Nr.", ed_strasse_hnr, seite), r, 0);
    g->addWidget(ed_strasse_hnr, r++, 1);
    auto *ort = new QHBoxLayout;
    ort->setSpacing(4);
    ort->addWidget(cb_land);
    ort->addWidget(ed_plz);
    ort->addWidget(ed_ort, 1);
    g->addWidget(beschriftung("l_5", "Land-PLZ/Ort", cb_land, seite), r, 0);
    g->addLayout(ort, r++, 1);
    g->addWidget(beschriftung("l_6", "Kundengruppe", cb_kundengruppe, seite), r, 0);
    g->addWidget(cb_kundengruppe, r++, 1);
    g->addWidget(beschriftung("l_7", "Suchbegriff", ed_suchbegriff, seite), r, 0);
    g->addWidget(ed_suchbegriff, r++, 1);
    auto *mark = new QHBoxLayout;
    mark->addWidget(cb_markierung);
    mark->addStretch(1);
    mark->addWidget(cb_sichtbar);
    g->addWidget(beschriftung("l_8", "Markierung", cb_markierung, seite), r, 0);
    g->addLayout(mark, r++, 1);

    r = 0;
    g->addWidget(beschriftung("l_9", "Telefon", ed_telefonprivat, seite), r, 2);
    g->addWidget(ed_telefonprivat, r++, 3, 1, 2);
    g->addWidget(beschriftung("l_10", "Telefon 2", ed_telefonfirma, seite), r, 2);
    g->addWidget(ed_telefonfirma, r++, 3, 1, 2);
    g->addWidget(beschriftung("l_11", "Mobil", ed_mobiltelefon, seite), r, 2);
    g->addWidget(ed_mobiltelefon, r++, 3, 1, 2);
    g->addWidget(beschriftung("l_12", "Fax", ed_faxnummer, seite), r, 2);
    g->addWidget(ed_faxnummer, r++, 3, 1, 2);
    g->addWidget(beschriftung("l_13", "EMail ", ed_email1, seite), r, 2);
    g->addWidget(ed_email1, r, 3);
    g->addWidget(btn_email, r++, 4);
    g->addWidget(beschriftung("l_14", "Homepage", ed_homepage, seite), r, 2);
    g->addWidget(ed_homepage, r, 3);
    g->addWidget(btn_homepage, r++, 4);
    g->setColumnStretch(1, 5);
    g->setColumnStretch(3, 2);
    for (QWidget *t : {ed_telefonprivat, ed_telefonfirma, ed_mobiltelefon, ed_faxnummer, ed_email1, ed_homepage})
        t->setMinimumWidth(96);
    g->setColumnMinimumWidth(2, 60);
    g->setRowStretch(8, 1);
    h->addLayout(g, 1);

    // side pages
    pc_zusatz = benannt(new QTabWidget(seite), "pc_zusatz");
    pc_zusatz->setFixedWidth(210);
    ts_zusaetzliches = benannt(new QWidget, "ts_zusaetzliches");
    {
        auto *z = new QGridLayout(ts_zusaetzliches);
        z->setContentsMargins(6, 6, 6, 6);
        z->setVerticalSpacing(4);
        cb_mwst = benannt(new QCheckBox(QStringLiteral("MWST"), ts_zusaetzliches), "cb_mwst");
        ed_steuernummer = feld("ed_steuernummer", ts_zusaetzliches);
        ed_uidnummer = feld("ed_uidnummer", ts_zusaetzliches);
        ed_kaeuferreferenz = feld("ed_kaeuferreferenz", ts_zusaetzliches);
        ed_kaeuferreferenz->setMaxLength(100);
        me_anmerkung = benannt(new QPlainTextEdit(ts_zusaetzliches), "me_anmerkung");
        me_anmerkung->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        me_anmerkung->setTabChangesFocus(true);
        OhneFokusfarbe(me_anmerkung);
        z->addWidget(cb_mwst, 0, 0, 1, 2);
        z->addWidget(beschriftung("l_15", "Steuer Nr.", ed_steuernummer, ts_zusaetzliches), 1, 0);
        z->addWidget(ed_steuernummer, 1, 1);
        z->addWidget(beschriftung("l_16", "UID Nr.", ed_uidnummer, ts_zusaetzliches), 2, 0);
        z->addWidget(ed_uidnummer, 2, 1);
        // the label is longer than the page is wide: it stands above its field
        z->addWidget(beschriftung("l_25", "Käuferreferenz / Leitweg-ID", ed_kaeuferreferenz, ts_zusaetzliches), 3, 0, 1, 2);
        z->addWidget(ed_kaeuferreferenz, 4, 0, 1, 2);
        z->addWidget(beschriftung("l_17", "Anmerkung", me_anmerkung, ts_zusaetzliches), 5, 0, 1, 2);
        z->addWidget(me_anmerkung, 6, 0, 1, 2);
        z->setRowStretch(6, 1);
    }
    ts_sonstiges = benannt(new QWidget, "ts_sonstiges");
    {
        auto *z = new QGridLayout(ts_sonstiges);
        z->setContentsMargins(6, 6, 6, 6);
        z->setVerticalSpacing(4);
        for (int i = 0; i < 5; ++i) {
            ed_sonstiges_caption[i] = Beschriftungsfeld(QStringLiteral("ed_sonstiges%1_caption").arg(i + 1),
                                                        QStringLiteral("Sonstiges  %1").arg(i + 1), ts_sonstiges);
            ed_sonstiges_caption[i]->setFixedWidth(86);
            ed_sonstiges[i] = new QLineEdit(ts_sonstiges);
            ed_sonstiges[i]->setObjectName(QStringLiteral("ed_sonstiges%1").arg(i + 1));
            z->addWidget(ed_sonstiges_caption[i], i, 0);
            z->addWidget(ed_sonstiges[i], i, 1);
        }
        ed_anlagedatum = datumsfeld("ed_anlagedatum", ts_sonstiges);
        ed_benutzerdatum = datumsfeld("ed_benutzerdatum", ts_sonstiges);
        z->addWidget(beschriftung("l_18", "Anlagedatum", ed_anlagedatum, ts_sonstiges), 5, 0);
        z->addWidget(ed_anlagedatum, 5, 1);
        z->addWidget(beschriftung("l_19", "Änderungsdatum", ed_benutzerdatum, ts_sonstiges), 6, 0);
        z->addWidget(ed_benutzerdatum, 6, 1);
        z->setRowStretch(7, 1);
    }
    pc_zusatz->addTab(ts_zusaetzliches, QStringLiteral("Zusätzliches"));
    pc_zusatz->addTab(ts_sonstiges, QStringLiteral("Sonstiges"));
    h->addWidget(pc_zusatz);
    return seite;
}

QWidget *Tfrm_kundenstammdaten::bauenGruppenSeite()
{
    auto *seite = benannt(new QWidget, "ts_kundengruppen");
    auto *g = new QGridLayout(seite);
    g->setContentsMargins(12, 14, 12, 12);
    g->setHorizontalSpacing(8);
    g->setVerticalSpacing(8);
    ed_kundengruppe_nr = feld("ed_kundengruppe_nr", seite, clMoneyGreen);
    ed_kundengruppe_nr->setMaximumWidth(90);
    ed_name_kg = feld("ed_name_kg", seite, clMoneyGreen);
    ed_name_kg->setMinimumWidth(320);
    cb_gruppennummer_auto = benannt(new QCheckBox(seite), "cb_gruppennummer_auto");
    cb_gruppennummer_auto->setChecked(true);
    g->addWidget(beschriftung("l_20", "Kundengruppe Nr.", ed_kundengruppe_nr, seite), 0, 0);
    g->addWidget(ed_kundengruppe_nr, 0, 1, Qt::AlignLeft);
    g->addWidget(beschriftung("l_21", "Name", ed_name_kg, seite), 1, 0);
    g->addWidget(ed_name_kg, 1, 1, Qt::AlignLeft);
    auto *auto_ = new QHBoxLayout;
    auto_->addWidget(cb_gruppennummer_auto);
    auto_->addWidget(beschriftung("l_24", "Kundengruppenummer automatisch vergeben", cb_gruppennummer_auto, seite));
    auto_->addStretch(1);
    g->addLayout(auto_, 2, 1);
    g->setColumnStretch(2, 1);
    g->setRowStretch(3, 1);
    return seite;
}

QWidget *Tfrm_kundenstammdaten::bauenRechnungenSeite()
{
    auto *seite = benannt(new QWidget, "ts_rechnungen");
    auto *h = new QHBoxLayout(seite);
    h->setContentsMargins(8, 8, 8, 8);
    h->setSpacing(8);
    auto *knopfspalte = new QVBoxLayout;
    btn_rechnung_vorschau = knopf("btn_rechnung_vorschau", "Rechnung Vorschau", QStyle::SP_FileDialogContentsView, seite);
    btn_rechnung_vorschau->setMinimumSize(140, 40);
    knopfspalte->addWidget(btn_rechnung_vorschau);
    knopfspalte->addStretch(1);
    h->addLayout(knopfspalte);
    pc_rechnungen = benannt(new QTabWidget(seite), "pc_rechnungen");
    ts_artikelpositionen = benannt(new QWidget, "ts_artikelpositionen");
    auto *rv = new QVBoxLayout(ts_artikelpositionen);
    rv->setContentsMargins(2, 2, 2, 2);
    gr_rechnungen = benannt(new DataGrid(ts_artikelpositionen), "gr_rechnungen");
    rv->addWidget(gr_rechnungen);
    pc_rechnungen->addTab(ts_artikelpositionen, QStringLiteral("Rechnungen"));
    h->addWidget(pc_rechnungen, 1);
    gr_rechnungen->setDataset(qry_rechnungen_uebersicht,
                              {{"FarbMarkierung", "M", {}, 26},
                               {"Rechnungsdatum", txt("gr_rechnungenk_datum"), "dd.mm.yyyy", 90},
                               {"Rechnung_nr", txt("gr_rechnungenk_rechnungsnummer"), {}, 80},
                               {"Rechnungsbetrag", txt("gr_rechnungenk_rechnungsbetrag"), ",0.00;-,0.00", 100},
                               {"Hinweis", txt("gr_rechnungenk_hinweis"), {}, 250}});
    gr_rechnungen->setCellPainter(0, AufzaehlungsMaler());
    gr_rechnungen->horizontalHeader()->setStretchLastSection(true);
    gr_rechnungen->verticalHeader()->setVisible(false);
    return seite;
}

void Tfrm_kundenstammdaten::binden()
{
    Dataset *k = tbl_kunden;
    new LineEditBinding(k, QStringLiteral("Kunde"), ed_kunde);
    new LineEditBinding(k, QStringLiteral("Name_KU"), ed_name_ku);
    new LineEditBinding(k, QStringLiteral("Zusatzname_KU"), ed_zusatzname_ku);
    new LineEditBinding(k, QStringLiteral("Strasse_Hnr"), ed_strasse_hnr);
    m_landBindung = new ComboBoxBinding(k, QStringLiteral("Land"), cb_land);
    new LineEditBinding(k, QStringLiteral("PLZ"), ed_plz);
    new LineEditBinding(k, QStringLiteral("Ort"), ed_ort);
    m_gruppeBindung = new ComboBoxBinding(k, QStringLiteral("Kundengruppe"), cb_kundengruppe);
    m_gruppeBindung->setValueList({});
    new LineEditBinding(k, QStringLiteral("Suchbegriff"), ed_suchbegriff);
    auto *mark = new ComboBoxBinding(k, QStringLiteral("Markierung"), cb_markierung);
    mark->setValueList(MarkierungsWerte());
    MarkierungsBilderSetzen(cb_markierung);
    new LineEditBinding(k, QStringLiteral("TelefonPrivat"), ed_telefonprivat);
    new LineEditBinding(k, QStringLiteral("TelefonFirma"), ed_telefonfirma);
    new LineEditBinding(k, QStringLiteral("MobilTelefon"), ed_mobiltelefon);
    new LineEditBinding(k, QStringLiteral("FaxNummer"), ed_faxnummer);
    new LineEditBinding(k, QStringLiteral("EMail1"), ed_email1);
    new LineEditBinding(k, QStringLiteral("Homepage"), ed_homepage);
    new CheckBoxBinding(k, QStringLiteral("Sichtbar"), cb_sichtbar);
    new CheckBoxBinding(k, QStringLiteral("MWST"), cb_mwst);
    new LineEditBinding(k, QStringLiteral("Steuernummer"), ed_steuernummer);
    new LineEditBinding(k, QStringLiteral("UIDNummer"), ed_uidnummer);
    new LineEditBinding(k, QStringLiteral("Kaeuferreferenz"), ed_kaeuferreferenz);
    new MemoBinding(k, QStringLiteral("Anmerkung"), me_anmerkung);
    for (int i = 0; i < 5; ++i)
        new LineEditBinding(k, QStringLiteral("Sonstiges%1").arg(i + 1), ed_sonstiges[i]);
    (new DateEditBinding(k, QStringLiteral("Anlagedatum"), ed_anlagedatum))->setReadOnly(true);
    (new DateEditBinding(k, QStringLiteral("Benutzerdatum"), ed_benutzerdatum))->setReadOnly(true);

    new LineEditBinding(tbl_kundengruppen, QStringLiteral("Kundengruppe"), ed_kundengruppe_nr);
    new LineEditBinding(tbl_kundengruppen, QStringLiteral("Name_KG"), ed_name_kg);
}

// ---- settings -------------------------------------------------------------------------

void Tfrm_kundenstammdaten::einstellungenLaden()
{
    const TFensterSpeicher s(QStringLiteral("Tfrm_kundenstammdaten"));
    cb_gruppennummer_auto->setChecked(s.wert(QStringLiteral("cb_gruppennummer_auto_Checked"), true).toBool());
    for (int i = 0; i < 5; ++i) {
        QLineEdit *c = ed_sonstiges_caption[i];
        c->setText(s.wert(c->objectName() + QStringLiteral("_Text"), c->text()).toString());
    }
}

void Tfrm_kundenstammdaten::einstellungenSpeichern()
{
    const TFensterSpeicher s(QStringLiteral("Tfrm_kundenstammdaten"));
    s.platzierungSpeichern(this);
    s.setzen(QStringLiteral("cb_gruppennummer_auto_Checked"), cb_gruppennummer_auto->isChecked());
    for (QLineEdit *c : ed_sonstiges_caption)
        s.setzen(c->objectName() + QStringLiteral("_Text"), c->text());
}

// ---- life cycle -------------------------------------------------------------------------

void Tfrm_kundenstammdaten::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    if (e->spontaneous() || !m_geschlossen)
        return;
    m_geschlossen = false;
    TFensterSpeicher(QStringLiteral("Tfrm_kundenstammdaten")).platzierungLaden(this);
    guarded([this] { FormShow(); });
}

void Tfrm_kundenstammdaten::closeEvent(QCloseEvent *e)
{
    guarded([this] { FormClose(); });
    Ignorieren([this] { einstellungenSpeichern(); });
    m_geschlossen = true;
    e->accept();
}

void Tfrm_kundenstammdaten::FormShow()
{
    const QSqlDatabase db = dm_datenbank ? dm_datenbank->Datenbank_Verbindung.db() : QSqlDatabase();
    for (Dataset *ds : {tbl_kunden, tbl_kundengruppen, mt_kundengruppen, qry_rechnungen_uebersicht})
        ds->setDatabase(db);

    // 1. countries from the settings; any other text may be typed
    QStringList laender = Einstellung::lines(QStringLiteral("me_laender"));
    while (!laender.isEmpty() && laender.last().trimmed().isEmpty())
        laender.removeLast();
    cb_land->clear();
    cb_land->addItems(laender);
    m_landBindung->reload();

    // 2. first pages, customer-tab state
    const QSignalBlocker sperre(pc_kunden);
    pc_kunden->setCurrentWidget(ts_kunden);
    pc_zusatz->setCurrentWidget(ts_zusaetzliches);
    pc_rechnungen->setCurrentWidget(ts_artikelpositionen);
    pc_kundenChange();

    // 3. group list
    gruppenlisteAufbauen();
    gruppenlisteOeffnen();

    // 4. customers of the company, newest first
    tbl_kunden->close();
    tbl_kunden->setFilter(QStringLiteral("Firma=%1").arg(AktuelleFirma));
    tbl_kunden->setFiltered(true);
    tbl_kunden->open();
    tbl_kunden->setSort(QString()); // Kunde DESC by the statement; a title click sorts from there
    tbl_kunden->first();

    // 5. + 6.
    btn_allekundenClick();
    tbl_kundengruppen->open();
    tbl_kundengruppen->setSort(QStringLiteral("Kundengruppe"));
    gruppenLookupFuellen();
    ed_name_ku->setFocus();
}

void Tfrm_kundenstammdaten::FormClose()
{
    speichernOderVerwerfen(tbl_kunden);
    speichernOderVerwerfen(tbl_kundengruppen);
    Ignorieren([this] { tbl_kundengruppen->close(); });
    Ignorieren([this] { qry_rechnungen_uebersicht->close(); });
    Ignorieren([this] { tbl_kunden->close(); });
    // the capture's customer picker sees the changes
    Ignorieren([] {
        if (erfassung && erfassung->qry_kunden && dm_datenbank) {
            erfassung->qry_kunden->close();
            erfassung->qry_kunden->setDatabase(dm_datenbank->Datenbank_Verbindung.db());
            erfassung->qry_kunden->open();
        }
    });
}

bool Tfrm_kundenstammdaten::aufRechnungsSeite() const { return pc_kunden->currentWidget() == ts_rechnungen; }
bool Tfrm_kundenstammdaten::aufGruppenSeite() const { return pc_kunden->currentWidget() == ts_kundengruppen; }

void Tfrm_kundenstammdaten::pc_kundenChange()
{
    const auto sucheFreigeben = [this](bool an) {
        btn_allekunden->setEnabled(an);
        ed_suche->setEnabled(an);
        cb_gruppenwahl->setEnabled(an);
        pnl_buchstaben->setEnabled(an);
    };
    sucheFreigeben(false);
    gr_kunden->setVisible(false);
    gr_gruppen->setVisible(false);
    Ignorieren([this] { qry_rechnungen_uebersicht->close(); });

    if (aufRechnungsSeite()) {
        if (!tbl_kunden->isOpen())
            return;
        rechnungenNachfuehren();
        gr_kunden->setVisible(true);
        sucheFreigeben(true);
        Ignorieren([this] { gruppenlisteOeffnen(); });
    } else if (aufGruppenSeite()) {
        btn_neu->setText(txt("sk_7"));
        btn_uebernehmen->setText(txt("sk_8"));
        btn_loeschen->setText(txt("sk_9"));
        btn_cancel->setText(txt("sk_10"));
        gr_gruppen->setVisible(true);
        nav_datensatz->setDataset(tbl_kundengruppen, gr_gruppen);
    } else {
        btn_neu->setText(txt("sk_13"));
        btn_uebernehmen->setText(txt("sk_8"));
        btn_loeschen->setText(txt("sk_14"));
        btn_cancel->setText(txt("sk_10"));
        gr_kunden->setVisible(true);
        nav_datensatz->setDataset(tbl_kunden, gr_kunden);
        sucheFreigeben(true);
        Ignorieren([this] { gruppenlisteOeffnen(); });
    }
}

// ---- group list of the search panel --------------------------------------------------------------

void Tfrm_kundenstammdaten::gruppenlisteAufbauen()
{
    GruppenlisteAufbauen(mt_kundengruppen, QStringLiteral("Kundengruppen"), QStringLiteral("Kundengruppe"), QStringLiteral("Name_KG"));
}

void Tfrm_kundenstammdaten::gruppenlisteOeffnen()
{
    GruppenlisteOeffnen(mt_kundengruppen, cb_gruppenwahl, QStringLiteral("Kundengruppen"), QStringLiteral("Kundengruppe"),
                        QStringLiteral("Name_KG"));
}

void Tfrm_kundenstammdaten::gruppenwahlFuellen()
{
    GruppenwahlFuellen(mt_kundengruppen, cb_gruppenwahl, QStringLiteral("Kundengruppe"), QStringLiteral("Name_KG"));
}

void Tfrm_kundenstammdaten::gruppeGewaehlt()
{
    if (mt_kundengruppen->isOpen() && cb_gruppenwahl->currentIndex() >= 0)
        mt_kundengruppen->setRow(cb_gruppenwahl->currentIndex());
    SucheAusfuehren();
}

void Tfrm_kundenstammdaten::gruppenLookupFuellen()
{
    m_gruppeBindung->setValueList(GruppenWerte(tbl_kundengruppen, QStringLiteral("Kundengruppe"), QStringLiteral("Name_KG")));
}

// ---- search ------------------------------------------------------------------------------------------

QString Tfrm_kundenstammdaten::Filtertext(int gruppe, const QString &suchtext, int firma)
{
    const QString F = QString::number(firma);
    const QString T = suchtext.trimmed();
    const QString Q = sqlStringLiteral(T + QLatin1Char('%'));
    if (gruppe == kAlleGruppen) {
        if (T.isEmpty())
            return QStringLiteral("Firma=") + F;
        return QStringLiteral("(Suchbegriff like ") + Q + QStringLiteral(")") + QStringLiteral(" and ")
               + QStringLiteral("(") + QStringLiteral("Firma=") + F + QStringLiteral(")");
    }
    const QString G = QString::number(gruppe);
    if (T.isEmpty())
        return QStringLiteral("(Kundengruppe = ") + G + QStringLiteral(") and ") + QStringLiteral("(")
               + QStringLiteral("Firma=") + F + QStringLiteral(")");
    return QStringLiteral("(Kundengruppe = ") + G + QStringLiteral(") and ") + QStringLiteral("(Suchbegriff like ") + Q
           + QStringLiteral(")") + QStringLiteral(" and ") + QStringLiteral("(") + QStringLiteral("Firma=") + F
           + QStringLiteral(")");
}

void Tfrm_kundenstammdaten::SucheAusfuehren()
{
    if (!tbl_kunden->isOpen())
        return;
    if (!mt_kundengruppen->isOpen() || mt_kundengruppen->isEmpty()) {
        Ignorieren([this] { tbl_kunden->setFiltered(false); });
        return;
    }
    // the new filter replaces the old one in a single pass over the rows
    try {
        const int gruppe = mt_kundengruppen->asInteger(QStringLiteral("Kundengruppe"));
        tbl_kunden->setFilter(Filtertext(gruppe, ed_suche->text(), AktuelleFirma));
        tbl_kunden->setFiltered(true);
    } catch (...) {
        try {
            tbl_kunden->setFilter(QStringLiteral("Firma=%1").arg(AktuelleFirma));
            tbl_kunden->setFiltered(true);
        } catch (...) {
            Ignorieren([this] { tbl_kunden->setFiltered(false); });
        }
    }
}

void Tfrm_kundenstammdaten::btn_allekundenClick()
{
    {
        const QSignalBlocker sperre(ed_suche);
        ed_suche->clear();
    }
    if (mt_kundengruppen->isOpen() && !mt_kundengruppen->isEmpty())
        mt_kundengruppen->first();
    {
        const QSignalBlocker sperre(cb_gruppenwahl);
        cb_gruppenwahl->setCurrentIndex(mt_kundengruppen->isOpen() ? mt_kundengruppen->row() : -1);
        if (cb_gruppenwahl->currentIndex() < 0)
            cb_gruppenwahl->setPlaceholderText(txt("sk_6"));
    }
    if (tbl_kunden->isOpen()) {
        tbl_kunden->setFilter(QStringLiteral("Firma=%1").arg(AktuelleFirma));
        tbl_kunden->setFiltered(true);
    }
}

void Tfrm_kundenstammdaten::Buchstabe(int tag)
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

// ---- records ------------------------------------------------------------------------------------------------

void Tfrm_kundenstammdaten::kundeNeueZeile(Dataset &ds)
{
    const auto setze = [&ds](const char *feld, const QVariant &wert) {
        if (ds.hasField(QString::fromLatin1(feld)))
            ds.setValue(QString::fromLatin1(feld), wert);
    };
    setze("Firma", AktuelleFirma);
    if (tbl_kundengruppen->isOpen() && !tbl_kundengruppen->isEmpty())
        setze("Kundengruppe", tbl_kundengruppen->value(QStringLiteral("Kundengruppe")));
    setze("Kunde", -1);
    setze("Preisliste", 1);
    setze("Rabatt", 0.0);
    setze("Zahlschein", 0);
    setze("Skonto", 1);
    setze("Mahnung", 1);
    setze("MWST", 1);
    setze("InnerGemLieferung", 0);
    setze("Skontotage", 0);
    setze("Skontoprozent", 0.0);
    setze("Nettotage", 0);
    setze("Markierung", 0);
    setze("Uebersetzung", 0);
    setze("Bruttobetraganzeigen", 0);
    setze("Sichtbar", 1);
    setze("Anlagedatum", Clock::now());
    for (const char *f : {"Land", "Suchbegriff", "Zusatzname_KU", "BenutzerSession", "Sonstiges1", "Sonstiges2",
                          "Sonstiges3", "Sonstiges4", "Sonstiges5", "Homepage", "EMail1", "EMail2"})
        setze(f, QString());
}

void Tfrm_kundenstammdaten::btn_neuClick()
{
    if (aufRechnungsSeite())
        return;
    if (aufGruppenSeite())
        NeueGruppe();
    else
        NeuerKunde();
}

void Tfrm_kundenstammdaten::NeuerKunde()
{
    if (!tbl_kunden->isOpen())
        return;
    btn_allekundenClick();
    Ignorieren([this] { tbl_kundengruppen->first(); });
    tbl_kunden->append();
    QSqlQuery q = prepareQuery(tbl_kunden->database(), SQL_qry_letzte_kundennummer);
    q.bindValue(QStringLiteral(":pfirma"), AktuelleFirma);
    execQuery(q);
    if (q.next())
        tbl_kunden->setValue(QStringLiteral("Kunde"), q.value(0).toInt() + 1); // NULL reads as 0
    q.finish();
    ed_name_ku->setFocus();
}

void Tfrm_kundenstammdaten::NeueGruppe()
{
    if (!tbl_kundengruppen->isOpen())
        return;
    tbl_kundengruppen->append();
    if (cb_gruppennummer_auto->isChecked()) {
        QSqlQuery q = prepareQuery(tbl_kundengruppen->database(), SQL_qry_letzte_kundengruppennummer);
        execQuery(q);
        if (q.next())
            tbl_kundengruppen->setValue(QStringLiteral("Kundengruppe"), q.value(0).toInt() + 1);
        q.finish();
    }
    ed_name_kg->setFocus();
}

void Tfrm_kundenstammdaten::btn_uebernehmenClick()
{
    if (aufRechnungsSeite())
        return;
    Dataset *ds = aufGruppenSeite() ? tbl_kundengruppen : tbl_kunden;
    if (ds->isOpen() && bearbeitet(ds))
        ds->post();
    btn_neu->setFocus();
}

void Tfrm_kundenstammdaten::btn_cancelClick()
{
    if (aufRechnungsSeite())
        return;
    Dataset *ds = aufGruppenSeite() ? tbl_kundengruppen : tbl_kunden;
    if (ds->isOpen())
        ds->cancel();
}

bool Tfrm_kundenstammdaten::kundeHatRechnungen(int firma, int kunde) const
{
    QSqlQuery q = prepareQuery(tbl_kunden->database(),
                               QStringLiteral("select count(*) from Artikelpositionen where Firma = :pfirma"
                                              " and Kunde = :pkunde and Rechnung_nr <> 0 and Status >= 50"));
    q.bindValue(QStringLiteral(":pfirma"), firma);
    q.bindValue(QStringLiteral(":pkunde"), kunde);
    execQuery(q);
    const bool ja = q.next() && q.value(0).toInt() > 0;
    q.finish();
    return ja;
}

void Tfrm_kundenstammdaten::btn_loeschenClick()
{
    if (aufRechnungsSeite())
        return;
    if (aufGruppenSeite()) {
        Dataset *g = tbl_kundengruppen;
        if (!g->isOpen() || g->isEmpty())
            return;
        if (g->recordCount() == 1 && g->state() != Dataset::State::Insert) {
            Dialogs::instance().message(txt("sm_4"));
            return;
        }
        if (!Dialogs::instance().question(txt("am_4")))
            return;
        g->deleteRow();
        Ignorieren([this] { gruppenlisteOeffnen(); });
        return;
    }
    Dataset *k = tbl_kunden;
    if (!k->isOpen() || k->isEmpty())
        return;
    // an invoice has no row of its own: its document needs the customer row
    if (k->state() != Dataset::State::Insert
        && kundeHatRechnungen(k->asInteger(QStringLiteral("Firma")), k->asInteger(QStringLiteral("Kunde")))) {
        Dialogs::instance().message(txt("sm_56"));
        return;
    }
    if (!Dialogs::instance().question(txt("am_3")))
        return;
    k->deleteRow();
}

void Tfrm_kundenstammdaten::ed_name_kuExit()
{
    if (!tbl_kunden->isOpen())
        return;
    tbl_kunden->updateRecord();
    const auto st = tbl_kunden->state();
    if (st == Dataset::State::Insert
        || (st == Dataset::State::Edit && tbl_kunden->asString(QStringLiteral("Suchbegriff")).trimmed().isEmpty()))
        tbl_kunden->setValue(QStringLiteral("Suchbegriff"), tbl_kunden->asString(QStringLiteral("Name_KU")).left(20));
}

void Tfrm_kundenstammdaten::Kopieren()
{
    Dataset *ds = aufGruppenSeite() ? tbl_kundengruppen : tbl_kunden;
    if (aufRechnungsSeite() || !ds->isOpen() || ds->isEmpty())
        return;
    ds->checkBrowseMode();
    QStringList texte;
    for (int i = 0; i < ds->fieldCount(); ++i)
        texte << ds->field(i).asString();
    QList<bool> leer;
    for (int i = 0; i < ds->fieldCount(); ++i)
        leer << ds->field(i).isNull();
    ds->append();
    for (int i = 0; i < ds->fieldCount(); ++i)
        if (!leer[i])
            ds->field(i).setAsString(texte[i]);
    (ds == tbl_kunden ? ed_kunde : ed_kundengruppe_nr)->setFocus();
}

// ---- buttons -----------------------------------------------------------------------------------------------------

void Tfrm_kundenstammdaten::Ansteuern(const QString &kunde)
{
    Ignorieren([&] {
        if (!tbl_kunden->isOpen())
            return;
        bool ok = false;
        const int nummer = kunde.trimmed().toInt(&ok);
        if (ok)
            tbl_kunden->locate(QStringLiteral("Kunde"), nummer);
    });
}

void Tfrm_kundenstammdaten::btn_uebergebenClick()
{
    if (!tbl_kunden->isOpen()) {
        Dialogs::instance().message(txt("sm_5"));
        return;
    }
    if (tbl_kunden->isEmpty()) {
        Dialogs::instance().message(txt("sm_6"));
        return;
    }
    if (bearbeitet(tbl_kunden))
        tbl_kunden->post();
    const QString kunde = tbl_kunden->asString(QStringLiteral("Kunde"));
    const QString name = tbl_kunden->asString(QStringLiteral("Name_KU"));
    // a running capture keeps its customer and says so; the window stays open then
    if (erfassung && !erfassung->KundeUebernehmen(kunde, name))
        return;
    close();
    if (erfassung && erfassung->ed_kunde_re) {
        erfassung->ed_kunde_re->window()->activateWindow();
        erfassung->ed_kunde_re->setFocus();
    }
}

void Tfrm_kundenstammdaten::btn_emailClick()
{
    if (!tbl_kunden->isOpen() || tbl_kunden->isEmpty())
        return;
    const QString adresse = tbl_kunden->asString(QStringLiteral("EMail1")).trimmed();
    if (!adresse.isEmpty())
        UrlOeffnen(QUrl(QStringLiteral("mailto:") + adresse));
}

void Tfrm_kundenstammdaten::btn_homepageClick()
{
    if (!tbl_kunden->isOpen() || tbl_kunden->isEmpty())
        return;
    const QString seite = tbl_kunden->asString(QStringLiteral("Homepage")).trimmed();
    if (!seite.isEmpty())
        UrlOeffnen(QUrl::fromUserInput(seite));
}

void Tfrm_kundenstammdaten::rechnungenNachfuehren()
{
    if (!aufRechnungsSeite() && !qry_rechnungen_uebersicht->isOpen())
        return;
    qry_rechnungen_uebersicht->close();
    if (!tbl_kunden->isOpen())
        return;
    const bool leer = tbl_kunden->isEmpty();
    qry_rechnungen_uebersicht->setParam(QStringLiteral("Firma"),
                                        leer ? QVariant() : tbl_kunden->value(QStringLiteral("Firma")));
    qry_rechnungen_uebersicht->setParam(QStringLiteral("Kunde"),
                                        leer ? QVariant() : tbl_kunden->value(QStringLiteral("Kunde")));
    qry_rechnungen_uebersicht->open();
}

void Tfrm_kundenstammdaten::btn_rechnung_vorschauClick()
{
    Dataset *r = qry_rechnungen_uebersicht;
    if (!r->isOpen() || r->isEmpty() || !onRechnungVorschau)
        return;
    onRechnungVorschau(r->asInteger(QStringLiteral("Firma")), r->asInteger(QStringLiteral("Periode_re")),
                       r->asInteger(QStringLiteral("Rechnung_nr")));
}

bool Tfrm_kundenstammdaten::eventFilter(QObject *obj, QEvent *ev)
{
    if (obj == ed_name_ku && ev->type() == QEvent::FocusOut)
        guarded([this] { ed_name_kuExit(); });
    return QWidget::eventFilter(obj, ev);
}
