// tvx-datenbank: creates the two database files of a TORVANEX program folder.
//
//   tvx-datenbank --ordner <Ordner> [--testdaten] [--ueberschreiben]
//
// Exit codes: 0 the files are in place (created, or kept as they were),
//             1 a file could not be created, 2 wrong call.

#include "data/datenbankanlage.h"
#include "platform/core/errors.h"

#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

namespace {

const char *const Aufruf =
    "Aufruf: tvx-datenbank --ordner <Ordner> [--testdaten] [--ueberschreiben]\n"
    "\n"
    "Legt im Programmordner die Datenbanken TORVANEXDB.mdb (verschlüsselt) und\n"
    "TORVANEXDB_Lokal.mdb an.\n"
    "\n"
    "  --ordner <Ordner>  der Programmordner (muss vorhanden sein)\n"
    "  --testdaten        die Hauptdatenbank mit den mitgelieferten Testdaten füllen\n"
    "  --ueberschreiben   vorhandene Dateien ersetzen (sonst bleiben sie unverändert)\n"
    "  --hilfe            diesen Text zeigen\n";

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);

    QString ordner;
    bool testdaten = false;
    bool ueberschreiben = false;
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--ordner")) {
            if (i + 1 >= args.size()) {
                err << "Fehler: nach --ordner fehlt der Ordner.\n\n" << Aufruf;
                return 2;
            }
            ordner = args[++i];
        } else if (a.startsWith(QLatin1String("--ordner="))) {
            ordner = a.mid(9);
        } else if (a == QLatin1String("--testdaten")) {
            testdaten = true;
        } else if (a == QLatin1String("--ueberschreiben")) {
            ueberschreiben = true;
        } else if (a == QLatin1String("--hilfe") || a == QLatin1String("-h") || a == QLatin1String("--help")) {
            out << Aufruf;
            return 0;
        } else {
            err << "Fehler: unbekannte Angabe \"" << a << "\".\n\n" << Aufruf;
            return 2;
        }
    }
    if (ordner.isEmpty()) {
        err << "Fehler: der Programmordner fehlt (--ordner).\n\n" << Aufruf;
        return 2;
    }

    try {
        const auto bericht = Datenbank::DatenbankenAnlegen(
            ordner, testdaten ? Datenbank::Inhalt::Testdaten : Datenbank::Inhalt::NurSchema, ueberschreiben);
        const QString wo = QDir::toNativeSeparators(QDir(ordner).absolutePath());
        for (const QString &name : bericht.angelegt) {
            const bool haupt = name == Datenbank::HauptDatei;
            out << name << " angelegt in " << wo
                << (haupt ? (testdaten ? " (verschlüsselt, mit Testdaten)" : " (verschlüsselt, ohne Daten)") : "")
                << ".\n";
        }
        for (const QString &name : bericht.beibehalten)
            out << name << " ist in " << wo
                << " schon vorhanden und bleibt unverändert (--ueberschreiben ersetzt die Datei).\n";
        return 0;
    } catch (const TvxError &e) {
        err << "Fehler: " << e.text() << "\n";
        return 1;
    } catch (const std::exception &e) {
        err << "Fehler: " << e.what() << "\n";
        return 1;
    }
}
