// The customer and article pickers of the capture tab.
#include "capture/u_erfassung.h"

#include "app/core/u_global.h"
#include "app/core/u_strings.h"
#include "data/u_dm_datenbank.h"
#include "platform/core/dialogs.h"
#include "platform/core/guarded.h"
#include "platform/dataset/dataset.h"
#include "platform/dataset/datasetmodel.h"

#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include "data/u_gruppenliste.h"
#include "platform/sql/sqlutil.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

// The lists read only the columns they show, search in and hand over: the
// master-data tables are wide, and with tens of thousands of rows "select *"
// would keep the start-up and every tab visit waiting for seconds.
const QString TErfassung::SQL_qry_kunden = QStringLiteral(
    "select Firma, Kunde, Kundengruppe, Name_KU, Suchbegriff, Sichtbar from Kundenstamm\n"
    "where Firma =:pfirma\n"
    "and Kundengruppe between :pvonkundengruppe and :pbiskundengruppe\n"
    "and Kunde <> 0\n"
    "and Sichtbar = 1\n"
    "order by Name_KU");

const QString TErfassung::SQL_qry_artikeln = QStringLiteral(
    "select Artikel, Artikelgruppe, Name_AR, Suchbegriff, Einheit, Sichtbar from Artikelstamm\n"
    "where Artikelgruppe between :pvonartikelgruppe and :pbisartikelgruppe\n"
    "and Sichtbar = 1\n"
    "order by Name_AR");

namespace {

const int kAlleGruppen = -17;

void picker(const char *name, QFrame *&frame, QWidget *parent)
{
    frame = new QFrame(parent);
    frame->setObjectName(QString::fromLatin1(name));
}

} // namespace

void TErfassung::bauenPicker(QWidget *parent)
{
    pnl_picker_re = new QFrame(parent);
    pnl_picker_re->setObjectName(QStringLiteral("pnl_picker_re"));
    pnl_picker_re->setFixedWidth(290);
    pnl_picker_re->setStyleSheet(QStringLiteral("QFrame#pnl_picker_re { background: #e6ebf0; }"));
    auto *v = new QVBoxLayout(pnl_picker_re);
    v->setContentsMargins(6, 6, 6, 6);
    v->setSpacing(6);

    auto teil = [this](QFrame *rahmen, QLabel *&lblGruppe, const char *nameGruppe, const QString &textGruppe,
                       QComboBox *&gruppe, const char *comboName, QLabel *&lblSuche, const char *nameSuche,
                       QLineEdit *&suche, const char *sucheName, TTitelGrid *&grid, const char *gridName) {
        rahmen->setFrameShape(QFrame::StyledPanel);
        auto *g = new QGridLayout(rahmen);
        g->setContentsMargins(4, 4, 4, 4);
        g->setHorizontalSpacing(6);
        g->setVerticalSpacing(4);
        lblGruppe = new QLabel(textGruppe, rahmen);
        lblGruppe->setObjectName(QString::fromLatin1(nameGruppe));
        gruppe = new QComboBox(rahmen);
        gruppe->setObjectName(QString::fromLatin1(comboName));
        gruppe->setEditable(false);
        gruppe->setPlaceholderText(txt("sk_6"));
        lblSuche = new QLabel(QStringLiteral("SB"), rahmen);
        lblSuche->setObjectName(QString::fromLatin1(nameSuche));
        suche = new QLineEdit(rahmen);
        suche->setObjectName(QString::fromLatin1(sucheName));
        suche->setClearButtonEnabled(true);
        grid = new TTitelGrid(rahmen);
        grid->setObjectName(QString::fromLatin1(gridName));
        grid->setFrameShape(QFrame::NoFrame);
        grid->verticalHeader()->setVisible(false);
        for (QLabel *l : {lblGruppe, lblSuche}) {
            QFont f = l->font();
            f.setBold(true);
            l->setFont(f);
            l->setMinimumWidth(34);
        }
        g->addWidget(lblGruppe, 0, 0);
        g->addWidget(gruppe, 0, 1);
        g->addWidget(lblSuche, 1, 0);
        g->addWidget(suche, 1, 1);
        g->addWidget(grid, 2, 0, 1, 2);
        g->setRowStretch(2, 1);
        g->setColumnStretch(1, 1);
        beobachten(gruppe);
    };

    QFrame *kunden = nullptr;
    QFrame *artikel = nullptr;
    picker("pnl_kunden_re", kunden, pnl_picker_re);
    picker("pnl_artikeln_re", artikel, pnl_picker_re);
    teil(kunden, le_10, "le_10", QStringLiteral("KGR"), ed_kundengruppe_re, "ed_kundengruppe_re", le_11, "le_11",
         ed_kundensuche_re, "ed_kundensuche_re", gr_kunden_re, "gr_kunden_re");
    teil(artikel, le_12, "le_12", QStringLiteral("AGR"), ed_artikelgruppe_re, "ed_artikelgruppe_re", le_13, "le_13",
         ed_artikelsuche_re, "ed_artikelsuche_re", gr_artikeln_re, "gr_artikeln_re");
    kunden->setFixedHeight(200);
    v->addWidget(kunden);
    v->addWidget(artikel, 1);

    gr_kunden_re->setDataset(qry_kunden, {{QStringLiteral("Kunde"), txt("gr_kunden_re_kunde"), {}, 64},
                                          {QStringLiteral("Name_KU"), txt("gr_kunden_re_name"), {}, -1}});
    gr_kunden_re->setRowColours(QColor(205, 226, 247), QColor(158, 183, 245));
    gr_artikeln_re->setDataset(qry_artikeln, {{QStringLiteral("Artikel"), txt("gr_artikeln_re_artikel"), {}, 90},
                                              {QStringLiteral("Name_AR"), txt("gr_artikeln_re_name"), {}, -1}});
    gr_artikeln_re->setRowColours(QColor(233, 243, 233), QColor(196, 223, 196));
    for (TTitelGrid *g : {gr_kunden_re, gr_artikeln_re}) {
        // the first column keeps its width, the name fills the rest
        g->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
        g->horizontalHeader()->setStretchLastSection(true);
    }
}

void TErfassung::verbindenPicker()
{
    connect(ed_kundengruppe_re, &QComboBox::activated, this, [this] { guarded([this] { ed_kundengruppe_reCloseUp(); }); });
    connect(ed_artikelgruppe_re, &QComboBox::activated, this, [this] { guarded([this] { ed_artikelgruppe_reCloseUp(); }); });
    connect(ed_kundensuche_re, &QLineEdit::textChanged, this, [this] { guarded([this] { ed_kundensuche_reChange(); }); });
    connect(ed_artikelsuche_re, &QLineEdit::textChanged, this, [this] { guarded([this] { ed_artikelsuche_reChange(); }); });
    connect(gr_kunden_re, &QAbstractItemView::doubleClicked, this, [this] { guarded([this] { gr_kunden_reDblClick(); }); });
    connect(gr_artikeln_re, &QAbstractItemView::doubleClicked, this, [this] { guarded([this] { gr_artikeln_reDblClick(); }); });
}

// ---- start-up and tab visit ------------------------------------------------------------

void TErfassung::gruppenFuellen(QComboBox *combo, Dataset *gruppen, const char *nummer, const char *name)
{
    const QSignalBlocker sperre(combo);
    combo->clear();
    int alle = -1;
    if (gruppen->isOpen()) {
        const int nr = gruppen->fieldIndex(QString::fromLatin1(nummer));
        const int nm = gruppen->fieldIndex(QString::fromLatin1(name));
        for (int r = 0; r < gruppen->recordCount(); ++r) {
            const int wert = gruppen->valueAt(r, nr).toInt();
            combo->addItem(gruppen->valueAt(r, nm).toString(), wert);
            if (wert == kAlleGruppen && alle < 0)
                alle = combo->count() - 1;
        }
    }
    combo->setCurrentIndex(alle);
}

void TErfassung::gruppenAbfrageAufbauen(QComboBox *combo, Dataset *gruppen, const char *tabelle,
                                        const char *nummer, const char *name)
{
    gruppen->close();
    combo->setPlaceholderText(txt("sk_6"));
    combo->setCurrentIndex(-1);
    const QString t = QString::fromLatin1(tabelle);
    gruppen->setDatabase(dm_datenbank->Datenbank_Verbindung.db());
    gruppen->setSql(GruppenlisteSql(t, QLatin1String(nummer), QLatin1String(name), txt("sk_6")));
    gruppen->open();
    gruppenFuellen(combo, gruppen, nummer, name);
}

void TErfassung::PickerAufbauen()
{
    // 16: customer groups and the customer picker on all groups
    gruppenAbfrageAufbauen(ed_kundengruppe_re, mt_kundengruppen, "Kundengruppen", "Kundengruppe", "Name_KG");
    qry_kunden->setDatabase(dm_datenbank->Datenbank_Verbindung.db());
    if (mt_kundengruppen->isOpen() && !mt_kundengruppen->isEmpty()) {
        qry_kunden->close();
        qry_kunden->setParam(QStringLiteral("pfirma"), AktuelleFirma);
        qry_kunden->setParam(QStringLiteral("pvonkundengruppe"), 0);
        qry_kunden->setParam(QStringLiteral("pbiskundengruppe"), 32767);
        qry_kunden->open();
    }
    // 17: the same for articles
    gruppenAbfrageAufbauen(ed_artikelgruppe_re, mt_artikelgruppen, "Artikelgruppen", "Artikelgruppe", "Name_AG");
    qry_artikeln->setDatabase(dm_datenbank->Datenbank_Verbindung.db());
    if (mt_artikelgruppen->isOpen() && !mt_artikelgruppen->isEmpty()) {
        qry_artikeln->close();
        qry_artikeln->setParam(QStringLiteral("pvonartikelgruppe"), 0);
        qry_artikeln->setParam(QStringLiteral("pbisartikelgruppe"), 32767);
        qry_artikeln->open();
    }
    // 18
    PickerOeffnen();
}

void TErfassung::PickerOeffnen()
{
    qry_kunden->close();
    qry_kunden->setDatabase(dm_datenbank->Datenbank_Verbindung.db());
    qry_kunden->open();
    qry_artikeln->close();
    qry_artikeln->setDatabase(dm_datenbank->Datenbank_Verbindung.db());
    qry_artikeln->open();
}

// ---- group choice, search, sort, hand-over ---------------------------------------------------

void TErfassung::gruppeGewaehlt(QComboBox *combo, Dataset *gruppen, Dataset *picker, const char *von,
                                const char *bis, const char *nummernfeld)
{
    if (!gruppen->isOpen() || gruppen->isEmpty() || combo->currentIndex() < 0)
        return;
    const QVariant gewaehlt = combo->currentData();
    gruppen->locate(QString::fromLatin1(nummernfeld), gewaehlt);
    const int gruppe = gruppen->asInteger(QString::fromLatin1(nummernfeld));
    picker->close();
    if (gruppe == kAlleGruppen) {
        picker->setParam(QString::fromLatin1(von), 0);
        picker->setParam(QString::fromLatin1(bis), 32767);
    } else {
        picker->setParam(QString::fromLatin1(von), gruppe);
        picker->setParam(QString::fromLatin1(bis), gruppe);
    }
    picker->open();
}

void TErfassung::ed_kundengruppe_reCloseUp()
{
    gruppeGewaehlt(ed_kundengruppe_re, mt_kundengruppen, qry_kunden, "pvonkundengruppe", "pbiskundengruppe",
                   "Kundengruppe");
}

void TErfassung::ed_artikelgruppe_reCloseUp()
{
    gruppeGewaehlt(ed_artikelgruppe_re, mt_artikelgruppen, qry_artikeln, "pvonartikelgruppe", "pbisartikelgruppe",
                   "Artikelgruppe");
}

void TErfassung::sucheSetzen(Dataset *picker, const QString &text)
{
    if (!picker->isOpen())
        return;
    const QString filter = QStringLiteral("Suchbegriff like ") + sqlStringLiteral(text.trimmed() + QLatin1Char('%'));
    try {
        // an active filter is replaced in one pass over the rows; switching it
        // off in between would only show the whole list for a moment
        picker->setFilter(filter);
        picker->setFiltered(true);
    } catch (const TvxError &) {
        // a text the filter cannot take shows the whole group
        picker->setFiltered(false);
    }
}

void TErfassung::ed_kundensuche_reChange() { sucheSetzen(qry_kunden, ed_kundensuche_re->text()); }

void TErfassung::ed_artikelsuche_reChange() { sucheSetzen(qry_artikeln, ed_artikelsuche_re->text()); }

void TErfassung::gr_kunden_reDblClick()
{
    Dataset *k = qry_kunden;
    if (!k->isOpen() || k->isEmpty())
        return;
    if (!imKopfmodus()) {
        Dialogs::instance().message(txt("sm_9") + QStringLiteral("\n\n") + txt("sm_10"));
        return;
    }
    ed_kunde_re->setText(k->asString(QStringLiteral("Kunde")));
    ed_kunde_re_name->setText(k->asString(QStringLiteral("Name_KU")));
    TKundenDaten kunde;
    LadeKunde(QString::number(AktuelleFirma), ed_kunde_re->text().trimmed(), kunde);
    if (kunde.Gefunden)
        ed_kunde_re_name->setText(kunde.Name_KU);
    fokusAuf(ed_kunde_re);
}

void TErfassung::gr_artikeln_reDblClick()
{
    Dataset *a = qry_artikeln;
    if (!a->isOpen() || a->isEmpty())
        return;
    if (!gr_artikelpositionen_re->isEnabled()) {
        Dialogs::instance().message(txt("sm_11") + QStringLiteral("\n\n") + txt("sm_12"));
        return;
    }
    Dataset *t = tbl_rechnungerfassen;
    if (t->isOpen()) {
        if (t->state() != Dataset::State::Edit && t->state() != Dataset::State::Insert)
            t->edit();
        t->setValue(QStringLiteral("Artikel"), a->asString(QStringLiteral("Artikel")));
        t->setValue(QStringLiteral("ArtikelName"), a->asString(QStringLiteral("Name_AR")));
        fokusAuf(ed_artikel_re);
    }
}
