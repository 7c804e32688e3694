#include "maintenance/u_datenbankinitialisieren.h"

#include "app/core/u_global.h"
#include "app/core/u_sicherung.h"
#include "app/core/u_sprache.h"
#include "app/core/u_strings.h"
#include "platform/core/clock.h"
#include "platform/core/dialogs.h"
#include "platform/core/guarded.h"
#include "platform/sql/sqlutil.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

Tfrm_datenbankinitialisieren *frm_datenbankinitialisieren = nullptr;

const QString Tfrm_datenbankinitialisieren::SQL_qry_artikelpositionen = QStringLiteral("delete from Artikelpositionen");
const QString Tfrm_datenbankinitialisieren::SQL_qry_angebote = QStringLiteral("delete from Angebotspositionen");
const QString Tfrm_datenbankinitialisieren::SQL_qry_angebotevorlagen = QStringLiteral("delete from Angebotevorlagen");
const QString Tfrm_datenbankinitialisieren::SQL_qry_artikelpositionenvorschau =
    QStringLiteral("delete from ArtikelpositionenVorschau");
const QString Tfrm_datenbankinitialisieren::SQL_qry_textbausteine = QStringLiteral("delete from Textbausteine");
const QString Tfrm_datenbankinitialisieren::SQL_qry_protokoll_loeschen = QStringLiteral("delete from Protokoll");
const QString Tfrm_datenbankinitialisieren::SQL_qry_kunden =
    QStringLiteral("delete from Kundenstamm \nwhere\nKunde <> 0");
const QString Tfrm_datenbankinitialisieren::SQL_qry_sonderkonditionen = QStringLiteral("delete from Sonderkonditionen");
const QString Tfrm_datenbankinitialisieren::SQL_qry_seriennummern = QStringLiteral("delete from Seriennummern");
const QString Tfrm_datenbankinitialisieren::SQL_qry_artikelstamm = QStringLiteral("delete from Artikelstamm");
const QString Tfrm_datenbankinitialisieren::SQL_qry_artikelgruppen = QStringLiteral("delete from Artikelgruppen");
const QString Tfrm_datenbankinitialisieren::SQL_qry_artikelgruppeinsert =
    QStringLiteral("Insert \ninto Artikelgruppen (Artikelgruppe,Name_AG)\nVALUES(1,'Allgemein')");

namespace {

QLabel *neuesLabel(const char *name, const QString &text, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

QPushButton *neuerKnopf(const char *name, const QString &text, QWidget *parent)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    b->setMinimumSize(220, 34);
    return b;
}

// The box only shows that its step has run; the user cannot toggle it.
class Anzeigekasten : public QCheckBox {
public:
    using QCheckBox::QCheckBox;

protected:
    bool hitButton(const QPoint &) const override { return false; }
};

QCheckBox *neueAnzeige(const char *name, QWidget *parent)
{
    auto *c = new Anzeigekasten(parent);
    c->setObjectName(QString::fromLatin1(name));
    c->setChecked(false);
    c->setFocusPolicy(Qt::NoFocus);
    return c;
}

} // namespace

Tfrm_datenbankinitialisieren::Tfrm_datenbankinitialisieren(QWidget *parent) : QDialog(parent)
{
    frm_datenbankinitialisieren = this;
    setObjectName(QStringLiteral("frm_datenbankinitialisieren"));
    setWindowTitle(txt("lbl_datenbankinitialisieren"));
    setModal(true);

    auto *v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 12);
    v->setSpacing(10);

    lbl_head = neuesLabel("lbl_head", QString(), this);
    lbl_head->setWordWrap(true);
    lbl_head->setMinimumHeight(56);
    lbl_head->setContentsMargins(16, 10, 16, 10);
    lbl_head->setStyleSheet(QStringLiteral(
        "QLabel#lbl_head { color: white; font-weight: bold; font-size: 11pt;"
        " background: qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 #1f4e79, stop:1 #6f9fcf); }"));
    v->addWidget(lbl_head);

    auto *body = new QWidget(this);
    auto *g = new QGridLayout(body);
    g->setContentsMargins(18, 6, 18, 6);
    g->setHorizontalSpacing(14);
    g->setVerticalSpacing(8);
    v->addWidget(body);

    auto fett = [](QLabel *l) {
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
    };
    int row = 0;
    auto schritt = [&](QPushButton *b, QCheckBox *c) {
        g->addWidget(b, row, 0);
        g->addWidget(c, row, 1);
        ++row;
    };
    l1 = neuesLabel("l1", QString(), body);
    fett(l1);
    g->addWidget(l1, row++, 0, 1, 3);
    btn_erfassungen = neuerKnopf("btn_erfassungen", QString(), body);
    btn_erfassungen->setIcon(style()->standardIcon(QStyle::SP_TrashIcon));
    cb_erfassungen = neueAnzeige("cb_erfassungen", body);
    schritt(btn_erfassungen, cb_erfassungen);
    g->setRowMinimumHeight(row++, 6);

    l4 = neuesLabel("l4", QString(), body);
    fett(l4);
    g->addWidget(l4, row++, 0, 1, 3);
    btn_artikel = neuerKnopf("btn_artikel", QString(), body);
    btn_artikel->setIcon(style()->standardIcon(QStyle::SP_TrashIcon));
    cb_artikel = neueAnzeige("cb_artikel", body);
    schritt(btn_artikel, cb_artikel);

    // Steps that only "Alle Daten löschen" runs; their controls stay hidden.
    btn_kunden = neuerKnopf("btn_kunden", QStringLiteral("3 Kunden löschen"), body);
    cb_kunden = neueAnzeige("cb_kunden", body);
    btn_statistiken = neuerKnopf("btn_statistiken", QStringLiteral("2 Statistiken löschen"), body);
    cb_statistiken = neueAnzeige("cb_statistiken", body);
    btn_lieferanten = neuerKnopf("btn_lieferanten", QStringLiteral("5 Lieferanten löschen"), body);
    cb_lieferanten = neueAnzeige("cb_lieferanten", body);
    btn_nummernkreise = neuerKnopf("btn_nummernkreise", QStringLiteral("6 Nummernkreise löschen"), body);
    cb_nummernkreise = neueAnzeige("cb_nummernkreise", body);
    for (QWidget *w : {static_cast<QWidget *>(btn_kunden), static_cast<QWidget *>(cb_kunden),
                       static_cast<QWidget *>(btn_statistiken), static_cast<QWidget *>(cb_statistiken),
                       static_cast<QWidget *>(btn_lieferanten), static_cast<QWidget *>(cb_lieferanten),
                       static_cast<QWidget *>(btn_nummernkreise), static_cast<QWidget *>(cb_nummernkreise)})
        w->setVisible(false);
    g->setColumnStretch(2, 1);

    auto *warnung = new QFrame(this);
    warnung->setObjectName(QStringLiteral("pnl_warnung"));
    warnung->setStyleSheet(QStringLiteral(
        "QFrame#pnl_warnung { background: #fff4e5; border: 1px solid #e0a050; border-radius: 3px; }"));
    auto *wv = new QVBoxLayout(warnung);
    wv->setContentsMargins(12, 8, 12, 8);
    wv->setSpacing(2);
    l7 = neuesLabel("l7", QString(), warnung);
    l8 = neuesLabel("l8", QString(), warnung);
    for (QLabel *l : {l7, l8}) {
        l->setStyleSheet(QStringLiteral("color: #b00000; font-weight: bold;"));
        wv->addWidget(l);
    }
    auto *wrap = new QHBoxLayout;
    wrap->setContentsMargins(18, 0, 18, 0);
    wrap->addWidget(warnung);
    v->addLayout(wrap);

    l9 = neuesLabel("l9", QString(), this);
    l9->setWordWrap(true);
    l9->setContentsMargins(18, 0, 18, 0);
    v->addWidget(l9);
    v->addStretch(1);

    auto *linie = new QFrame(this);
    linie->setFrameShape(QFrame::HLine);
    linie->setFrameShadow(QFrame::Sunken);
    v->addWidget(linie);

    auto *unten = new QHBoxLayout;
    unten->setContentsMargins(18, 0, 18, 0);
    btn_initialisieren = neuerKnopf("btn_initialisieren", QString(), this);
    btn_initialisieren->setIcon(style()->standardIcon(QStyle::SP_MessageBoxWarning));
    btn_schliessen = neuerKnopf("btn_schliessen", QString(), this);
    btn_schliessen->setMinimumWidth(120);
    btn_schliessen->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    unten->addWidget(btn_initialisieren);
    unten->addStretch(1);
    unten->addWidget(btn_schliessen);
    v->addLayout(unten);

    Sprache::applyGermanCaptions(QStringLiteral("Datenbankinitialisieren"), this);
    Sprache::registerWindow(QStringLiteral("Datenbankinitialisieren"), this);

    connect(btn_erfassungen, &QPushButton::clicked, this, [this] { guarded([this] { btn_erfassungenClick(btn_erfassungen); }); });
    connect(btn_artikel, &QPushButton::clicked, this, [this] { guarded([this] { btn_artikelClick(btn_artikel); }); });
    connect(btn_kunden, &QPushButton::clicked, this, [this] { guarded([this] { btn_kundenClick(btn_kunden); }); });
    connect(btn_statistiken, &QPushButton::clicked, this,
            [this] { guarded([this] { btn_statistikenClick(btn_statistiken); }); });
    connect(btn_lieferanten, &QPushButton::clicked, this,
            [this] { guarded([this] { btn_lieferantenClick(btn_lieferanten); }); });
    connect(btn_nummernkreise, &QPushButton::clicked, this,
            [this] { guarded([this] { btn_nummernkreiseClick(btn_nummernkreise); }); });
    connect(btn_initialisieren, &QPushButton::clicked, this,
            [this] { guarded([this] { btn_initialisierenClick(btn_initialisieren); }); });
    connect(btn_schliessen, &QPushButton::clicked, this, [this] { btn_schliessenClick(); });

    resize(sizeHint().expandedTo(QSize(540, 380)));
}

Tfrm_datenbankinitialisieren::~Tfrm_datenbankinitialisieren()
{
    if (frm_datenbankinitialisieren == this)
        frm_datenbankinitialisieren = nullptr;
}

void Tfrm_datenbankinitialisieren::ausfuehren(const QString &sql)
{
    execSql(HauptVerbindung(), sql);
}

void Tfrm_datenbankinitialisieren::btn_erfassungenClick(QObject *sender)
{
    const bool eigen = sender == btn_erfassungen;
    if (eigen && !Dialogs::instance().question(txt("sm_48")))
        return;
    for (const QString *sql : {&SQL_qry_artikelpositionen, &SQL_qry_angebote, &SQL_qry_angebotevorlagen,
                               &SQL_qry_artikelpositionenvorschau, &SQL_qry_textbausteine,
                               &SQL_qry_protokoll_loeschen})
        ausfuehren(*sql);
    cb_erfassungen->setChecked(true);
    Protokollieren(txt("ps_3"));
    if (eigen)
        Dialogs::instance().message(txt("sm_27"));
}

void Tfrm_datenbankinitialisieren::btn_kundenClick(QObject *)
{
    ausfuehren(SQL_qry_kunden);
    ausfuehren(SQL_qry_sonderkonditionen);
    cb_kunden->setChecked(true);
    Protokollieren(txt("ps_5"));
}

void Tfrm_datenbankinitialisieren::btn_artikelClick(QObject *sender)
{
    const bool eigen = sender == btn_artikel;
    if (eigen && !Dialogs::instance().question(txt("sm_51")))
        return;
    for (const QString *sql : {&SQL_qry_seriennummern, &SQL_qry_artikelstamm, &SQL_qry_artikelgruppen,
                               &SQL_qry_artikelgruppeinsert})
        ausfuehren(*sql);
    cb_artikel->setChecked(true);
    Protokollieren(txt("ps_6"));
    if (eigen)
        Dialogs::instance().message(txt("sm_30"));
}

// This program keeps no statistics, suppliers or number circles of its own
// (invoice numbers come from the positions), so these steps only record that
// they ran.
void Tfrm_datenbankinitialisieren::btn_statistikenClick(QObject *)
{
    cb_statistiken->setChecked(true);
    Protokollieren(txt("ps_4"));
}

void Tfrm_datenbankinitialisieren::btn_lieferantenClick(QObject *)
{
    cb_lieferanten->setChecked(true);
    Protokollieren(txt("ps_7"));
}

void Tfrm_datenbankinitialisieren::btn_nummernkreiseClick(QObject *)
{
    cb_nummernkreise->setChecked(true);
    Protokollieren(txt("ps_8"));
}

void Tfrm_datenbankinitialisieren::btn_initialisierenClick(QObject *sender)
{
    if (!Dialogs::instance().question(txt("sm_54")))
        return;
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        struct Zurueck {
            ~Zurueck() { QApplication::restoreOverrideCursor(); }
        } zurueck;
        btn_erfassungenClick(sender);
        btn_statistikenClick(sender);
        btn_kundenClick(sender);
        btn_artikelClick(sender);
        btn_lieferantenClick(sender);
        btn_nummernkreiseClick(sender);
    }
    Dialogs::instance().message(txt("sm_33"));
}

void Tfrm_datenbankinitialisieren::btn_schliessenClick()
{
    close();
}

void btn_datenbankleerenClick(Tfrm_datenbankinitialisieren *fenster)
{
    if (!Dialogs::instance().question(txt("am_6")))
        return;
    Protokollieren(txt("ps_15"));
    if (!SicherungErstellen(Programmordner() + QStringLiteral("Sicherungen/"), Clock::now())) {
        Protokollieren(txt("ps_9"));
        Dialogs::instance().warning(txt("ps_9"));
        return;
    }
    if (!fenster)
        return;
    // centred on the desktop
    if (QScreen *s = QGuiApplication::primaryScreen()) {
        QRect r = fenster->frameGeometry();
        r.moveCenter(s->availableGeometry().center());
        fenster->move(r.topLeft());
    }
    fenster->exec();
}
