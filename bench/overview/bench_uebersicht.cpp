// Overview timings on the shipped data grown to 5 000 invoices of 4 positions:
// opening all invoices, a title-click sort, setting a marker (with the reopening),
// and cancelling one invoice. Prints milliseconds per step (median of 5).
#include "app/core/u_global.h"
#include "app/core/u_strings.h"
#include "data/u_dm_datenbank.h"
#include "output/u_storno.h"
#include "output/u_uebersicht.h"
#include "platform/core/dialogs.h"
#include "platform/core/radiogroup.h"
#include "platform/dataset/dataset.h"
#include "platform/sql/sqlutil.h"
#include "tests/support/testprogrammordner.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <functional>

namespace {
double median(const std::function<void()> &f)
{
    std::vector<double> t;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer e;
        e.start();
        f();
        t.push_back(e.nsecsElapsed() / 1e6);
    }
    std::sort(t.begin(), t.end());
    return t[2];
}
} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TestProgrammordner p;
    Tfrm_strings strings;
    frm_strings = &strings;
    setProgrammordner(p.ordner());
    AktuelleFirma = 1;
    ScopedScriptedDialogs dialoge;

    // 4 rows per invoice, numbers 11 .. 5010, copied from invoice 3's first row
    QSqlDatabase db = p.haupt();
    QStringList spalten;
    {
        QSqlQuery q(db);
        q.exec(QStringLiteral("pragma table_info(Artikelpositionen)"));
        while (q.next())
            spalten << q.value(1).toString();
    }
    QStringList auswahl;
    for (const QString &s : spalten) {
        if (s == QLatin1String("ID_Artikelpositionen"))
            auswahl << QStringLiteral("1000 + n.i * 4 + x.j");
        else if (s == QLatin1String("Rechnung_nr"))
            auswahl << QStringLiteral("10 + n.i");
        else if (s == QLatin1String("Position_X"))
            auswahl << QStringLiteral("x.j");
        else
            auswahl << QStringLiteral("a.") + s;
    }
    {
        TransactionGuard t(db);
        execSql(db, QStringLiteral("create temp table n(i integer primary key)"));
        execSql(db, QStringLiteral("create temp table x(j integer primary key)"));
        for (int j = 1; j <= 4; ++j)
            execSql(db, QStringLiteral("insert into x values (%1)").arg(j));
        for (int i = 1; i <= 5000; ++i)
            execSql(db, QStringLiteral("insert into n values (%1)").arg(i));
        execSql(db, QStringLiteral("insert into Artikelpositionen (%1) select %2 from n, x, Artikelpositionen a "
                                   "where a.ID_Artikelpositionen = (select min(ID_Artikelpositionen) from "
                                   "Artikelpositionen where Rechnung_nr = 3)")
                        .arg(spalten.join(QStringLiteral(", ")), auswahl.join(QStringLiteral(", "))));
        t.commit();
    }
    std::printf("rows: %d\n", p.wert(QStringLiteral("select count(*) from Artikelpositionen")).toInt());

    QWidget seite;
    auto *ue = new TUebersicht(&seite);
    seite.resize(1000, 700);
    seite.show();
    ue->rg_anzeige_re->setItemIndex(0);
    Dataset &q = *ue->qry_rechnungen_uebersicht;

    const double oeffnen = median([&] { ue->Oeffnen(); app.processEvents(); });
    std::printf("open all invoices: %.1f ms (%d lines)\n", oeffnen, q.recordCount());
    std::printf("sort by Re.betrag: %.1f ms\n", median([&] {
                    q.setSort(QString());
                    q.setSort(QStringLiteral("Rechnungsbetrag  ASC"));
                    app.processEvents();
                }));
    q.setSort(QString());
    std::printf("marker on one invoice, reopen, back to the line: %.1f ms\n", median([&] {
                    q.setRow(2500);
                    ue->MarkerSetzen(3);
                    app.processEvents();
                }));
    int nr = 100;
    std::printf("cancel a 4-row invoice: %.1f ms\n", median([&] { StornoSchreiben(1, 20120101, nr++); }));
    delete ue;
    frm_strings = nullptr;
    return 0;
}
