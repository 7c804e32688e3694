// Opens a 50 000-row article table through Dataset and times sort, filter and
// locate on the cached rows. Prints milliseconds.
#include "platform/dataset/dataset.h"
#include "platform/sql/sqlutil.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLocale>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <cstdio>

namespace {

const char *const kWords[] = {"Schraube", "Mutter", "Übergangsstück", "Ölfilter", "Zahnrad", "Äquator", "Dichtung",
                              "Müllbeutel", "Kabel", "Rohr", "Flansch", "Öse", "Winkel", "Lager", "Buchse",
                              "Stecker", "Größe", "Ventil", "Feder", "Zündkerze", "Bürste", "Schlauch", "Kupplung"};
const char *const kAttrs[] = {"verzinkt", "Edelstahl", "groß", "klein", "rot", "blau", "weiß", "schwarz",
                              "DIN 933", "M8", "M10", "3/4\"", "Messing", "Kunststoff"};

double ms(QElapsedTimer &t) { return double(t.nsecsElapsed()) / 1e6; }

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const int rows = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 50000;
    QTemporaryDir dir;
    QSqlDatabase db = openSqlCipher(QStringLiteral("bench"), dir.filePath(QStringLiteral("TORVANEXDB.mdb")),
                                    QStringLiteral("geheim"), true);
    execSql(db, QStringLiteral("CREATE TABLE Artikelstamm (Artikel TEXT(15) COLLATE NOCASE, Name_AR TEXT(50) COLLATE NOCASE, "
                               "Einheit TEXT(10), Artikelgruppe INTEGER, Suchbegriff TEXT COLLATE NOCASE, Preis1 DOUBLE, "
                               "Preis2 DOUBLE, Einkaufspreis DOUBLE, Sichtbar INTEGER, Anlagedatum DATETIME, Beschreibung_AR MEMO)"));
    QElapsedTimer t;
    t.start();
    {
        TransactionGuard tx(db);
        QSqlQuery ins = prepareQuery(db, QStringLiteral("INSERT INTO Artikelstamm VALUES (?,?,?,?,?,?,?,?,?,?,?)"));
        auto *rnd = QRandomGenerator::global();
        for (int i = 0; i < rows; ++i) {
            const QString name = QString::fromUtf8(kWords[rnd->bounded(int(std::size(kWords)))]) + QLatin1Char(' ')
                + QString::fromUtf8(kAttrs[rnd->bounded(int(std::size(kAttrs)))]) + QLatin1Char(' ')
                + QString::number(rnd->bounded(1000));
            ins.addBindValue(QStringLiteral("A%1").arg(i, 6, 10, QLatin1Char('0')));
            ins.addBindValue(name);
            ins.addBindValue(QStringLiteral("Stk"));
            ins.addBindValue(rnd->bounded(1, 40));
            ins.addBindValue(name.left(20));
            ins.addBindValue(rnd->bounded(100000) / 100.0);
            ins.addBindValue(rnd->bounded(100000) / 100.0);
            ins.addBindValue(rnd->bounded(50000) / 100.0);
            ins.addBindValue(1);
            ins.addBindValue(QDateTime(QDate(2020, 1, 1).addDays(rnd->bounded(1500)), QTime(12, 0)));
            ins.addBindValue(QStringLiteral("{\\rtf1 Beschreibung %1}").arg(i));
            execQuery(ins);
        }
        tx.commit();
    }
    std::printf("generate %d rows: %.1f ms\n", rows, ms(t));

    // the driver alone, for comparison: the same statement read cell by cell
    {
        t.restart();
        QSqlQuery q(db);
        q.setForwardOnly(true);
        execQuery(q, QStringLiteral("select * from Artikelstamm order by Name_AR"));
        int n = 0;
        const int cols = q.record().count();
        while (q.next()) {
            for (int c = 0; c < cols; ++c)
                q.value(c);
            ++n;
        }
        std::printf("driver only, %d rows read: %.1f ms\n", n, ms(t));
    }

    Dataset ds(db);
    ds.setSql(QStringLiteral("select * from Artikelstamm where Artikelgruppe between :pvon and :pbis and Sichtbar = 1 "
                             "order by Name_AR"));
    ds.setParam(QStringLiteral("pvon"), 0);
    ds.setParam(QStringLiteral("pbis"), 32767);
    t.restart();
    ds.open();
    std::printf("open (%d rows cached): %.1f ms\n", ds.recordCount(), ms(t));

    ds.setRecNo(ds.recordCount() / 2);
    const QString keep = ds.asString(QStringLiteral("Artikel"));
    struct Step { const char *what; const char *sort; };
    const Step steps[] = {
        {"sort text Suchbegriff ASC (first: builds collation keys)", "Suchbegriff  ASC"},
        {"sort text Suchbegriff DESC (keys cached)", "Suchbegriff DESC"},
        {"sort number Preis1 ASC", "Preis1  ASC"},
        {"sort number Preis1 DESC", "Preis1 DESC"},
        {"sort date Anlagedatum DESC", "Anlagedatum DESC"},
        {"sort two fields Artikelgruppe, Preis1 DESC", "Artikelgruppe, Preis1 DESC"},
        {"sort text Name_AR ASC (first)", "Name_AR  ASC"},
    };
    for (const Step &s : steps) {
        t.restart();
        ds.setSort(QString::fromLatin1(s.sort));
        std::printf("%s: %.1f ms\n", s.what, ms(t));
    }
    if (ds.asString(QStringLiteral("Artikel")) != keep)
        std::printf("ERROR: current row changed by sorting\n");

    t.restart();
    ds.setFilter(QStringLiteral("(Artikelgruppe = 3) and (Suchbegriff like 'mü%') and (Sichtbar=1)"));
    ds.setFiltered(true);
    std::printf("filter (%d rows pass): %.1f ms\n", ds.recordCount(), ms(t));
    t.restart();
    ds.setFiltered(false);
    std::printf("filter off: %.1f ms\n", ms(t));
    t.restart();
    const bool found = ds.locate(QStringLiteral("Artikel"), QStringLiteral("A%1").arg(rows - 7, 6, 10, QLatin1Char('0')));
    std::printf("locate (%s): %.1f ms\n", found ? "found" : "missing", ms(t));
    t.restart();
    ds.close();
    std::printf("close: %.1f ms\n", ms(t));
    return 0;
}
