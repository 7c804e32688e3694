#include "bench/data/grossedatenbank.h"
#include "data/datenbankanlage.h"
#include "platform/core/clock.h"
#include "platform/core/errors.h"
#include "platform/sql/sqlutil.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>
#include <cmath>
#include <vector>

namespace {

const char *const Vornamen[] = {"Anna", "Andreas", "Bärbel", "Christian", "Doris", "Florian", "Günther", "Helga",
                                "Jürgen", "Katharina", "Lukas", "Maria", "Norbert", "Özlem", "Peter", "Renate",
                                "Sabine", "Stefan", "Theresa", "Ulrich", "Verena", "Wolfgang"};
const char *const Nachnamen[] = {"Bauer", "Berger", "Brandstätter", "Eder", "Fuchs", "Gruber", "Höllbacher",
                                 "Huber", "Kern", "Lechner", "Maier", "Müller", "Öller", "Pichler", "Reiter",
                                 "Schmid", "Steiner", "Strobl", "Wagner", "Weiß", "Wimmer", "Zauner"};
const char *const Firmenarten[] = {"GmbH", "KG", "OG", "e.U.", "AG"};
const char *const Branchen[] = {"Bäckerei", "Gasthof", "Tischlerei", "Elektro", "Installationen", "Hotel",
                                "Architekturbüro", "Steuerberatung", "Autohaus", "Gärtnerei"};
const char *const Strassen[] = {"Hauptstraße", "Linzer Gasse", "Moosstraße", "Alpenstraße", "Bahnhofstraße",
                                "Kirchenweg", "Dorfplatz", "Gewerbestraße", "Schulstraße", "Seestraße"};
const char *const Orte[][2] = {{"5020", "Salzburg"}, {"5081", "Anif"},       {"5101", "Bergheim"},
                               {"5400", "Hallein"},  {"5061", "Elsbethen"},  {"5301", "Eugendorf"},
                               {"5330", "Fuschl am See"}, {"5600", "St. Johann im Pongau"}, {"4020", "Linz"},
                               {"1010", "Wien"}};
const char *const Dinge[] = {"Tischplatte", "Fensterbank", "Türblatt", "Regal", "Kantholz", "Leimholzplatte",
                             "Dielenboden", "Treppenstufe", "Schrank", "Notebook", "Switch", "Festplatte",
                             "Kabel", "Holzöl", "Schraube", "Beschlag", "Brennholz", "Fachbuch"};
const char *const Stoffe[] = {"Eiche", "Buche", "Fichte", "Lärche", "Zirbe", "Ahorn", "Nuss", "Birke",
                              "Edelstahl", "Kunststoff"};
const char *const Einheiten[] = {"Stk", "Std", "m", "kg", "m²", "pauschal"};

template <typename T, size_t N> const T &pick(QRandomGenerator &r, const T (&a)[N]) { return a[r.bounded(int(N))]; }

double cent(long double x) { return double(std::nearbyintl(x * 100.0L) / 100.0L); }

QString s(const char *t) { return QString::fromUtf8(t); }

QSqlQuery einfuegen(const QSqlDatabase &db, const QString &tabelle, const QStringList &spalten)
{
    QStringList p;
    for (const QString &c : spalten)
        p << QLatin1Char(':') + c;
    return prepareQuery(db, QStringLiteral("insert into %1 (%2) values (%3)")
                                .arg(tabelle, spalten.join(QStringLiteral(", ")), p.join(QStringLiteral(", "))));
}

} // namespace

BenchErgebnis GrosseDatenbankErzeugen(const QString &ordner, const BenchUmfang &u, bool ueberschreiben,
                                      const std::function<void(const QString &)> &meldung, const QDate &heuteArg)
{
    auto melde = [&](const QString &t) {
        if (meldung)
            meldung(t);
    };
    QElapsedTimer uhr;
    uhr.start();
    const QDate heute = heuteArg.isValid() ? heuteArg : Clock::today();
    const auto bericht = Datenbank::DatenbankenAnlegen(ordner, Datenbank::Inhalt::NurSchema, ueberschreiben, heute);
    if (!bericht.beibehalten.isEmpty())
        throw TvxError(QStringLiteral("In %1 liegen schon Datenbanken (ueberschreiben ist aus).").arg(ordner));
    const QString datei = QDir(ordner).filePath(Datenbank::HauptDatei);
    const QString name = QStringLiteral("tvx_bench_erzeugen");
    BenchErgebnis erg;
    {
        QSqlDatabase db = openSqlCipher(name, datei, Datenbank::Passwort);
        QRandomGenerator r(20240614);
        TransactionGuard tx(db);

        execSql(db, QStringLiteral(
            "insert into Firmenstamm (Firma, Name_FI, Anschrift_FI, Strasse_FI, PLZ_FI, Ort_FI, Fusstext1, "
            "Fusstext2, Fusstext3, Fusstext4, LogoPfad, Waehrungskuerzel, EMAIL1) values (1, 'Große Testfirma', "
            "'', 'Kirchenweg 12', '5020', 'Salzburg', 'Große Testfirma', 'Tel.', 'IBAN', 'UID', 'logo.png', "
            "'EUR', 'office@example.at')"));
        for (int g = 1; g <= 20; ++g)
            execSql(db, QStringLiteral("insert into Kundengruppen values (:g, :n)"),
                    {{"g", g}, {"n", QStringLiteral("Kundengruppe %1").arg(g)}});
        for (int g = 1; g <= 50; ++g)
            execSql(db, QStringLiteral("insert into Artikelgruppen values (:g, :n)"),
                    {{"g", g}, {"n", g == 1 ? QStringLiteral("Allgemein") : QStringLiteral("Artikelgruppe %1").arg(g)}});

        // customers
        std::vector<int> kundeMwst(size_t(u.kunden) + 1, 1);
        std::vector<int> kundeNetto(size_t(u.kunden) + 1, 0);
        {
            QSqlQuery q = einfuegen(db, QStringLiteral("Kundenstamm"),
                {"Firma", "Kunde", "Kundengruppe", "Name_KU", "Zusatzname_KU", "Strasse_Hnr", "PLZ", "Ort", "Land",
                 "Suchbegriff", "Markierung", "TelefonPrivat", "EMail1", "MWST", "InnerGemLieferung", "Skontotage",
                 "Skontoprozent", "Nettotage", "Rabatt", "Preisliste", "Zahlschein", "Skonto", "Mahnung",
                 "Uebersetzung", "Bruttobetraganzeigen", "Sichtbar", "Anlagedatum"});
            for (int k = 0; k <= u.kunden; ++k) {
                QString n;
                if (k == 0)
                    n = QStringLiteral("Barverkauf / Einmalkunde");
                else if (r.bounded(3) == 0)
                    n = s(pick(r, Branchen)) + QLatin1Char(' ') + s(pick(r, Nachnamen)) + QLatin1Char(' ')
                        + s(pick(r, Firmenarten));
                else
                    n = s(pick(r, Vornamen)) + QLatin1Char(' ') + s(pick(r, Nachnamen));
                const auto &ort = pick(r, Orte);
                const int mwst = k > 0 && r.bounded(40) == 0 ? 0 : 1;
                const int netto = k == 0 ? 0 : (r.bounded(2) ? 14 : 30);
                kundeMwst[size_t(k)] = mwst;
                kundeNetto[size_t(k)] = netto;
                const QVariantList v{1, k, 1 + r.bounded(20), n.left(60), QString(),
                                     QStringLiteral("%1 %2").arg(s(pick(r, Strassen))).arg(1 + r.bounded(150)),
                                     s(ort[0]), s(ort[1]), QStringLiteral("Austria"), n.left(20), 0,
                                     QStringLiteral("0662 %1").arg(100000 + r.bounded(900000)),
                                     QStringLiteral("kunde%1@example.at").arg(k), mwst, 0, 0, 0.0, netto, 0.0, 1,
                                     0, 1, 1, 0, 0, 1, QDateTime(heute.addDays(-1200), QTime(9, 0))};
                for (int i = 0; i < v.size(); ++i)
                    q.bindValue(i, v[i]);
                execQuery(q);
            }
        }
        melde(QStringLiteral("%1 Kunden (%2 s)").arg(u.kunden).arg(uhr.elapsed() / 1000.0, 0, 'f', 1));

        // articles, with the new-row defaults of the article window
        std::vector<int> artikelMwst(size_t(u.artikel));
        std::vector<double> artikelPreis(size_t(u.artikel));
        std::vector<QString> artikelName(size_t(u.artikel));
        {
            QStringList spalten{"Artikel", "Name_AR", "Beschreibung_AR", "Einheit", "Artikelgruppe", "Suchbegriff",
                                "Markierung", "Preis1", "Preis2", "Preis3", "Preis4", "Preis5", "Preis6",
                                "Einkaufspreis", "MWST", "Skontofaehig", "Rabattfaehig", "NichtSteuerpflichtig",
                                "BildAufRechnung", "Sichtbar", "Anlagedatum", "Lagerfuehrung", "Lagerbestand",
                                "Mindestbestand", "Seriennummer", "HatSeriennummern", "Lieferant1", "Lieferant2",
                                "ErloesKontoInland", "ErloesKontoAusland", "ErloesKontoEU", "UmrechnungAEHinWEH",
                                "PLU", "PreisAenderbar", "AnzahlTickets", "ID_GS", "IstKuechenArtikel",
                                "IstSchankArtikel", "Aktiv", "ButtonFarbe"};
            for (int i = 1; i <= 30; ++i)
                spalten << QStringLiteral("Lager%1").arg(i);
            QSqlQuery q = einfuegen(db, QStringLiteral("Artikelstamm"), spalten);
            for (int a = 0; a < u.artikel; ++a) {
                const QString nr = QStringLiteral("A%1").arg(a + 1, 6, 10, QLatin1Char('0'));
                const QString n = QStringLiteral("%1 %2 %3").arg(s(pick(r, Dinge)), s(pick(r, Stoffe))).arg(a + 1);
                const int x = r.bounded(100);
                const int mwst = x < 70 ? 1 : x < 85 ? 2 : x < 95 ? 3 : 4;
                const double preis = cent((50 + r.bounded(50000)) / 100.0L);
                artikelMwst[size_t(a)] = mwst;
                artikelPreis[size_t(a)] = preis;
                artikelName[size_t(a)] = n;
                QVariantList v{nr, n, QString(), s(pick(r, Einheiten)), 1 + r.bounded(50), n.left(20), 0, preis,
                               cent(preis * 0.95L), cent(preis * 0.9L), 0.0, 0.0, 0.0, cent(preis * 0.6L), mwst, 1,
                               1, 0, 0, 1, QDateTime(heute.addDays(-1200), QTime(8, 30)), 1,
                               double(r.bounded(500)), 1.0, QStringLiteral("0"), 0, 0, 0, QStringLiteral("4000"),
                               QStringLiteral("4100"), QStringLiteral("4110"), 1.0, 0, 1, 0, -1, 0, 0, 1, 12632256};
                for (int i = 0; i < 30; ++i)
                    v << 0.0;
                for (int i = 0; i < v.size(); ++i)
                    q.bindValue(i, v[i]);
                execQuery(q);
            }
        }
        melde(QStringLiteral("%1 Artikel (%2 s)").arg(u.artikel).arg(uhr.elapsed() / 1000.0, 0, 'f', 1));

        // invoices: positions spread evenly, dated over three years up to today
        {
            const QStringList spalten{
                "ID_Artikelpositionen", "Firma", "Periode_ls", "Periode_re", "Periode_au", "Periode_bv",
                "Lieferschein_nr", "Rechnung_nr", "Auftrag_nr", "Barverkauf_nr", "Position_X", "Lieferdatum", "Kunde",
                "Artikel", "Menge", "Preis", "Rabatt", "Einkaufspreis", "Text", "Benutzer", "Benutzerdatum",
                "Aktionen", "Erfassungzeit", "Status", "Identifikation", "ZahlungsStatus", "Rechnungsdatum",
                "Auftragsdatum", "Valutadatum", "ZahlungBis", "Hinweis", "Rechnungsbetrag", "Leistungszeitraum",
                "ArtikelName", "Kopftext", "Fusstext", "BenutzerSession", "Info", "MWSTABetrag_O", "MWSTBBetrag_O",
                "MWSTCBetrag_O", "MWSTDBetrag_O"};
            QSqlQuery q = einfuegen(db, QStringLiteral("Artikelpositionen"), spalten);
            const double satz[5] = {0, 20, 10, 13, 0};
            const QDateTime null(QDate(1899, 12, 30), QTime(0, 0));
            const QString kopf = QStringLiteral("Herzlichen Dank für ihr Vertrauen in unsere Dienstleistungen.\r\n");
            const QString fuss = QStringLiteral("Bitte den Betrag innerhalb von 14 Tagen überweisen\r\n");
            int id = 0;
            struct Zeile {
                int artikel;
                double menge, preis, rabatt;
            };
            std::vector<Zeile> zeilen;
            for (int nr = 1; nr <= u.rechnungen; ++nr) {
                const int bis = int((qint64(u.positionen) * nr) / u.rechnungen);
                const int anzahl = bis - id;
                const int kunde = r.bounded(u.kunden + 1);
                const QDate datum = heute.addDays(-int((qint64(u.rechnungen - nr) * 1095) / u.rechnungen));
                const QDateTime tag(datum, QTime(0, 0));
                zeilen.clear();
                double netto[5] = {0, 0, 0, 0, 0};
                for (int i = 0; i < anzahl; ++i) {
                    const int a = r.bounded(u.artikel);
                    const Zeile z{a, double(1 + r.bounded(20)), artikelPreis[size_t(a)],
                                  r.bounded(8) == 0 ? 10.0 : 0.0};
                    netto[artikelMwst[size_t(a)]] += cent((100 - z.rabatt) * (z.preis * z.menge) / 100);
                    zeilen.push_back(z);
                }
                double vat[5] = {0, 0, 0, 0, 0}, total = 0;
                for (int c = 1; c <= 4; ++c) {
                    if (kundeMwst[size_t(kunde)] == 1)
                        vat[c] = cent(netto[c] * (satz[c] / 100));
                    total += netto[c];
                    total += vat[c];
                }
                total = cent(total);
                const QVariant zahlungBis = kundeNetto[size_t(kunde)]
                                                ? QVariant(tag.addDays(kundeNetto[size_t(kunde)]))
                                                : QVariant(QMetaType(QMetaType::QDateTime));
                for (int i = 0; i < anzahl; ++i) {
                    const Zeile &z = zeilen[size_t(i)];
                    const QDateTime erfasst = tag.addSecs(36000 + i);
                    const QVariantList v{++id, 1, 0, 20120101, 0, 0, 0, nr, 0, 0, i + 1, tag, kunde,
                                         QStringLiteral("A%1").arg(z.artikel + 1, 6, 10, QLatin1Char('0')), z.menge,
                                         z.preis, z.rabatt, cent(z.preis * 0.6L), QString(), QString(), erfasst,
                                         QString(), erfasst, 50, QStringLiteral("RECHNUNG"),
                                         QStringLiteral("Keine Zahlung"), tag, null, tag, zahlungBis, QString(),
                                         total, QString(), artikelName[size_t(z.artikel)], kopf, fuss, QString(),
                                         QString(), vat[1], vat[2], vat[3], vat[4]};
                    for (int k = 0; k < v.size(); ++k)
                        q.bindValue(k, v[k]);
                    execQuery(q);
                }
                if (nr % 10000 == 0)
                    melde(QStringLiteral("%1 Rechnungen, %2 Positionen (%3 s)")
                              .arg(nr)
                              .arg(id)
                              .arg(uhr.elapsed() / 1000.0, 0, 'f', 1));
            }
        }
        tx.commit();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    erg.sekunden = uhr.elapsed() / 1000.0;
    erg.bytes = QFileInfo(datei).size();
    return erg;
}
