// Typing into the article picker's search field with 50 000 articles loaded:
// time from the key press until the list is filtered and repainted, for every
// keystroke (typing a prefix and erasing it again). Goal: below 30 ms each.
//
//   bench_picker [articles]
#include "app/core/u_strings.h"
#include "capture/u_erfassung.h"
#include "data/u_dm_datenbank.h"
#include "platform/dataset/dataset.h"
#include "platform/sql/sqlutil.h"
#include "tests/support/testprogrammordner.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTest>
#include <QWidget>
#include <algorithm>
#include <cstdio>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int anzahl = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 50000;

    TestProgrammordner p(TestProgrammordner::Daten::Leer);
    Tfrm_strings strings;
    frm_strings = &strings;
    {
        const QSqlDatabase db = p.haupt();
        TransactionGuard t(db);
        for (int g = 1; g <= 10; ++g)
            execSql(db, QStringLiteral("insert into Artikelgruppen (Artikelgruppe, Name_AG) values (%1, 'Gruppe %1')").arg(g));
        QSqlQuery q = prepareQuery(db, QStringLiteral(
            "insert into Artikelstamm (Artikel, Name_AR, Suchbegriff, Artikelgruppe, Einheit, Preis1, Preis2, Preis3, Sichtbar)"
            " values (?, ?, ?, ?, 'Stk', ?, 0, 0, 1)"));
        const QStringList woerter = {"Holz", "Hobel", "Hammer", "Schraube", "Mutter", "Mühle", "Öl", "Leim", "Säge",
                                     "Bohrer", "Dübel", "Nagel", "Platte", "Leiste", "Farbe", "Lack"};
        QRandomGenerator zufall(4711);
        for (int i = 1; i <= anzahl; ++i) {
            const QString name = woerter[zufall.bounded(woerter.size())] + QLatin1Char(' ')
                                 + woerter[zufall.bounded(woerter.size())] + QStringLiteral(" %1").arg(i);
            q.addBindValue(QStringLiteral("A%1").arg(i, 6, 10, QLatin1Char('0')));
            q.addBindValue(name.left(50));
            q.addBindValue(name.left(20));
            q.addBindValue(1 + i % 10);
            q.addBindValue(1.0 + i % 100);
            execQuery(q);
        }
        t.commit();
    }

    QWidget seite;
    seite.resize(1200, 800);
    TErfassung e(&seite);
    seite.show();
    QElapsedTimer laden;
    laden.start();
    e.PickerAufbauen();
    QApplication::processEvents();
    std::printf("articles: %d, picker open: %lld ms\n", e.qry_artikeln->recordCount(), laden.elapsed());

    QList<double> zeiten;
    auto taste = [&](auto klick) {
        QElapsedTimer t;
        t.start();
        klick();
        QApplication::processEvents();
        e.gr_artikeln_re->viewport()->repaint();
        zeiten << t.nsecsElapsed() / 1e6;
    };
    for (int runde = 0; runde < 3; ++runde)
        for (const QString &wort : {QStringLiteral("Holz"), QStringLiteral("mühle"), QStringLiteral("Schr")}) {
            for (QChar c : wort)
                taste([&] {
                    if (c.unicode() < 128)
                        QTest::keyClick(e.ed_artikelsuche_re, c.toLatin1());
                    else
                        QTest::sendKeyEvent(QTest::Click, e.ed_artikelsuche_re, Qt::Key(c.toUpper().unicode()),
                                            QString(c), Qt::NoModifier);
                });
            for (int i = 0; i < wort.size(); ++i)
                taste([&] { QTest::keyClick(e.ed_artikelsuche_re, Qt::Key_Backspace); });
        }
    QList<double> sortiert = zeiten;
    std::sort(sortiert.begin(), sortiert.end());
    const double median = sortiert[sortiert.size() / 2];
    const double maximum = sortiert.last();
    std::printf("keystrokes: %lld, median %.2f ms, 90%% %.2f ms, max %.2f ms (goal < 30 ms): %s\n",
                static_cast<long long>(zeiten.size()), median, sortiert[sortiert.size() * 9 / 10], maximum,
                maximum < 30 ? "ok" : "TOO SLOW");
    frm_strings = nullptr;
    return maximum < 30 ? 0 : 1;
}
