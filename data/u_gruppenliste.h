#pragma once
#include <QString>

// The group look-up of the pickers and master-data windows: every group of the
// table plus the pseudo-group -17 captioned "all groups", which sorts first.
// The pseudo-row comes from the same table, so an empty table gives no rows.
QString GruppenlisteSql(const QString &tabelle, const QString &nummernfeld, const QString &namensfeld,
                        const QString &alleGruppen);
