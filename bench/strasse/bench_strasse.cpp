// The road of an invoice on the large database (1 000 000 positions), each step
// beside the same SQL run bare through the driver:
//  (a) issuing a 100-position capture ("Drucken" without the print job): the
//      number, per row the article check, the key query and the insert, in one
//      BEGIN IMMEDIATE transaction; bare: the same statements, each prepared once;
//  (b) opening the overview (both choices of "Rechnungen anzeigen") and showing
//      it in the grid; bare: the overview query read to the last value.
// Prints the medians and the ratio program / bare. Goals: issuing within 2x,
// the overview within 1.5x.
//
//   bench_strasse [--ordner <Ordner>] [--runden N] [--teil a|b]
// The database of --ordner (generated there when missing) is copied into a
// temporary folder first, so the runs do not grow it. For looking closer:
//   TVX_ZERLEGEN=1     the save taken apart (checks, number, rows, end, commit)
//   TVX_PLAN=1         the overview query's plan
//   TVX_EXPERIMENT=... statements run on the copy before the overview, e.g.
//                      "CREATE INDEX x ON Artikelpositionen (Firma, Rechnungsdatum)"

#include "app/core/u_global.h"
#include "app/core/u_strings.h"
#include "bench/data/grossedatenbank.h"
#include "capture/u_ausstellen.h"
#include "capture/u_erfassung.h"
#include "capture/u_rechnungsnummer.h"
#include "data/datenbankanlage.h"
#include "data/u_dm_datenbank.h"
#include "output/u_uebersicht.h"
#include "platform/core/clock.h"
#include "platform/core/dialogs.h"
#include "platform/core/radiogroup.h"
#include "platform/dataset/dataset.h"
#include "platform/sql/sqlutil.h"

#include <QApplication>
#include <QDateEdit>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

double ms(const std::function<void()> &f)
{
    QElapsedTimer t;
    t.start();
    f();
    return t.nsecsElapsed() / 1e6;
}

void zeile(const char *was, double programm, double bar, double ziel)
{
    const double v = bar > 0 ? programm / bar : 0;
    std::printf("%-44s program %8.1f ms   bare %8.1f ms   ratio %.2f (goal <= %.1f)%s\n", was, programm, bar, v, ziel,
                v <= ziel ? "" : "  MISSED");
}

// 100 capture rows of articles spread over the article table, customer 1.
void erfassen(TErfassung &e, int anzahl, int runde)
{
    e.ed_kunde_re->setText(QStringLiteral("1"));
    e.btn_kopfok_stammkunde_reClick();
    Dataset &t = *e.tbl_rechnungerfassen;
    for (int i = 0; i < anzahl; ++i) {
        if (i > 0)
            t.append();
        else
            t.edit();
        t.setValue(QStringLiteral("Artikel"), QStringLiteral("A%1").arg(1 + (runde * 7919 + i * 397) % 50000, 6, 10, QLatin1Char('0')));
        t.setValue(QStringLiteral("Menge"), 1.0 + i % 4);
        t.setValue(QStringLiteral("Preis"), 10.0 + i);
        t.setValue(QStringLiteral("Text"), QStringLiteral("Position %1").arg(i + 1));
        t.post();
    }
}

// The columns a saved row receives (new-row defaults and the save's fields).
QStringList zeilenSpalten()
{
    QStringList c{QStringLiteral("ID_Artikelpositionen"), QStringLiteral("Firma"), QStringLiteral("Periode_ls"),
                  QStringLiteral("Periode_re"), QStringLiteral("Periode_au"), QStringLiteral("Periode_bv"),
                  QStringLiteral("Lieferschein_nr"), QStringLiteral("Auftrag_nr"), QStringLiteral("Barverkauf_nr"),
                  QStringLiteral("Rechnung_nr"), QStringLiteral("Position_X"), QStringLiteral("Kunde"),
                  QStringLiteral("Status"), QStringLiteral("Periode_au_merken"), QStringLiteral("Auftrag_nr_merken"),
                  QStringLiteral("Rechnungsdatum"), QStringLiteral("Valutadatum"), QStringLiteral("Auftragsdatum"),
                  QStringLiteral("Lieferdatum"), QStringLiteral("Benutzerdatum"), QStringLiteral("Erfassungzeit"),
                  QStringLiteral("Artikel"), QStringLiteral("Text"), QStringLiteral("Name_EKU"),
                  QStringLiteral("Strasse_Hnr_EKU"), QStringLiteral("PLZ_EKU"), QStringLiteral("Ort_EKU"),
                  QStringLiteral("Lieferadresse_EKU"), QStringLiteral("Benutzer"), QStringLiteral("Aktionen"),
                  QStringLiteral("Identifikation"), QStringLiteral("Hinweis"), QStringLiteral("Leistungszeitraum"),
                  QStringLiteral("Benutzersession"), QStringLiteral("Info"), QStringLiteral("Menge"),
                  QStringLiteral("Preis"), QStringLiteral("Rabatt"), QStringLiteral("Einkaufspreis"),
                  QStringLiteral("Rechnungsbetrag"), QStringLiteral("BereitsGeliefert"),
                  QStringLiteral("BereitsVerrechnet"), QStringLiteral("LS_RE_TeilMenge"), QStringLiteral("ArtikelName"),
                  QStringLiteral("Zusatztext1"), QStringLiteral("Kopftext"), QStringLiteral("Fusstext"),
                  QStringLiteral("ZahlungsStatus")};
    for (int i = 1; i <= 30; ++i)
        c << QStringLiteral("Menge%1").arg(i);
    return c;
}

// The same save written bare: one transaction, the number, per capture row
// the article check, the key query and the insert; statements prepared once.
void barSpeichern(TErfassung &e, int periode)
{
    QSqlDatabase db = dm_datenbank->Datenbank_Verbindung.db();
    Dataset &t = *e.tbl_rechnungerfassen;
    const QStringList spalten = zeilenSpalten();
    TransactionGuard transaktion(db);
    QSqlQuery nummerQ = prepareQuery(db, QStringLiteral("select Max(Rechnung_nr) as LetzteRENummer from "
                                                        "Artikelpositionen where Firma =:pfirma and Periode_re =:pperiode"));
    nummerQ.bindValue(QStringLiteral(":pfirma"), 1);
    nummerQ.bindValue(QStringLiteral(":pperiode"), periode);
    execQuery(nummerQ);
    const int nummer = nummerQ.next() ? nummerQ.value(0).toInt() + 1 : -1;
    nummerQ.finish();
    QSqlQuery artikelQ = prepareQuery(db, QStringLiteral("select * from Artikelstamm where Artikel =:partikel"));
    QSqlQuery idQ = prepareQuery(db, QStringLiteral("SELECT MAX(ID_Artikelpositionen) AS MaxNummer FROM Artikelpositionen"));
    QStringList marken;
    for (int i = 0; i < spalten.size(); ++i)
        marken << QStringLiteral("?");
    QSqlQuery ins = prepareQuery(db, QStringLiteral("INSERT INTO Artikelpositionen (%1) VALUES (%2)")
                                         .arg(spalten.join(QStringLiteral(", ")), marken.join(QStringLiteral(", "))));
    const int cArtikel = t.fieldIndex(QStringLiteral("Artikel")), cMenge = t.fieldIndex(QStringLiteral("Menge")),
              cPreis = t.fieldIndex(QStringLiteral("Preis")), cRabatt = t.fieldIndex(QStringLiteral("Rabatt")),
              cEk = t.fieldIndex(QStringLiteral("Einkaufspreis")), cText = t.fieldIndex(QStringLiteral("Text")),
              cName = t.fieldIndex(QStringLiteral("ArtikelName")), cZusatz = t.fieldIndex(QStringLiteral("Zusatztext1")),
              cInfo = t.fieldIndex(QStringLiteral("Info"));
    const QDateTime tag(e.ed_datum_re->date(), QTime(0, 0));
    const QDateTime null(QDate(1899, 12, 30), QTime(0, 0));
    for (int z = 0; z < t.recordCount(); ++z) {
        const QString artikel = t.valueAt(z, cArtikel).toString();
        if (artikel.trimmed().isEmpty())
            continue;
        artikelQ.bindValue(QStringLiteral(":partikel"), artikel);
        execQuery(artikelQ);
        if (!artikelQ.next())
            throw TvxError(QStringLiteral("Artikel fehlt: ") + artikel);
        artikelQ.finish();
        execQuery(idQ);
        const int id = idQ.next() ? idQ.value(0).toInt() + 1 : 1;
        idQ.finish();
        const QVariantList werte{id, 1, 0, periode, 0, 0, 0, 0, 0, nummer, z + 1, e.ed_kunde_re->text().toInt(), 50, 0, 0,
                                 tag, tag, null, tag, Clock::now(), Clock::now(),
                                 artikel, t.valueAt(z, cText), QString(), QString(), QString(), QString(), QString(),
                                 QString(), QString(), QStringLiteral("RECHNUNG"), QString(), QString(), QString(),
                                 t.valueAt(z, cInfo), t.valueAt(z, cMenge), t.valueAt(z, cPreis), t.valueAt(z, cRabatt),
                                 t.valueAt(z, cEk), 0.0, 0.0, 0.0, 0.0, t.valueAt(z, cName), t.valueAt(z, cZusatz),
                                 QString(), QString(), QStringLiteral("Keine Zahlung")};
        for (int i = 0; i < werte.size(); ++i)
            ins.bindValue(i, werte[i]);
        for (int i = werte.size(); i < spalten.size(); ++i)
            ins.bindValue(i, 0.0);
        execQuery(ins);
    }
    transaktion.commit();
}

// The overview query read bare to the last value.
int barUebersicht(const QDate &datum)
{
    QSqlQuery q = prepareQuery(dm_datenbank->Datenbank_Verbindung.db(), QString::fromLatin1(SQL_qry_rechnungen_uebersicht));
    q.setForwardOnly(true);
    q.bindValue(QStringLiteral(":pfirma"), 1);
    q.bindValue(QStringLiteral(":pdatum"), datum);
    execQuery(q);
    int n = 0;
    const int spalten = q.record().count();
    while (q.next()) {
        for (int i = 0; i < spalten; ++i)
            q.value(i);
        ++n;
    }
    q.finish();
    return n;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QString quelle;
    int runden = 7;
    QString teil = QStringLiteral("ab"); // --teil a: issuing only, b: overview only
    const QStringList a = app.arguments();
    for (int i = 1; i + 1 < a.size(); ++i) {
        if (a[i] == QLatin1String("--ordner"))
            quelle = a[i + 1];
        else if (a[i] == QLatin1String("--teil"))
            teil = a[i + 1];
        else if (a[i] == QLatin1String("--runden"))
            runden = qMax(1, a[i + 1].toInt());
    }
    QTemporaryDir erzeugt, arbeit;
    if (quelle.isEmpty())
        quelle = erzeugt.path();
    try {
        if (!QFile::exists(QDir(quelle).filePath(Datenbank::HauptDatei))) {
            QDir().mkpath(quelle);
            std::printf("generating the large database in %s ...\n", qPrintable(quelle));
            std::fflush(stdout);
            GrosseDatenbankErzeugen(quelle);
        }
        for (const QString &f : {Datenbank::HauptDatei, Datenbank::LokalDatei})
            if (!QFile::copy(QDir(quelle).filePath(f), arbeit.filePath(f)))
                throw TvxError(QStringLiteral("cannot copy ") + f);

        Tfrm_strings strings;
        frm_strings = &strings;
        setProgrammordner(arbeit.path());
        Einstellung::setSource(nullptr);
        AktuelleFirma = 1;
        ScopedScriptedDialogs dialoge;
        Tdm_datenbank dm;
        dm.VerbindungenOeffnen(arbeit.path());
        QSqlDatabase db = dm.Datenbank_Verbindung.db();
        {
            QSqlQuery q(db);
            execQuery(q, QStringLiteral("select count(*), count(distinct Rechnung_nr) from Artikelpositionen"));
            q.next();
            std::printf("database: %d positions, %d invoices; %d rounds, medians\n", q.value(0).toInt(),
                        q.value(1).toInt(), runden);
        }

        // (a) issuing: the program's save and the bare one alternate on equal captures
        QWidget seite;
        auto *e = new TErfassung(&seite);
        const int periode = e->ed_periode_re->text().toInt();
        TAusstellung ohneDruck;
        ohneDruck.rechnungAusgeben = [](int, int, int, bool) { return TAusgabeFolge{true, {}}; };
        std::vector<double> programm, bar;
        for (int r = 0; teil.contains(QLatin1Char('a')) && r < runden; ++r) {
            erfassen(*e, 100, 2 * r);
            const int vorher = RechnungsnummerErmitteln(1, periode);
            programm.push_back(ms([&] { btn_rechnungdruckenClick(*e, e->btn_rechnungdrucken, ohneDruck); }));
            if (!dialoge.texts().isEmpty() || RechnungsnummerErmitteln(1, periode) != vorher + 1)
                throw TvxError(QStringLiteral("save failed: ") + dialoge.texts().join(QStringLiteral(" | ")));
            erfassen(*e, 100, 2 * r + 1);
            bar.push_back(ms([&] { barSpeichern(*e, periode); }));
            e->ErfassungBeenden();
            e->KopfFreigeben();
        }
        if (teil.contains(QLatin1Char('a')))
            zeile("issue 100 positions (no print job)", median(programm), median(bar), 2.0);
        if (qEnvironmentVariableIsSet("TVX_ZERLEGEN")) {
            for (int r = 0; r < 3; ++r) {
                erfassen(*e, 100, 100 + r);
                int per = 0;
                const double t1 = ms([&] { ErfassungPruefen(*e, kAusstellenTexte, per); });
                TransactionGuard g(db);
                const double t2 = ms([&] { RechnungsnummerErmitteln(1, per); });
                const double t3 = ms([&] { PositionenUebertragen(*e, TPositionsziel::Rechnung, per, 999999); });
                const double t4 = ms([&] { e->ErfassungBeenden(); e->KopfFreigeben(); });
                const double t5 = ms([&] { g.commit(); });
                TArtikelDaten art;
                const double t6 = ms([&] { for (int i = 0; i < 100; ++i) LadeArtikel(QStringLiteral("A000123"), art); });
                const double t7 = ms([&] { for (int i = 0; i < 100; ++i) NeueIdPositionen(); });
                const double t8 = ms([&] { for (int i = 0; i < 100; ++i) e->pb_re->setValue(i); });
                std::printf("  100x LadeArtikel %.1f  100x NeueId %.1f  100x progress %.1f\n", t6, t7, t8);
                std::printf("  checks %.1f  number %.1f  rows %.1f  end %.1f  commit %.1f ms\n", t1, t2, t3, t4, t5);
            }
        }

        // (b) the overview, shown in its grid
        QWidget tab;
        tab.resize(1100, 750);
        auto *u = new TUebersicht(&tab);
        tab.show();
        app.processEvents();
        if (qEnvironmentVariableIsSet("TVX_EXPERIMENT")) {
            QSqlQuery x(db);
            for (const QString &st : qEnvironmentVariable("TVX_EXPERIMENT").split(QLatin1Char(';')))
                execQuery(x, st);
        }
        if (qEnvironmentVariableIsSet("TVX_PLAN")) {
            QSqlQuery q = prepareQuery(db, QStringLiteral("explain query plan ") + QString::fromLatin1(SQL_qry_rechnungen_uebersicht));
            q.bindValue(QStringLiteral(":pfirma"), 1);
            q.bindValue(QStringLiteral(":pdatum"), QDate(1899, 12, 30));
            execQuery(q);
            while (q.next())
                std::printf("plan: %s\n", qPrintable(q.value(3).toString()));
        }
        for (int auswahl : {1, 0}) {
            if (!teil.contains(QLatin1Char('b')))
                break;
            u->rg_anzeige_re->setItemIndex(auswahl);
            const QDate datum = auswahl == 1 ? Clock::today().addDays(-180) : QDate(1899, 12, 30);
            std::vector<double> p2, b2;
            int zeilen = 0, barZeilen = 0;
            for (int r = 0; r < runden; ++r) {
                p2.push_back(ms([&] {
                    u->Oeffnen();
                    app.processEvents();
                }));
                zeilen = u->qry_rechnungen_uebersicht->recordCount();
                b2.push_back(ms([&] { barZeilen = barUebersicht(datum); }));
            }
            if (zeilen != barZeilen)
                throw TvxError(QStringLiteral("overview lines differ: %1 / %2").arg(zeilen).arg(barZeilen));
            const QByteArray was = QStringLiteral("open the overview, %1 (%2 lines)")
                                       .arg(auswahl == 1 ? QStringLiteral("6 months") : QStringLiteral("all"))
                                       .arg(zeilen)
                                       .toUtf8();
            zeile(was.constData(), median(p2), median(b2), 1.5);
        }
        delete u;
        delete e;
        frm_strings = nullptr;
        return 0;
    } catch (const TvxError &x) {
        std::fprintf(stderr, "error: %s\n", qPrintable(x.text()));
        return 1;
    }
}
