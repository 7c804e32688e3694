#include "capture/u_rechnungsnummer.h"

#include "data/u_dm_datenbank.h"
#include "platform/core/errors.h"
#include "platform/sql/sqlutil.h"

#include <QSqlQuery>
#include <QVariant>

const QString SQL_qry_letzte_RE_Nummer_holen = QStringLiteral(
    "select Max(Rechnung_nr) as LetzteRENummer from Artikelpositionen\n"
    "where Firma =:pfirma and Periode_re =:pperiode");

int RechnungsnummerErmitteln(int firma, int periode)
{
    if (!dm_datenbank)
        throw EDatabaseError(QStringLiteral("Das Datenmodul ist nicht angelegt"));
    QSqlQuery q = prepareQuery(dm_datenbank->Datenbank_Verbindung.db(), SQL_qry_letzte_RE_Nummer_holen);
    q.bindValue(QStringLiteral(":pfirma"), firma);
    q.bindValue(QStringLiteral(":pperiode"), periode);
    execQuery(q);
    int ergebnis = -1;
    if (q.next()) {
        const QVariant v = q.value(0);
        ergebnis = (v.isNull() ? 0 : v.toInt()) + 1;
    }
    q.finish();
    return ergebnis;
}
