#include "maintenance/u_sqlkonsole.h"

#include "app/core/u_sicherung.h"
#include "app/core/u_strings.h"
#include "maintenance/u_export.h"
#include "maintenance/u_exportformate.h"
#include "platform/core/dialogs.h"
#include "platform/core/guarded.h"
#include "platform/dataset/datagrid.h"
#include "platform/dataset/dataset.h"
#include "platform/dataset/datasetmodel.h"
#include "platform/sql/sqlutil.h"

#include <sqlcipher/sqlite3.h>

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlResult>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

enum Nav { Erster, SeiteZurueck, Vorheriger, Naechster, SeiteVor, Letzter, Bestaetigen, Verwerfen };

struct WarteZeiger {
    WarteZeiger() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WarteZeiger() { QApplication::restoreOverrideCursor(); }
};

// True when the single statement of sql yields columns (a select or a pragma
// with a result). Throws the driver's error when the text does not prepare.
bool liefertErgebnis(const QSqlDatabase &db, const QString &sql)
{
    QSqlQuery q(db);
    if (!q.prepare(sql))
        throw EDatabaseError(sqlErrorText(q.lastError()), q.lastError().nativeErrorCode());
    const QVariant h = q.result() ? q.result()->handle() : QVariant();
    auto *st = static_cast<sqlite3_stmt *>(h.value<void *>());
    return st && sqlite3_column_count(st) > 0;
}

} // namespace

TSqlKonsole::TSqlKonsole(QWidget *panel) : QWidget(panel)
{
    setObjectName(QStringLiteral("sql_konsole"));
    if (panel) {
        auto *pl = panel->layout() ? panel->layout() : new QVBoxLayout(panel);
        pl->setContentsMargins(6, 6, 6, 6);
        pl->addWidget(this);
    }
    auto *h = new QHBoxLayout(this);
    h->setContentsMargins(0, 0, 0, 0);
    h->setSpacing(8);

    me_befehl = new QPlainTextEdit(this);
    me_befehl->setObjectName(QStringLiteral("me_befehl"));
    me_befehl->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    me_befehl->setPlainText(QStringLiteral("select * from Protokoll"));
    QFont mono(QStringLiteral("Liberation Mono"));
    mono.setStyleHint(QFont::Monospace);
    me_befehl->setFont(mono);
    me_befehl->setMinimumWidth(260);
    me_befehl->setMaximumWidth(380);
    h->addWidget(me_befehl, 0);

    auto *rechts = new QVBoxLayout;
    rechts->setSpacing(6);
    h->addLayout(rechts, 1);

    auto *knoepfe = new QHBoxLayout;
    knoepfe->setSpacing(6);
    btn_ausfuehren = new QPushButton(QStringLiteral("Select ausführen"), this);
    btn_ausfuehren->setObjectName(QStringLiteral("btn_ausfuehren"));
    btn_ausfuehren->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
    btn_update = new QPushButton(QStringLiteral("Update/Insert ausführen"), this);
    btn_update->setObjectName(QStringLiteral("btn_update"));
    btn_update->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    btn_SQLExport = new QPushButton(QStringLiteral("Export"), this);
    btn_SQLExport->setObjectName(QStringLiteral("btn_SQLExport"));
    btn_SQLExport->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    cb_live = new QCheckBox(QStringLiteral("Daten veränderbar"), this);
    cb_live->setObjectName(QStringLiteral("cb_live"));
    cb_live->setChecked(false);
    cb_live->setVisible(false);
    for (QPushButton *b : {btn_ausfuehren, btn_update, btn_SQLExport}) {
        b->setAutoDefault(false);
        b->setMinimumHeight(30);
        knoepfe->addWidget(b);
    }
    knoepfe->addWidget(cb_live);
    knoepfe->addStretch(1);
    rechts->addLayout(knoepfe);

    moDBNav1 = new QWidget(this);
    moDBNav1->setObjectName(QStringLiteral("moDBNav1"));
    auto *nav = new QHBoxLayout(moDBNav1);
    nav->setContentsMargins(0, 0, 0, 0);
    nav->setSpacing(2);
    const struct {
        const char *name;
        QStyle::StandardPixmap icon;
        const char *tipp;
    } navKnoepfe[8] = {
        {"first", QStyle::SP_MediaSkipBackward, "Erster Datensatz"},
        {"priorpage", QStyle::SP_MediaSeekBackward, "Eine Seite zurück"},
        {"prior", QStyle::SP_ArrowLeft, "Vorheriger Datensatz"},
        {"next", QStyle::SP_ArrowRight, "Nächster Datensatz"},
        {"nextpage", QStyle::SP_MediaSeekForward, "Eine Seite vor"},
        {"last", QStyle::SP_MediaSkipForward, "Letzter Datensatz"},
        {"post", QStyle::SP_DialogApplyButton, "Änderung bestätigen"},
        {"cancel", QStyle::SP_DialogCancelButton, "Änderung verwerfen"},
    };
    for (int i = 0; i < 8; ++i) {
        auto *b = new QToolButton(moDBNav1);
        b->setObjectName(QStringLiteral("moDBNav1_") + QLatin1String(navKnoepfe[i].name));
        b->setIcon(style()->standardIcon(navKnoepfe[i].icon));
        b->setToolTip(QString::fromUtf8(navKnoepfe[i].tipp));
        b->setAutoRaise(false);
        b->setIconSize(QSize(16, 16));
        b->setFocusPolicy(Qt::NoFocus);
        nav->addWidget(b);
        m_nav[i] = b;
        connect(b, &QToolButton::clicked, this, [this, i] { guarded([this, i] { navigieren(i); }); });
    }
    m_position = new QLabel(moDBNav1);
    m_position->setObjectName(QStringLiteral("lbl_sqlposition"));
    m_position->setStyleSheet(QStringLiteral("color: #404a58; padding-left: 8px;"));
    m_position->setMinimumWidth(220);
    nav->addWidget(m_position);
    nav->addStretch(1);
    rechts->addWidget(moDBNav1);

    qry_ausfuehren = new Dataset(QSqlDatabase(), this);
    qry_ausfuehren->setObjectName(QStringLiteral("qry_ausfuehren"));
    gr_sql = new DataGrid(this);
    gr_sql->setObjectName(QStringLiteral("gr_sql"));
    gr_sql->setRowColours(QColor(Qt::white), QColor(0xE9, 0xF3, 0xE9));
    gr_sql->setEditTriggers(QAbstractItemView::NoEditTriggers);
    gr_sql->setDataset(qry_ausfuehren, {});
    gr_sql->horizontalHeader()->setMinimumSectionSize(40);
    rechts->addWidget(gr_sql, 1);

    connect(btn_ausfuehren, &QPushButton::clicked, this,
            [this] { guarded([this] { btn_ausfuehrenClick(btn_ausfuehren); }); });
    connect(btn_update, &QPushButton::clicked, this, [this] { guarded([this] { btn_ausfuehrenClick(btn_update); }); });
    connect(btn_SQLExport, &QPushButton::clicked, this, [this] { guarded([this] { btn_SQLExportClick(); }); });
    connect(qry_ausfuehren, &Dataset::currentRowChanged, this, [this] { zustandZeigen(); });
    connect(qry_ausfuehren, &Dataset::resetDone, this, [this] { zustandZeigen(); });
    connect(qry_ausfuehren, &Dataset::stateChanged, this, [this] { zustandZeigen(); });
    zustandZeigen();
}

TSqlKonsole::~TSqlKonsole()
{
    // the grid must let go of the dataset before it goes
    gr_sql->setDataset(nullptr, {});
}

void TSqlKonsole::btn_ausfuehrenClick(QObject *sender)
{
    // The grid stays read-only: editing arbitrary results is not offered, and
    // cb_live is hidden and unchecked.
    gr_sql->setEditTriggers(QAbstractItemView::NoEditTriggers);
    qry_ausfuehren->close();
    const QString text = me_befehl->toPlainText();
    qry_ausfuehren->setSql(text);
    try {
        QSqlDatabase db = HauptVerbindung();
        if (!db.isValid() || !db.isOpen())
            throw EDatabaseError(QStringLiteral("Die Datenbankverbindung ist nicht geöffnet"));
        qry_ausfuehren->setDatabase(db);
        WarteZeiger warten;
        if (sender == btn_update) {
            QSqlQuery q(db);
            if (!q.exec(text))
                throw EDatabaseError(sqlErrorText(q.lastError()), q.lastError().nativeErrorCode());
            q.finish();
        } else {
            if (!liefertErgebnis(db, text))
                throw EDatabaseError(
                    QStringLiteral("Die Anweisung liefert keine Datenmenge und wurde nicht ausgeführt. "
                                   "Änderungen laufen über „Update/Insert ausführen“."));
            qry_ausfuehren->open();
            // the rows are cached; holding no handle lets the connection close cleanly at exit
            qry_ausfuehren->setDatabase(QSqlDatabase());
            gr_sql->resizeColumnsToContents();
            for (int c = 0; c < gr_sql->model()->columnCount(); ++c)
                if (gr_sql->columnWidth(c) > 320)
                    gr_sql->setColumnWidth(c, 320);
            qry_ausfuehren->first();
        }
    } catch (...) {
        qry_ausfuehren->close();
        zustandZeigen();
        Dialogs::instance().error(currentExceptionText());
        return;
    }
    zustandZeigen();
    if (sender == btn_update)
        Dialogs::instance().message(txt("sm_22"));
}

void TSqlKonsole::btn_SQLExportClick()
{
    if (!qry_ausfuehren->isOpen() || qry_ausfuehren->isEmpty())
        return;
    Tfrm_export dlg(exportQuelle(gr_sql), window());
    dlg.exec();
}

ExportQuelle TSqlKonsole::exportQuelle(DataGrid *grid)
{
    ExportQuelle q;
    Dataset *ds = grid ? grid->dataset() : nullptr;
    DatasetModel *m = grid ? grid->datasetModel() : nullptr;
    if (!ds || !m || !ds->isOpen())
        return q;
    QHeaderView *h = grid->horizontalHeader();
    QList<int> felder;
    for (int vis = 0; vis < h->count(); ++vis) {
        const int log = h->logicalIndex(vis);
        if (h->isSectionHidden(log))
            continue;
        const int f = ds->fieldIndex(m->fieldOfColumn(log));
        if (f < 0)
            continue;
        felder << f;
        q.titel << m->headerData(log, Qt::Horizontal).toString();
    }
    q.zeilen = ds->recordCount();
    q.wert = [ds, felder](int z, int s) { return ds->valueAt(z, felder[s]); };
    return q;
}

int TSqlKonsole::seitenzeilen() const
{
    const int zh = qMax(1, gr_sql->verticalHeader()->defaultSectionSize());
    return qMax(1, gr_sql->viewport()->height() / zh - 1);
}

void TSqlKonsole::navigieren(int wohin)
{
    Dataset *ds = qry_ausfuehren;
    if (!ds->isOpen())
        return;
    switch (wohin) {
    case Erster: ds->first(); break;
    case SeiteZurueck: ds->moveBy(-seitenzeilen()); break;
    case Vorheriger: ds->prior(); break;
    case Naechster: ds->next(); break;
    case SeiteVor: ds->moveBy(seitenzeilen()); break;
    case Letzter: ds->last(); break;
    case Bestaetigen: ds->post(); break;
    case Verwerfen: ds->cancel(); break;
    }
    zustandZeigen();
}

void TSqlKonsole::zustandZeigen()
{
    Dataset *ds = qry_ausfuehren;
    const bool offen = ds->isOpen();
    const bool daten = offen && !ds->isEmpty();
    const bool amAnfang = !daten || ds->row() <= 0;
    const bool amEnde = !daten || ds->row() >= ds->recordCount() - 1;
    const bool bearbeitet = offen && (ds->state() == Dataset::State::Edit || ds->state() == Dataset::State::Insert);
    m_nav[Erster]->setEnabled(!amAnfang);
    m_nav[SeiteZurueck]->setEnabled(!amAnfang);
    m_nav[Vorheriger]->setEnabled(!amAnfang);
    m_nav[Naechster]->setEnabled(!amEnde);
    m_nav[SeiteVor]->setEnabled(!amEnde);
    m_nav[Letzter]->setEnabled(!amEnde);
    m_nav[Bestaetigen]->setEnabled(bearbeitet);
    m_nav[Verwerfen]->setEnabled(bearbeitet);
    btn_SQLExport->setEnabled(daten);
    if (!offen)
        m_position->clear();
    else if (!daten)
        m_position->setText(QStringLiteral("keine Datensätze"));
    else
        m_position->setText(QStringLiteral("Datensatz %1 von %2").arg(ds->recNo()).arg(ds->recordCount()));
}
