#include "app/u_main.h"

#include "app/core/u_einstellungen.h"
#include "app/core/u_global.h"
#include "app/core/u_sicherung.h"
#include "app/core/u_sprache.h"
#include "app/core/u_strings.h"
#include "data/u_dm_datenbank.h"
#include "platform/core/clock.h"
#include "platform/core/dialogs.h"
#include "platform/core/focuscolor.h"
#include "platform/core/guarded.h"
#include "platform/core/radiogroup.h"
#include "platform/print/print.h"
#include "platform/dataset/dataset.h"
#include "platform/dataset/fieldbinding.h"
#include "richtext/richtextbinding.h"
#include "richtext/trichtexttoolbar.h"
#include "app/core/u_land.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSettings>
#include <QSpinBox>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTextEdit>
#include <QAction>
#include <QUrl>
#include <QVBoxLayout>

Tfrm_main *frm_main = nullptr;

namespace {
const QColor clMoneyGreen(0xC0, 0xDC, 0xC0);
const QColor clInfoBk(0xFF, 0xFF, 0xE1);
const QColor clSkyBlue(0xA6, 0xCA, 0xF0);

QLabel *label(const QString &name, const QString &text, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}

template <class W>
W *named(W *w, const QString &name)
{
    w->setObjectName(name);
    return w;
}

QGroupBox *panel(const QString &name, const QString &title, QWidget *parent)
{
    auto *g = new QGroupBox(title, parent);
    g->setObjectName(name);
    g->setStyleSheet(QStringLiteral("QGroupBox#%1 { font-weight: bold; }"
                                    "QGroupBox#%1 > * { font-weight: normal; }").arg(name));
    return g;
}
} // namespace

Tfrm_main::Tfrm_main(QWidget *parent) : QMainWindow(parent)
{
    frm_main = this;
    setObjectName(QStringLiteral("frm_main"));
    setWindowTitle(QStringLiteral("TORVANEX 01.01.2024"));
    resize(1280, 860);

    auto *central = new QWidget(this);
    auto *v = new QVBoxLayout(central);
    v->setContentsMargins(4, 4, 4, 0);
    v->setSpacing(4);

    pc_main = named(new QTabWidget(central), QStringLiteral("pc_main"));
    pc_main->setDocumentMode(false);
    pc_main->tabBar()->setExpanding(false);
    pc_main->setStyleSheet(QStringLiteral(
        "QTabWidget#pc_main > QTabBar::tab { min-width: 150px; max-width: 150px; padding: 6px 4px;"
        " margin-right: 3px; border: 1px solid #8a9bb0; border-radius: 3px; background: #e8edf3; }"
        "QTabWidget#pc_main > QTabBar::tab:selected { background: #c8d8ec; font-weight: bold; }"
        "QTabWidget#pc_main > QTabBar::tab:hover { background: #d8e4f2; }"));
    ts_erfassung = named(new QWidget, QStringLiteral("ts_erfassung"));
    ts_uebersicht = named(new QWidget, QStringLiteral("ts_uebersicht"));
    ts_artikel = named(new QWidget, QStringLiteral("ts_artikel"));
    ts_einstellungen = named(new QWidget, QStringLiteral("ts_einstellungen"));
    ts_druck = named(new QWidget, QStringLiteral("ts_druck"));
    pc_main->addTab(ts_erfassung, QStringLiteral("Erfassung"));
    pc_main->addTab(ts_uebersicht, QStringLiteral("Übersicht"));
    pc_main->addTab(ts_artikel, QStringLiteral("Artikel && Kunden"));
    pc_main->addTab(ts_einstellungen, QStringLiteral("Einstellungen"));
    pc_main->addTab(ts_druck, QStringLiteral("Druckbild"));
    v->addWidget(pc_main, 1);

    buildFooter(central);
    setCentralWidget(central);

    buildArtikelTab();
    buildEinstellungenTab();
    buildDruckTab();
    buildPersistedPlaceholders();

    connect(pc_main, &QTabWidget::currentChanged, this, [this] { guarded([this] { pc_mainChange(); }); });
    connect(btn_close, &QPushButton::clicked, this, &QWidget::close);
    connect(btn_hilfe, &QPushButton::clicked, this, [this] { guarded([this] { btn_hilfeClick(); }); });
    connect(cb_drucker_re, &QComboBox::activated, this, [this] { guarded([this] { cb_drucker_reChange(); }); });
    connect(rg_sprache, &TRadioGroup::clicked, this, [this](int i) { guarded([this, i] { rg_spracheClick(i); }); });
    connect(btn_pdf_ablage_faktura, &QPushButton::clicked, this, [this] {
        guarded([this] {
            const QString f = Dialogs::instance().folder(QString(), ed_pdf_ablage_faktura->text());
            if (!f.isEmpty())
                ed_pdf_ablage_faktura->setText(QDir::toNativeSeparators(f));
        });
    });

    qApp->installEventFilter(this);
    FocusColour::install(this, Fokusfarbe);

    // FormCreate: the shared text buffer
    TextPuffer.clear();
    TextNichtUebergeben = false;

    m_storage = new FormStorage(this);
    Sprache::registerWindow(QStringLiteral("Main"), this);
}

Tfrm_main::~Tfrm_main()
{
    qApp->removeEventFilter(this);
    Einstellung::setSource(nullptr);
    delete m_storage;
    if (frm_main == this)
        frm_main = nullptr;
}

void Tfrm_main::buildFooter(QWidget *central)
{
    auto *bar = named(new QFrame(central), QStringLiteral("pnl_fuss_main"));
    bar->setFrameShape(QFrame::StyledPanel);
    bar->setAutoFillBackground(true);
    auto *h = new QHBoxLayout(bar);
    h->setContentsMargins(8, 4, 8, 4);
    le_14 = label(QStringLiteral("le_14"), QStringLiteral("TORVANEX Fakturierung"), bar);
    le_15 = label(QStringLiteral("le_15"), QStringLiteral("Support: siehe Hilfe"), bar);
    QFont f = le_14->font();
    f.setBold(true);
    le_14->setFont(f);
    h->addWidget(le_14);
    h->addSpacing(24);
    h->addWidget(le_15);
    h->addStretch(1);
    btn_hilfe = named(new QPushButton(QStringLiteral("Hilfe"), bar), QStringLiteral("btn_hilfe"));
    btn_hilfe->setIcon(style()->standardIcon(QStyle::SP_DialogHelpButton));
    btn_close = named(new QPushButton(QStringLiteral("Schliessen"), bar), QStringLiteral("btn_close"));
    btn_close->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    btn_hilfe->setMinimumWidth(110);
    btn_close->setMinimumWidth(110);
    h->addWidget(btn_hilfe);
    h->addWidget(btn_close);
    central->layout()->addWidget(bar);
}

void Tfrm_main::buildArtikelTab()
{
    auto *outer = new QVBoxLayout(ts_artikel);
    outer->setContentsMargins(24, 18, 24, 12);
    auto *head = label(QStringLiteral("la_1"), QStringLiteral("Stammdaten und Datenbank"), ts_artikel);
    QFont hf = head->font();
    hf.setPointSizeF(hf.pointSizeF() * 1.4);
    hf.setBold(true);
    head->setFont(hf);
    outer->addWidget(head);
    auto *box = named(new QFrame(ts_artikel), QStringLiteral("pnl_artikelkunden"));
    auto *g = new QGridLayout(box);
    g->setHorizontalSpacing(18);
    g->setVerticalSpacing(14);
    int row = 0;
    auto big = [&](const QString &name, const QString &text, QStyle::StandardPixmap icon,
                   const QString &infoName, const QString &info) {
        auto *b = named(new QPushButton(text, box), name);
        b->setMinimumSize(340, 48);
        b->setIcon(style()->standardIcon(icon));
        b->setIconSize(QSize(24, 24));
        b->setStyleSheet(QStringLiteral("text-align: left; padding-left: 14px; font-size: 11pt;"));
        g->addWidget(b, row, 0);
        auto *l = label(infoName, info, box);
        l->setStyleSheet(QStringLiteral("color: #404a58;"));
        g->addWidget(l, row, 1);
        ++row;
        return b;
    };
    btn_artikel = big(QStringLiteral("btn_artikel"), QStringLiteral("neue Artikel anlegen"), QStyle::SP_FileDialogDetailedView,
                      QStringLiteral("la_2"), QStringLiteral("Artikel und Artikelgruppen anlegen und ändern"));
    btn_kunden = big(QStringLiteral("btn_kunden"), QStringLiteral("Kundendaten ändern oder anlegen"), QStyle::SP_DirHomeIcon,
                     QStringLiteral("la_3"), QStringLiteral("Kunden und Kundengruppen anlegen und ändern"));
    btn_datenbankleeren = big(QStringLiteral("btn_datenbankleeren"), QStringLiteral("Datenbank leeren für Neubeginn"),
                              QStyle::SP_TrashIcon, QStringLiteral("la_4"),
                              QStringLiteral("Testdaten entfernen und mit eigenen Daten beginnen"));
    g->setColumnStretch(2, 1);
    outer->addWidget(box);
    pnl_sql = named(new QFrame(ts_artikel), QStringLiteral("pnl_sql"));
    pnl_sql->setFrameShape(QFrame::StyledPanel);
    pnl_sql->setVisible(false);
    outer->addWidget(pnl_sql, 1);
    outer->addStretch(0);
}

void Tfrm_main::buildEinstellungenTab()
{
    auto *outerLayout = new QVBoxLayout(ts_einstellungen);
    outerLayout->setContentsMargins(0, 0, 0, 0);
    auto *scroll = new QScrollArea(ts_einstellungen);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto *page = new QWidget;
    scroll->setWidget(page);
    outerLayout->addWidget(scroll);
    auto *v = new QVBoxLayout(page);
    v->setContentsMargins(16, 12, 16, 12);
    v->setSpacing(10);

    // printer
    auto *p1 = panel(QStringLiteral("ls_1"), QStringLiteral("Drucker Einstellungen Rechnung"), page);
    auto *f1 = new QGridLayout(p1);
    cb_drucker_re = named(new QComboBox(p1), QStringLiteral("cb_drucker_re"));
    cb_papier_re = named(new QComboBox(p1), QStringLiteral("cb_papier_re"));
    cb_zufuhr_re = named(new QComboBox(p1), QStringLiteral("cb_zufuhr_re"));
    for (QComboBox *c : {cb_drucker_re, cb_papier_re, cb_zufuhr_re}) {
        c->setMinimumWidth(320);
        c->setEditable(false);
    }
    FocusColour::setRestingColour(cb_drucker_re, clMoneyGreen);
    FocusColour::setRestingColour(cb_zufuhr_re, clInfoBk);
    ed_anzahl_re = named(new QSpinBox(p1), QStringLiteral("ed_anzahl_re"));
    ed_anzahl_re->setRange(1, 10);
    ed_anzahl_re->setValue(1);
    ed_anzahl_re->setMaximumWidth(80);
    f1->addWidget(label(QStringLiteral("ls_2"), QStringLiteral("Drucker "), p1), 0, 0);
    f1->addWidget(cb_drucker_re, 0, 1);
    f1->addWidget(label(QStringLiteral("ls_3"), QStringLiteral("Papier "), p1), 1, 0);
    f1->addWidget(cb_papier_re, 1, 1);
    f1->addWidget(label(QStringLiteral("ls_4"), QStringLiteral("Papierzufuhr "), p1), 2, 0);
    f1->addWidget(cb_zufuhr_re, 2, 1);
    f1->addWidget(label(QStringLiteral("ls_5"), QStringLiteral("Anzahl Drucke "), p1), 3, 0);
    f1->addWidget(ed_anzahl_re, 3, 1, Qt::AlignLeft);
    auto *hint = label(QStringLiteral("lbl_neustart"), QStringLiteral("If you make changes please restart application to take over changes"), p1);
    hint->setStyleSheet(QStringLiteral("color: #8a1c1c;"));
    f1->addWidget(hint, 4, 0, 1, 3);
    f1->setColumnStretch(2, 1);
    v->addWidget(p1);

    // VAT and the rest
    auto *p2 = panel(QStringLiteral("ls_6"), QStringLiteral("Mehrwertsteuern usw."), page);
    auto *g2 = new QGridLayout(p2);
    ed_waehrung = named(new QComboBox(p2), QStringLiteral("ed_waehrung"));
    ed_waehrung->setEditable(true);
    ed_waehrung->addItems({QStringLiteral("EUR"), QStringLiteral("€"), QStringLiteral("USD"), QStringLiteral("$"),
                           QStringLiteral("GBP"), QStringLiteral("£"), QStringLiteral("AED"), QStringLiteral("CAD"),
                           QStringLiteral("CHF"), QStringLiteral("SFr"), QStringLiteral("ILS"), QStringLiteral("RUB"),
                           QStringLiteral("SAR"), QStringLiteral("AUD")});
    ed_waehrung->setMaximumWidth(120);
    FocusColour::setRestingColour(ed_waehrung, clMoneyGreen);
    g2->addWidget(label(QStringLiteral("ls_7"), QStringLiteral("Währungskürzel"), p2), 0, 0);
    g2->addWidget(ed_waehrung, 0, 1, Qt::AlignLeft);
    g2->addWidget(label(QStringLiteral("ls_8"), QStringLiteral("nur Buchstaben keine Punkte oder Beistriche eingeben!"), p2), 0, 2, 1, 2);

    auto *sprache = new QVBoxLayout;
    sprache->setSpacing(2);
    sprache->addWidget(label(QStringLiteral("ls_9"), QStringLiteral("Sprache"), p2));
    rg_sprache = named(new TRadioGroup(QString(), p2), QStringLiteral("rg_sprache"));
    sprache->addWidget(rg_sprache);
    rg_sprache->setItems({QStringLiteral("Deutsch"), QStringLiteral("English"), QStringLiteral("Français"),
                          QStringLiteral("Español"), QStringLiteral("Selftranslation")});
    rg_sprache->setItemIndex(0);
    g2->addLayout(sprache, 1, 0, 4, 2, Qt::AlignTop);

    auto *vat = new QGridLayout;
    const QString names[] = {QStringLiteral("ed_mwst_a"), QStringLiteral("ed_mwst_b"), QStringLiteral("ed_mwst_c"), QStringLiteral("ed_mwst_d")};
    const QString caps[] = {QStringLiteral("MwSt A"), QStringLiteral("MwSt B"), QStringLiteral("MwSt C"), QStringLiteral("MwSt D")};
    QLineEdit **fields[] = {&ed_mwst_a, &ed_mwst_b, &ed_mwst_c, &ed_mwst_d};
    for (int i = 0; i < 4; ++i) {
        *fields[i] = named(new QLineEdit(p2), names[i]);
        (*fields[i])->setMaximumWidth(70);
        (*fields[i])->setAlignment(Qt::AlignRight);
        (*fields[i])->setToolTip(QStringLiteral("Achtung die Felder nicht leeren. Es muß eine Zahl drinnenstehen."));
        vat->addWidget(label(QStringLiteral("ls_%1").arg(10 + i), caps[i], p2), i, 0);
        vat->addWidget(*fields[i], i, 1);
    }
    vat->addWidget(label(QStringLiteral("ls_14"), QStringLiteral("Achtung die Felder nicht leeren."), p2), 0, 2);
    vat->addWidget(label(QStringLiteral("ls_15"), QStringLiteral("Es muß eine Zahl drinnenstehen."), p2), 1, 2);
    vat->setColumnStretch(3, 1);
    g2->addLayout(vat, 1, 2, 4, 1, Qt::AlignTop);

    auto *laender = new QVBoxLayout;
    laender->addWidget(label(QStringLiteral("ls_16"), QStringLiteral("Länder für Auswahl bei Kunden"), p2));
    me_laender = named(new QPlainTextEdit(p2), QStringLiteral("me_laender"));
    me_laender->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    me_laender->setMinimumHeight(120);
    me_laender->setMaximumWidth(260);
    laender->addWidget(me_laender);
    cb_rappenrundung = named(new QCheckBox(QStringLiteral("Rappenrundung für Schweiz"), p2), QStringLiteral("cb_rappenrundung"));
    laender->addWidget(cb_rappenrundung);
    g2->addLayout(laender, 1, 3, 4, 1, Qt::AlignTop);
    g2->setColumnStretch(4, 1);
    v->addWidget(p2);

    // PDF folder
    auto *p3 = panel(QStringLiteral("ls_17"), QStringLiteral("Ablageort für Rechnungen als PDF"), page);
    auto *v3 = new QVBoxLayout(p3);
    auto *h3 = new QHBoxLayout;
    v3->addLayout(h3);
    h3->addWidget(label(QStringLiteral("ls_18"), QStringLiteral("Ablageort für PDF"), p3));
    ed_pdf_ablage_faktura = named(new QLineEdit(p3), QStringLiteral("ed_pdf_ablage_faktura"));
    ed_pdf_ablage_faktura->setMinimumWidth(420);
    btn_pdf_ablage_faktura = named(new QPushButton(p3), QStringLiteral("btn_pdf_ablage_faktura"));
    btn_pdf_ablage_faktura->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    btn_pdf_ablage_faktura->setToolTip(QStringLiteral("Ordner wählen"));
    h3->addWidget(ed_pdf_ablage_faktura, 1);
    h3->addWidget(btn_pdf_ablage_faktura);
    h3->addStretch(1);
    cb_erechnung = named(new QCheckBox(QStringLiteral("E-Rechnung (ZUGFeRD/Factur-X) in PDF-Dateien einbetten"), p3),
                         QStringLiteral("cb_erechnung"));
    v3->addWidget(cb_erechnung);
    v->addWidget(p3);

    // e-mail
    auto *p4 = panel(QStringLiteral("ls_19"), QStringLiteral("Email Einstellungen"), page);
    auto *g4 = new QGridLayout(p4);
    ed_subject_re = named(new QLineEdit(p4), QStringLiteral("ed_subject_re"));
    me_body_re = named(new QPlainTextEdit(p4), QStringLiteral("me_body_re"));
    me_body_re->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    me_body_re->setMinimumHeight(90);
    cb_gsmtpvoranstellen = named(new QCheckBox(QStringLiteral("SMTP davor"), p4), QStringLiteral("cb_gsmtpvoranstellen"));
    cb_gsmtpvoranstellen->setVisible(false);
    g4->addWidget(label(QStringLiteral("ls_20"), QStringLiteral("Betreff - Text"), p4), 0, 0);
    g4->addWidget(ed_subject_re, 0, 1);
    g4->addWidget(label(QStringLiteral("ls_21"), QStringLiteral("Body - Text"), p4), 1, 0, Qt::AlignTop);
    g4->addWidget(me_body_re, 1, 1);
    g4->setColumnStretch(1, 1);
    g4->setColumnMinimumWidth(1, 420);
    v->addWidget(p4);
    v->addStretch(1);
}

void Tfrm_main::buildDruckTab()
{
    auto *outer = new QHBoxLayout(ts_druck);
    outer->setContentsMargins(16, 12, 16, 12);
    outer->setSpacing(18);

    // left: the letterhead and the company data, bound to Firmenstamm
    auto *links = new QVBoxLayout;
    links->setSpacing(6);
    lbl_absender = label(QStringLiteral("lbl_absender"), QStringLiteral("Absenderadresse"), ts_druck);
    QFont bold = lbl_absender->font();
    bold.setBold(true);
    lbl_absender->setFont(bold);
    links->addWidget(lbl_absender);
    me_anschrift_firma = named(new QTextEdit(ts_druck), QStringLiteral("me_anschrift_firma"));
    me_anschrift_firma->setAcceptRichText(true);
    me_anschrift_firma->setMinimumSize(420, 170);
    FormatBar = new TRichTextToolbar(me_anschrift_firma, TRichTextToolbar::Rows::Two, ts_druck);
    FormatBar->setObjectName(QStringLiteral("FormatBar"));
    links->addWidget(FormatBar);
    links->addWidget(me_anschrift_firma, 2);

    auto *firma = new QGridLayout;
    firma->setHorizontalSpacing(8);
    DBEdit3 = named(new QLineEdit(ts_druck), QStringLiteral("DBEdit3"));
    ed_file = named(new QLineEdit(ts_druck), QStringLiteral("ed_file"));
    QAction *waehlen = ed_file->addAction(style()->standardIcon(QStyle::SP_DirOpenIcon), QLineEdit::TrailingPosition);
    waehlen->setObjectName(QStringLiteral("ed_file_button"));
    waehlen->setToolTip(QStringLiteral("Bilddatei auswählen"));
    connect(waehlen, &QAction::triggered, this, [this] { guarded([this] { ed_fileButtonClick(); }); });
    firma->addWidget(label(QStringLiteral("lbl_firmenname"), QStringLiteral("Firmenname"), ts_druck), 0, 0);
    firma->addWidget(DBEdit3, 0, 1);
    firma->addWidget(label(QStringLiteral("lbl_logo"), QStringLiteral("Logo"), ts_druck), 1, 0);
    firma->addWidget(ed_file, 1, 1);
    cb_bildeinszueins = named(new QCheckBox(QStringLiteral("Bild ungestreckt anzeigen"), ts_druck), QStringLiteral("cb_bildeinszueins"));
    firma->addWidget(cb_bildeinszueins, 2, 1);
    links->addLayout(firma);

    auto *fussKopf = label(QStringLiteral("lbl_fusszeilen"), QStringLiteral("Fußzeilen der Rechnung"), ts_druck);
    fussKopf->setFont(bold);
    links->addSpacing(6);
    links->addWidget(fussKopf);
    auto *fuss = new QHBoxLayout;
    QPlainTextEdit **fussFelder[] = {&ed_fuss1_d, &ed_fuss2_d, &ed_fuss3_d, &ed_fuss4_d};
    for (int i = 0; i < 4; ++i) {
        *fussFelder[i] = named(new QPlainTextEdit(ts_druck), QStringLiteral("ed_fuss%1_d").arg(i + 1));
        (*fussFelder[i])->setMinimumHeight(90);
        (*fussFelder[i])->setLineWrapMode(QPlainTextEdit::NoWrap);
        fuss->addWidget(*fussFelder[i]);
    }
    links->addLayout(fuss, 1);
    outer->addLayout(links, 3);

    // right: the proposed texts of a new invoice and the credit-note text
    auto *rechts = new QVBoxLayout;
    rechts->setSpacing(6);
    re_kopftextvorschlag_re = named(new QPlainTextEdit(ts_druck), QStringLiteral("re_kopftextvorschlag_re"));
    re_fusstextvorschlag_re = named(new QPlainTextEdit(ts_druck), QStringLiteral("re_fusstextvorschlag_re"));
    for (QPlainTextEdit *e : {re_kopftextvorschlag_re, re_fusstextvorschlag_re}) {
        e->setLineWrapMode(QPlainTextEdit::NoWrap);
        e->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        e->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        e->setMinimumHeight(110);
    }
    auto *kopf = label(QStringLiteral("lbl_kopftextvorschlag"), QStringLiteral("Kopftext"), ts_druck);
    kopf->setFont(bold);
    rechts->addWidget(kopf);
    rechts->addWidget(re_kopftextvorschlag_re, 1);
    auto *abschluss = label(QStringLiteral("lbl_fusstextvorschlag"), QStringLiteral("Abschlusstext"), ts_druck);
    abschluss->setFont(bold);
    rechts->addWidget(abschluss);
    rechts->addWidget(re_fusstextvorschlag_re, 1);
    auto *gut = new QHBoxLayout;
    ed_gutschrifttext_re = named(new QLineEdit(ts_druck), QStringLiteral("ed_gutschrifttext_re"));
    gut->addWidget(label(QStringLiteral("ld_1"), QStringLiteral("Gutschrift Nr. Text"), ts_druck));
    gut->addWidget(ed_gutschrifttext_re, 1);
    rechts->addLayout(gut);
    buildERechnungGruppe(rechts);
    rechts->addStretch(0);
    ed_bearbeiter_re = named(new QLineEdit(ts_druck), QStringLiteral("ed_bearbeiter_re"));
    ed_bearbeiter_re->setVisible(false);
    cb_firmenkopf_re = named(new QCheckBox(ts_druck), QStringLiteral("cb_firmenkopf_re"));
    cb_firmenkopf_re->setVisible(false);
    outer->addLayout(rechts, 2);

    // the company record: the one row of Firmenstamm, opened while the tab is shown
    tbl_firmen = new Dataset(QSqlDatabase(), this);
    tbl_firmen->setObjectName(QStringLiteral("tbl_firmen"));
    tbl_firmen->setTableName(QStringLiteral("Firmenstamm"));
    tbl_firmen->beforeClose = [](Dataset &d) { tbl_firmenBeforeClose(d); };
    new RichTextBinding(tbl_firmen, QStringLiteral("Anschrift_FI"), me_anschrift_firma);
    new LineEditBinding(tbl_firmen, QStringLiteral("Name_FI"), DBEdit3);
    new LineEditBinding(tbl_firmen, QStringLiteral("LogoPfad"), ed_file);
    for (int i = 0; i < 4; ++i)
        new MemoBinding(tbl_firmen, QStringLiteral("Fusstext%1").arg(i + 1), *fussFelder[i]);
    new LineEditBinding(tbl_firmen, QStringLiteral("Strasse_FI"), ed_strasse_fi);
    new LineEditBinding(tbl_firmen, QStringLiteral("PLZ_FI"), ed_plz_fi);
    new LineEditBinding(tbl_firmen, QStringLiteral("Ort_FI"), ed_ort_fi);
    m_landFiBindung = new ComboBoxBinding(tbl_firmen, QStringLiteral("Land_FI"), cb_land_fi);
    new LineEditBinding(tbl_firmen, QStringLiteral("UStIdNr_FI"), ed_ustidnr_fi);
    new LineEditBinding(tbl_firmen, QStringLiteral("Steuernummer_FI"), ed_steuernummer_fi);
    new LineEditBinding(tbl_firmen, QStringLiteral("Kontakt_FI"), ed_kontakt_fi);
    new LineEditBinding(tbl_firmen, QStringLiteral("Telefon_FI"), ed_telefon_fi);
    new LineEditBinding(tbl_firmen, QStringLiteral("EMAIL1"), ed_email_fi);
    new LineEditBinding(tbl_firmen, QStringLiteral("IBAN_FI"), ed_iban_fi);
    new LineEditBinding(tbl_firmen, QStringLiteral("BIC_FI"), ed_bic_fi);
    onFirmenOeffnen = [this] { tbl_firmenOeffnen(); };
    onFirmenSchliessen = [this] { tbl_firmen->close(); };
}

void Tfrm_main::tbl_firmenOeffnen()
{
    if (!dm_datenbank || !dm_datenbank->Datenbank_Verbindung.Connected())
        return;
    // the countries offered are those of the settings, as in the customer window
    cb_land_fi->clear();
    cb_land_fi->addItems(me_laender->toPlainText().split(QLatin1Char('\n'), Qt::SkipEmptyParts));
    tbl_firmen->setDatabase(dm_datenbank->Datenbank_Verbindung.db());
    tbl_firmen->open();
    // the program uses company 1
    tbl_firmen->locate(QStringLiteral("Firma"), AktuelleFirma);
}

void Tfrm_main::buildERechnungGruppe(QBoxLayout *ziel)
{
    gb_erechnung = panel(QStringLiteral("gb_erechnung"), QStringLiteral("E-Rechnung"), ts_druck);
    auto *g = new QGridLayout(gb_erechnung);
    g->setHorizontalSpacing(8);
    g->setVerticalSpacing(4);
    // the column widths keep a post from failing on a value the table cannot hold,
    // which would drop the whole change when the tab is left
    auto feld = [this](const QString &name, int laenge) {
        auto *e = named(new QLineEdit(gb_erechnung), name);
        e->setMaxLength(laenge);
        return e;
    };
    auto beschriftung = [this](const QString &name, const QString &text, QWidget *buddy) {
        QLabel *l = label(name, text, gb_erechnung);
        l->setBuddy(buddy);
        return l;
    };
    // created in tab order: address, tax identifiers, contact, bank
    ed_strasse_fi = feld(QStringLiteral("ed_strasse_fi"), 50);
    ed_plz_fi = feld(QStringLiteral("ed_plz_fi"), 20);
    ed_plz_fi->setMaximumWidth(80);
    ed_ort_fi = feld(QStringLiteral("ed_ort_fi"), 50);
    cb_land_fi = named(new QComboBox(gb_erechnung), QStringLiteral("cb_land_fi"));
    cb_land_fi->setEditable(true);
    cb_land_fi->setInsertPolicy(QComboBox::NoInsert);
    cb_land_fi->lineEdit()->setMaxLength(100);
    ed_ustidnr_fi = feld(QStringLiteral("ed_ustidnr_fi"), 20);
    ed_steuernummer_fi = feld(QStringLiteral("ed_steuernummer_fi"), 30);
    ed_kontakt_fi = feld(QStringLiteral("ed_kontakt_fi"), 60);
    ed_telefon_fi = feld(QStringLiteral("ed_telefon_fi"), 30);
    ed_email_fi = feld(QStringLiteral("ed_email_fi"), 100);
    ed_iban_fi = feld(QStringLiteral("ed_iban_fi"), 34);
    ed_bic_fi = feld(QStringLiteral("ed_bic_fi"), 11);

    g->addWidget(beschriftung(QStringLiteral("lbl_strasse_fi"), QStringLiteral("Straße"), ed_strasse_fi), 0, 0);
    g->addWidget(ed_strasse_fi, 0, 1, 1, 3);
    g->addWidget(beschriftung(QStringLiteral("lbl_plzort_fi"), QStringLiteral("PLZ / Ort"), ed_plz_fi), 1, 0);
    auto *plzOrt = new QHBoxLayout;
    plzOrt->setSpacing(4);
    plzOrt->addWidget(ed_plz_fi);
    plzOrt->addWidget(ed_ort_fi, 1);
    g->addLayout(plzOrt, 1, 1, 1, 3);
    g->addWidget(beschriftung(QStringLiteral("lbl_land_fi"), QStringLiteral("Land"), cb_land_fi), 2, 0);
    g->addWidget(cb_land_fi, 2, 1);
    g->addWidget(beschriftung(QStringLiteral("lbl_ustidnr_fi"), QStringLiteral("USt-IdNr."), ed_ustidnr_fi), 3, 0);
    g->addWidget(ed_ustidnr_fi, 3, 1);
    g->addWidget(beschriftung(QStringLiteral("lbl_steuernummer_fi"), QStringLiteral("Steuernummer"), ed_steuernummer_fi), 3, 2);
    g->addWidget(ed_steuernummer_fi, 3, 3);
    g->addWidget(beschriftung(QStringLiteral("lbl_kontakt_fi"), QStringLiteral("Ansprechpartner"), ed_kontakt_fi), 4, 0);
    g->addWidget(ed_kontakt_fi, 4, 1, 1, 3);
    g->addWidget(beschriftung(QStringLiteral("lbl_telefon_fi"), QStringLiteral("Telefon"), ed_telefon_fi), 5, 0);
    g->addWidget(ed_telefon_fi, 5, 1);
    g->addWidget(beschriftung(QStringLiteral("lbl_email_fi"), QStringLiteral("E-Mail"), ed_email_fi), 6, 0);
    g->addWidget(ed_email_fi, 6, 1, 1, 3);
    g->addWidget(beschriftung(QStringLiteral("lbl_iban_fi"), QStringLiteral("IBAN"), ed_iban_fi), 7, 0);
    g->addWidget(ed_iban_fi, 7, 1);
    g->addWidget(beschriftung(QStringLiteral("lbl_bic_fi"), QStringLiteral("BIC"), ed_bic_fi), 7, 2);
    g->addWidget(ed_bic_fi, 7, 3);
    // an IBAN and a telephone number stay readable as a whole
    const QFontMetrics fm(ed_iban_fi->font());
    ed_iban_fi->setMinimumWidth(fm.horizontalAdvance(QStringLiteral("DE02 1203 0000 0000 2020 51")) + 16);
    ed_telefon_fi->setMinimumWidth(fm.horizontalAdvance(QStringLiteral("+43 662 871234-99")) + 16);
    ed_bic_fi->setMinimumWidth(fm.horizontalAdvance(QStringLiteral("WWWWDEWWXXX")) + 12);
    g->setColumnStretch(1, 3);
    g->setColumnStretch(3, 2);
    ziel->addSpacing(6);
    ziel->addWidget(gb_erechnung);
}

void Tfrm_main::tbl_firmenBeforeClose(Dataset &d)
{
    if (d.state() != Dataset::State::Edit && d.state() != Dataset::State::Insert)
        return;
    try {
        d.post();
    } catch (...) {
        d.cancel();
    }
}

void Tfrm_main::ed_fileButtonClick()
{
    if (!tbl_firmen->isOpen() || tbl_firmen->isEmpty())
        return;
    if (tbl_firmen->state() != Dataset::State::Edit && tbl_firmen->state() != Dataset::State::Insert)
        tbl_firmen->edit();
    const QString datei = Dialogs::instance().openFile(
        QStringLiteral("Bilddatei auswählen"), Programmordner(),
        QStringLiteral("Bilddateien (*.jpg *.jpeg *.gif *.bmp *.png);;Alle Dateien (*)"));
    if (!datei.isEmpty())
        tbl_firmen->field(QStringLiteral("LogoPfad")).setValue(QDir::toNativeSeparators(datei));
}

void Tfrm_main::buildPersistedPlaceholders()
{
    // Controls that the capture and overview tabs place in their layouts; they
    // exist from the start so the settings reach them by name.
    auto hiddenEdit = [](QWidget *parent, const QString &name) {
        auto *e = named(new QLineEdit(parent), name);
        e->setVisible(false);
        return e;
    };
    ed_markergruen = hiddenEdit(ts_uebersicht, QStringLiteral("ed_markergruen"));
    ed_markerrot1 = hiddenEdit(ts_uebersicht, QStringLiteral("ed_markerrot1"));
    ed_markerrot2 = hiddenEdit(ts_uebersicht, QStringLiteral("ed_markerrot2"));
    ed_markerrot3 = hiddenEdit(ts_uebersicht, QStringLiteral("ed_markerrot3"));
    ed_markerrot = hiddenEdit(ts_uebersicht, QStringLiteral("ed_markerrot"));
    ed_markergelb = hiddenEdit(ts_uebersicht, QStringLiteral("ed_markergelb"));
    ed_markerblau = hiddenEdit(ts_uebersicht, QStringLiteral("ed_markerblau"));
    ed_markerneutral = hiddenEdit(ts_uebersicht, QStringLiteral("ed_markerneutral"));
    ed_periode_re = hiddenEdit(ts_erfassung, QStringLiteral("ed_periode_re"));
    re_fusstext_re = named(new QPlainTextEdit(ts_erfassung), QStringLiteral("re_fusstext_re"));
    re_fusstext_re->setVisible(false);
    ed_datum_re = named(new QDateEdit(ts_erfassung), QStringLiteral("ed_datum_re"));
    ed_datum_re->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    ed_datum_re->setCalendarPopup(true);
    ed_datum_re->setVisible(false);
    cb_ersterstart = named(new QCheckBox(this), QStringLiteral("cb_ersterstart"));
    cb_ersterstart->setVisible(false);
}

bool Tfrm_main::istMehrzeiligesFeld(const QString &name)
{
    static const QStringList felder = {
        QStringLiteral("me_anschrift_firma"), QStringLiteral("re_kopftextvorschlag_re"),
        QStringLiteral("re_fusstextvorschlag_re"), QStringLiteral("ed_fuss1_d"), QStringLiteral("ed_fuss2_d"),
        QStringLiteral("ed_fuss3_d"), QStringLiteral("ed_fuss4_d")};
    return felder.contains(name);
}

bool Tfrm_main::eventFilter(QObject *obj, QEvent *ev)
{
    const QEvent::Type t = ev->type();
    if (t != QEvent::KeyPress && t != QEvent::KeyRelease && t != QEvent::FocusIn && t != QEvent::FocusOut)
        return false;
    auto *w = qobject_cast<QWidget *>(obj);
    if (!w || w->window() != this)
        return false;
    if (t == QEvent::FocusIn || t == QEvent::FocusOut) {
        // the multi-line fields switch the key preview off while they have the focus
        for (QWidget *p = w; p && p != this; p = p->parentWidget()) {
            if (istMehrzeiligesFeld(p->objectName())) {
                m_keyPreview = (t == QEvent::FocusOut);
                break;
            }
        }
        return false;
    }
    auto *k = static_cast<QKeyEvent *>(ev);
    if (t == QEvent::KeyRelease) {
        if (k->key() == Qt::Key_F2 && k->modifiers() == Qt::ShiftModifier && !k->isAutoRepeat()) {
            pnl_sql->setVisible(!pnl_sql->isVisible());
            return true;
        }
        return false;
    }
    if (m_keyPreview && (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter)
        && !(k->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        // swallowed; the focus moves once this event has been handled
        QMetaObject::invokeMethod(this, [this] { focusNextChild(); }, Qt::QueuedConnection);
        return true;
    }
    return false;
}

void Tfrm_main::showEvent(QShowEvent *e)
{
    QMainWindow::showEvent(e);
    if (m_shown)
        return;
    m_shown = true;
    m_storage->restore();
    FormStorage1RestorePlacement();
    guarded([this] { FormShow(); });
}

void Tfrm_main::FormStorage1RestorePlacement()
{
    QSettings st(FormStorage::organisation(), FormStorage::organisation());
    st.beginGroup(QStringLiteral("Tfrm_main"));
    bool okL = false, okT = false, okW = false, okH = false;
    const int l = st.value(QStringLiteral("Left")).toInt(&okL);
    const int t = st.value(QStringLiteral("Top")).toInt(&okT);
    const int w = st.value(QStringLiteral("Width")).toInt(&okW);
    const int h = st.value(QStringLiteral("Height")).toInt(&okH);
    if (okL && okT && okW && okH && w >= 400 && h >= 300) {
        const QRect r(l, t, w, h);
        // only where it is still visible on a screen of this session
        const QScreen *s = QGuiApplication::screenAt(r.center());
        if (s)
            setGeometry(r);
    }
    if (st.value(QStringLiteral("Maximized")).toInt() == 1)
        setWindowState(windowState() | Qt::WindowMaximized);
    st.endGroup();
    if (cb_drucker_re->currentText().trimmed().isEmpty())
        Einstellung::set(QStringLiteral("cb_drucker_re"), QStringLiteral("Default"));
    if (cb_papier_re->currentText().trimmed().isEmpty())
        Einstellung::set(QStringLiteral("cb_papier_re"), QStringLiteral("A4"));
    if (cb_zufuhr_re->currentText().trimmed().isEmpty())
        Einstellung::set(QStringLiteral("cb_zufuhr_re"), QStringLiteral("Default"));
}

void Tfrm_main::ErsterStartVorgaben(int sprache)
{
    const ErststartVorgaben v = ErststartVorgabenFuer(sprache);
    Einstellung::set(QStringLiteral("ed_waehrung"), v.waehrung);
    Einstellung::set(QStringLiteral("re_kopftextvorschlag_re"), QStringList{v.kopftextvorschlag});
    Einstellung::set(QStringLiteral("re_fusstextvorschlag_re"), QStringList{v.fusstextvorschlag});
    Einstellung::set(QStringLiteral("ed_gutschrifttext_re"), v.gutschrifttext);
    Einstellung::set(QStringLiteral("ed_markergruen"), v.markergruen);
    Einstellung::set(QStringLiteral("ed_markerrot1"), v.markerrot1);
    Einstellung::set(QStringLiteral("ed_markerrot2"), v.markerrot2);
    Einstellung::set(QStringLiteral("ed_markerrot3"), v.markerrot3);
    Einstellung::set(QStringLiteral("ed_markerrot"), v.markerrot);
    Einstellung::set(QStringLiteral("ed_markergelb"), v.markergelb);
    Einstellung::set(QStringLiteral("ed_markerblau"), v.markerblau);
    Einstellung::set(QStringLiteral("ed_subject_re"), v.subject);
    // the body is emptied and then receives its one line
    Einstellung::set(QStringLiteral("me_body_re"), QStringList{v.body});
    // e-invoices are a German obligation; other interfaces switch them on themselves
    Einstellung::set(QStringLiteral("cb_erechnung"), sprache == 0);
}

void Tfrm_main::FormShow()
{
    // 1
    try {
        if (ed_pdf_ablage_faktura->text().trimmed().isEmpty())
            ed_pdf_ablage_faktura->setText(QDir::toNativeSeparators(Programmordner() + QStringLiteral("Rechnungen_PDF")));
    } catch (...) {
    }
    // 2-7
    Bearbeiter = ed_bearbeiter_re->text();
    pc_main->setCurrentWidget(ts_erfassung);
    AktuelleFirma = 1;
    ZweiDurchlaeufe = true;
    Waehrung = ed_waehrung->currentText();
    Fokusfarbe = QColor(0x00, 0xFF, 0xFF);
    SmtpVoranstellen = cb_gsmtpvoranstellen->isChecked();
    SessionKennung = NeueSessionKennung();
    ed_datum_re->setDate(Clock::today());
    MwStKuerzel = txt("sko_1");
    // 8: the e-mail attachment folder
    if (!QFileInfo(Programmordner() + QStringLiteral("EMAILS")).isDir())
        Protokollieren(txt("ps_12"));
    // 9: first start
    if (cb_ersterstart->isChecked()) {
        cb_ersterstart->setChecked(false);
        if (onErsterStartSprache)
            onErsterStartSprache();
        ErsterStartVorgaben(rg_sprache->itemIndex());
    }
    // 10: a failure here ends the start-up before any database is opened
    try {
        SpracheLaden(rg_sprache->itemIndex(), Programmordner());
    } catch (...) {
        m_startupFailed = true;
        throw;
    }
    // 11-13
    AktuelleFirma = 1;
    try {
        dm_datenbank->Datenbank_Verbindung.ConnectionString = HauptVerbindungstext(Programmordner());
        dm_datenbank->Datenbank_Verbindung.Open();
    } catch (...) {
        m_startupFailed = true;
        Dialogs::instance().message(txt("sm_7"));
        throw;
    }
    try {
        dm_datenbank->Datenbank_Verbindung_Lokal.ConnectionString = LokalVerbindungstext(Programmordner());
        dm_datenbank->Datenbank_Verbindung_Lokal.Open();
    } catch (...) {
        m_startupFailed = true;
        Dialogs::instance().message(txt("sm_8"));
        throw;
    }
    // 14-18
    fillPrinterLists();
    ProtokollBereinigen();
    if (onPickerAufbauen)
        onPickerAufbauen();
}

void Tfrm_main::fillPrinterLists()
{
    // the restored texts stay as they are
    const QString drucker = cb_drucker_re->currentText();
    const QString papier = cb_papier_re->currentText();
    const QString zufuhr = cb_zufuhr_re->currentText();
    auto fill = [](QComboBox *c, const QStringList &items, const QString &keep) {
        c->clear();
        c->addItems(items);
        int i = c->findText(keep);
        if (i < 0 && !keep.isEmpty()) {
            c->addItem(keep);
            i = c->count() - 1;
        }
        c->setCurrentIndex(i);
    };
    fill(cb_drucker_re, Print::printerNames(), drucker);
    fill(cb_papier_re, Print::paperNames(drucker), papier);
    fill(cb_zufuhr_re, Print::binNames(drucker), zufuhr);
}

void Tfrm_main::cb_drucker_reChange()
{
    const QString drucker = cb_drucker_re->currentText();
    cb_papier_re->clear();
    cb_papier_re->addItems(Print::paperNames(drucker));
    cb_papier_re->setCurrentIndex(cb_papier_re->count() > 0 ? 0 : -1);
    cb_zufuhr_re->clear();
    cb_zufuhr_re->addItems(Print::binNames(drucker));
    cb_zufuhr_re->setCurrentIndex(cb_zufuhr_re->count() > 0 ? 0 : -1);
}

void Tfrm_main::rg_spracheClick(int index) { SpracheLaden(index, Programmordner()); }

void Tfrm_main::pc_mainChange()
{
    if (onFirmenSchliessen) {
        try {
            onFirmenSchliessen();
        } catch (...) {
        }
    }
    QWidget *tab = pc_main->currentWidget();
    if (tab == ts_druck && onFirmenOeffnen)
        onFirmenOeffnen();
    if (tab == ts_erfassung && onPickerOeffnen)
        onPickerOeffnen();
    if (tab == ts_uebersicht && onUebersichtOeffnen)
        onUebersichtOeffnen();
}

QString Tfrm_main::HilfeDatei() const
{
    return Programmordner() + (rg_sprache->itemIndex() == 0 ? QStringLiteral("HTML/index.html")
                                                           : QStringLiteral("HTMLE/index.html"));
}

void Tfrm_main::btn_hilfeClick() { QDesktopServices::openUrl(QUrl::fromLocalFile(HilfeDatei())); }

void Tfrm_main::closeEvent(QCloseEvent *e)
{
    if (!m_closed) {
        m_closed = true;
        FormClose();
    }
    e->accept();
}

void Tfrm_main::FormClose()
{
    // 1: a failing backup must not keep the program from ending
    try {
        Tagessicherung();
    } catch (...) {
        Protokollieren((txt("ps_16") + currentExceptionText()).left(150));
    }
    // 2-3
    if (onFirmenSchliessen) {
        try {
            onFirmenSchliessen();
        } catch (...) {
        }
    }
    try {
        dm_datenbank->VerbindungenSchliessen();
    } catch (...) {
    }
    // 4
    m_storage->save();
}
