// Benchmark of the data module on the large database: key allocation, the four
// loaders, opening the connections, and opening and sorting a 50 000-row dataset.
//
//   bench_data [--ordner <Ordner>] [--cache]
// --cache: a 64 MiB page cache instead of SQLite's default, for comparison.
// Without --ordner the database is generated into a temporary folder. With it,
// an existing database there is reused (generated first when missing).
#include "bench/data/grossedatenbank.h"
#include "data/datenbankanlage.h"
#include "data/u_dm_datenbank.h"
#include "platform/core/errors.h"
#include "platform/dataset/dataset.h"
#include "platform/sql/sqlutil.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocale>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <vector>

namespace {

QTextStream out(stdout);

// Runs f n times; prints mean, median and maximum per call.
template <typename F> void messe(const char *was, int n, F f)
{
    std::vector<qint64> ns;
    ns.reserve(size_t(n));
    for (int i = 0; i < n; ++i) {
        QElapsedTimer t;
        t.start();
        f(i);
        ns.push_back(t.nsecsElapsed());
    }
    std::sort(ns.begin(), ns.end());
    double sum = 0;
    for (qint64 v : ns)
        sum += double(v);
    out << QStringLiteral("%1 %2 µs Mittel  %3 µs Median  %4 µs max  (%5 Aufrufe)")
               .arg(QString::fromUtf8(was), -34)
               .arg(sum / n / 1000.0, 8, 'f', 1)
               .arg(double(ns[ns.size() / 2]) / 1000.0, 8, 'f', 1)
               .arg(double(ns.back()) / 1000.0, 8, 'f', 1)
               .arg(n)
        << Qt::endl;
}

qint64 execCount(const QSqlDatabase &db, const char *tabelle)
{
    QSqlQuery q(db);
    execQuery(q, QStringLiteral("select count(*) from ") + QLatin1String(tabelle));
    return q.next() ? q.value(0).toLongLong() : -1;
}

void einmal(const char *was, const std::function<void()> &f)
{
    QElapsedTimer t;
    t.start();
    f();
    out << QStringLiteral("%1 %2 ms").arg(QString::fromUtf8(was), -34).arg(t.nsecsElapsed() / 1e6, 8, 'f', 1)
        << Qt::endl;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QString ordner;
    const QStringList a = app.arguments();
    const int i = int(a.indexOf(QStringLiteral("--ordner")));
    if (i > 0 && i + 1 < a.size())
        ordner = a[i + 1];
    QTemporaryDir temp;
    if (ordner.isEmpty())
        ordner = temp.path();
    try {
        const BenchUmfang u;
        if (!QFileInfo::exists(QDir(ordner).filePath(Datenbank::HauptDatei))) {
            QDir().mkpath(ordner);
            out << "Erzeuge die große Datenbank in " << ordner << " ..." << Qt::endl;
            const BenchErgebnis e = GrosseDatenbankErzeugen(ordner, u, false,
                                                            [](const QString &t) { out << "  " << t << Qt::endl; });
            out << QStringLiteral("Erzeugung: %1 s, %2 MiB").arg(e.sekunden, 0, 'f', 1).arg(e.bytes >> 20)
                << Qt::endl;
        }

        Tdm_datenbank dm;
        einmal("Verbindungen öffnen (beide)", [&] { dm.VerbindungenOeffnen(ordner); });
        const QSqlDatabase db = dm.Datenbank_Verbindung.db();
        if (a.contains(QStringLiteral("--cache"))) { // what a larger page cache would bring
            QSqlQuery c(db);
            execQuery(c, QStringLiteral("PRAGMA cache_size = -65536"));
            out << "Seitencache 64 MiB" << Qt::endl;
        }
        out << "Positionen: " << execCount(db, "Artikelpositionen") << ", Artikel: "
            << execCount(db, "Artikelstamm") << ", Kunden: " << execCount(db, "Kundenstamm") << Qt::endl;
        execSql(dm.Datenbank_Verbindung_Lokal.db(), QStringLiteral("delete from Artikelpositionen"));
        for (int k = 1; k <= 5; ++k) // a few capture rows in the local table
            execSql(dm.Datenbank_Verbindung_Lokal.db(), QStringLiteral("insert into Artikelpositionen "
                    "(ID_Artikelposition, Menge) values (:i, 1)"), {{"i", k}});

        QRandomGenerator r(7);
        auto artikelNr = [&](int) { return QStringLiteral("A%1").arg(1 + r.bounded(u.artikel), 6, 10, QLatin1Char('0')); };
        const int n = 2000;
        messe("NeueIdPositionen (1 Mio. Zeilen)", n, [](int) { NeueIdPositionen(); });
        messe("NeueIdVorschau", n, [](int) { NeueIdVorschau(); });
        messe("NeueIdLokal", n, [](int) { NeueIdLokal(); });
        TArtikelDaten art;
        messe("LadeArtikel (vorhanden)", n, [&](int k) { LadeArtikel(artikelNr(k), art); });
        messe("LadeArtikel (fehlt)", n, [&](int) { LadeArtikel(QStringLiteral("X-FEHLT"), art); });
        TPreisDaten preise;
        messe("LadePreise", n, [&](int k) { LadePreise(artikelNr(k), preise); });
        TKundenDaten kunde;
        messe("LadeKunde", n, [&](int) { LadeKunde(QStringLiteral("1"), QString::number(1 + r.bounded(u.kunden)), kunde); });
        TFirmenDaten firma;
        messe("LadeFirma", n, [&](int) { LadeFirma(1, firma); });

        // the article picker's statement over 50 000 articles, sorted on the client
        const QString picker = QStringLiteral("select * from Artikelstamm where Artikelgruppe between 0 and 32767 "
                                              "and Sichtbar = 1 order by Name_AR");
        for (int lauf = 0; lauf < 2; ++lauf) {
            Dataset ds(db);
            ds.setSql(picker);
            einmal("Dataset öffnen (50 000 Artikel)", [&] { ds.open(); });
            out << "  Zeilen: " << ds.recordCount() << Qt::endl;
            einmal("  sortieren Name_AR  ASC", [&] { ds.setSort(QStringLiteral("Name_AR  ASC")); });
            einmal("  sortieren Name_AR DESC", [&] { ds.setSort(QStringLiteral("Name_AR DESC")); });
            einmal("  sortieren Preis1  ASC", [&] { ds.setSort(QStringLiteral("Preis1  ASC")); });
            einmal("  sortieren Artikel DESC", [&] { ds.setSort(QStringLiteral("Artikel DESC")); });
        }
        einmal("QSqlQuery ORDER BY Name_AR, alle Zeilen lesen", [&] {
            QSqlQuery q(db);
            q.setForwardOnly(true);
            execQuery(q, picker);
            int k = 0;
            while (q.next())
                ++k;
        });
        return 0;
    } catch (const TvxError &e) {
        out << "Fehler: " << e.text() << Qt::endl;
        return 1;
    }
}
