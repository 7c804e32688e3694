#pragma once
// Creating the two database files of a program folder, with the schema and,
// when asked, the shipped test data. The program itself only opens existing
// files; the set-up tool (tvx-datenbank), the test fixture and the benchmarks
// create them through here.

#include <QDate>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

namespace Datenbank {

inline const QString HauptDatei = QStringLiteral("TORVANEXDB.mdb");
inline const QString LokalDatei = QStringLiteral("TORVANEXDB_Lokal.mdb");
inline const QString Passwort = QStringLiteral("plimvad");

// The scripts as shipped in install/Datenbank/ (compiled in).
QString HauptSchemaSql();  // TORVANEXDB.sql
QString LokalSchemaSql();  // TORVANEXDB_Lokal.sql
QString TestdatenSql();    // Testdaten.sql; dates relative to :heute

// Splits a script into statements (';' outside quotes; '--' comments dropped)
// and runs them in one transaction. Outside string literals ":heute" becomes
// the literal of heute at midnight. Throws EDatabaseError naming the statement.
void SkriptAusfuehren(QSqlDatabase db, const QString &skript, const QDate &heute = {});
QStringList SkriptZerlegen(const QString &skript);

// Brings an existing file up to the shipped schema: every column the script
// declares for a table the file has, but the file lacks, is added with the
// script's own declaration (type, length check). Nothing is dropped or changed,
// so files of older versions and the sibling programs' columns stay intact.
// Plain indexes of the script that the file lacks are created as well.
// One transaction; returns the columns added as "Tabelle.Spalte" and the
// indexes by name. Throws
// EDatabaseError naming the statement.
QStringList SchemaNachziehen(QSqlDatabase db, const QString &schema);

enum class Inhalt { NurSchema, Testdaten };

// Creates one new database file (it must not exist) and fills it; encrypted
// when passwort is not empty. The file is removed again on failure.
void DateiAnlegen(const QString &datei, const QString &passwort, const QString &schema,
                  const QString &daten = {}, const QDate &heute = {});

struct Anlagebericht {
    QStringList angelegt;     // file names created (or replaced)
    QStringList beibehalten;  // file names that existed and were kept
};

// Creates TORVANEXDB.mdb (encrypted, password "plimvad") and TORVANEXDB_Lokal.mdb
// in ordner. An existing file is kept unless ueberschreiben is set; then both are
// built as temporary files beside the targets and renamed over them only when
// both are complete, so a failure leaves the old files as they were. New files
// are readable by their owner only. heute: the date of the test data (default:
// Clock::today()). Throws TvxError / EDatabaseError with a German text.
Anlagebericht DatenbankenAnlegen(const QString &ordner, Inhalt inhalt, bool ueberschreiben,
                                 const QDate &heute = {});

} // namespace Datenbank
