#include "output/u_storno.h"

#include "app/core/u_global.h"
#include "app/core/u_sicherung.h"
#include "app/core/u_strings.h"
#include "capture/u_rechnungsnummer.h"
#include "data/u_dm_datenbank.h"
#include "platform/core/clock.h"
#include "platform/core/dialogs.h"
#include "platform/core/errors.h"
#include "platform/sql/sqlutil.h"

#include <QSqlQuery>
#include <QSqlRecord>

const char *const SQL_qry_rechnungsdaten =
    "select * from Artikelpositionen where Artikelpositionen.Firma =:pfirma and Artikelpositionen.Periode_re "
    "=:pperiode and Artikelpositionen.Rechnung_nr =:prechnung";

namespace {
// Stored amounts of a row that change sign; a null becomes 0.
QStringList negierteFelder()
{
    QStringList f{QStringLiteral("Menge"), QStringLiteral("Rechnungsbetrag"), QStringLiteral("Rechnungsbetrag_Bezahlt")};
    for (int i = 1; i <= 30; ++i)
        f << QStringLiteral("Menge%1").arg(i);
    for (const char *m : {"A", "B", "C", "D"}) {
        f << QStringLiteral("MWST%1Betrag").arg(QLatin1String(m));
        f << QStringLiteral("MWST%1Betrag_O").arg(QLatin1String(m));
    }
    return f;
}
} // namespace

int StornoSchreiben(int firma, int periode_re, int rechnung_nr)
{
    QSqlDatabase db = dm_datenbank->Datenbank_Verbindung.db();
    TransactionGuard transaktion(db);
    QSqlQuery quelle = prepareQuery(db, QString::fromLatin1(SQL_qry_rechnungsdaten));
    quelle.bindValue(QStringLiteral(":pfirma"), firma);
    quelle.bindValue(QStringLiteral(":pperiode"), periode_re);
    quelle.bindValue(QStringLiteral(":prechnung"), rechnung_nr);
    execQuery(quelle);
    // read first: the inserts below must not disturb the open source cursor
    std::vector<QSqlRecord> zeilen;
    while (quelle.next())
        zeilen.push_back(quelle.record());
    quelle.finish();
    if (zeilen.empty())
        return 0;

    const QStringList negiert = negierteFelder();
    const QDateTime heute(Clock::today(), QTime(0, 0));
    int nummer = 0;
    for (QSqlRecord r : zeilen) {
        for (const QString &f : negiert) {
            const int i = r.indexOf(f);
            if (i >= 0)
                r.setValue(i, r.isNull(i) ? 0.0 : -r.value(i).toDouble());
        }
        for (const char *f : {"Rechnungsdatum", "Valutadatum"})
            if (r.indexOf(QLatin1String(f)) >= 0)
                r.setValue(QLatin1String(f), heute);
        if (nummer == 0) {
            nummer = RechnungsnummerErmitteln(firma, periode_re);
            if (nummer == -1)
                throw ETestException(txt("ex_8"));
        }
        r.setValue(QStringLiteral("Rechnung_nr"), nummer);
        r.setValue(QStringLiteral("Hinweis"), txt("sk_15") + QString::number(rechnung_nr));
        r.setValue(QStringLiteral("Status"), 52);
        r.setValue(QStringLiteral("ID_Artikelpositionen"), NeueIdPositionen());
        QStringList spalten, platz;
        for (int i = 0; i < r.count(); ++i) {
            spalten << r.fieldName(i);
            platz << QStringLiteral("?");
        }
        QSqlQuery ins = prepareQuery(db, QStringLiteral("INSERT INTO Artikelpositionen (%1) VALUES (%2)")
                                             .arg(spalten.join(QStringLiteral(", ")), platz.join(QStringLiteral(", "))));
        for (int i = 0; i < r.count(); ++i)
            ins.addBindValue(r.value(i));
        execQuery(ins);
    }
    transaktion.commit();
    return nummer;
}

bool btn_stornoClick(int firma, int periode_re, int rechnung_nr)
{
    if (!Dialogs::instance().question(txt("am_5")))
        return false;
    try {
        // a vanished invoice writes nothing: not a completed cancellation
        if (StornoSchreiben(firma, periode_re, rechnung_nr) == 0)
            Dialogs::instance().message(txt("ex_7"));
        else
            Dialogs::instance().message(txt("sm_47"));
    } catch (const TvxError &x) {
        Dialogs::instance().message(txt("sm_38") + x.text());
        try {
            ProtokollSchreiben(Bearbeiter, (txt("ps_14") + x.text()).left(150), Clock::now());
        } catch (...) {
        }
    } catch (const std::exception &x) {
        const QString t = QString::fromLocal8Bit(x.what());
        Dialogs::instance().message(txt("sm_38") + t);
        try {
            ProtokollSchreiben(Bearbeiter, (txt("ps_14") + t).left(150), Clock::now());
        } catch (...) {
        }
    }
    return true;
}
