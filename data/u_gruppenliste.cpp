#include "data/u_gruppenliste.h"
#include "platform/sql/sqlutil.h"

QString GruppenlisteSql(const QString &tabelle, const QString &nummernfeld, const QString &namensfeld,
                        const QString &alleGruppen)
{
    return QStringLiteral("select %1,%2 from %3 UNION select -17,%4 from %3 order by %1 ")
        .arg(nummernfeld, namensfeld, tabelle, sqlStringLiteral(alleGruppen));
}
