#pragma once
#include <QDateTime>
#include <QSqlDatabase>
#include <QString>

// Name of the main connection that the log and the backups work on.
QSqlDatabase HauptVerbindung();

// Appends one row to Protokoll on the main connection. Never fails its caller.
void ProtokollSchreiben(const QString &benutzer, const QString &text, const QDateTime &zeit);
// The callers' usual form: Bearbeiter, now, the text cut to 150 characters.
void Protokollieren(const QString &text);

// Copies <program folder>TORVANEXDB.mdb to <folder>/Torvanex<ddMMyyyyhhmm>.mdb,
// refusing to overwrite. True if the copy was made.
bool SicherungErstellen(const QString &ordner, const QDateTime &zeit);
// SicherungErstellen with the current time; a failure is logged as ps_9.
void SicherungMitProtokoll(const QString &ordner);
// Deletes the files of folder matching mask (no sub-folders); read-only files too.
void OrdnerLeeren(const QString &ordner, const QString &maske);
// Weekday folder name, Sunday first as the backup rotation names them.
QString Wochentagsordner(const QDate &tag);
// The shut-down backup into Sicherungen/<weekday>/; errors logged as ps_16.
void Tagessicherung();
// Deletes log rows older than today's midnight minus 3650 days; errors ignored.
void ProtokollBereinigen();
