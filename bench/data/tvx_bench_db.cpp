// tvx-bench-db: writes the large benchmark database into a folder.
//   tvx-bench-db --ordner <Ordner> [--ueberschreiben] [--rechnungen N] [--positionen N]
//                [--artikel N] [--kunden N]
#include "bench/data/grossedatenbank.h"
#include "platform/core/errors.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout), err(stderr);
    QString ordner;
    bool ueberschreiben = false;
    BenchUmfang u;
    const QStringList a = app.arguments().mid(1);
    for (int i = 0; i < a.size(); ++i) {
        auto zahl = [&](int &ziel) {
            bool ok = false;
            ziel = i + 1 < a.size() ? a[++i].toInt(&ok) : 0;
            return ok && ziel > 0;
        };
        bool ok = true;
        if (a[i] == QLatin1String("--ordner") && i + 1 < a.size())
            ordner = a[++i];
        else if (a[i] == QLatin1String("--ueberschreiben"))
            ueberschreiben = true;
        else if (a[i] == QLatin1String("--rechnungen"))
            ok = zahl(u.rechnungen);
        else if (a[i] == QLatin1String("--positionen"))
            ok = zahl(u.positionen);
        else if (a[i] == QLatin1String("--artikel"))
            ok = zahl(u.artikel);
        else if (a[i] == QLatin1String("--kunden"))
            ok = zahl(u.kunden);
        else
            ok = false;
        if (!ok) {
            err << "Aufruf: tvx-bench-db --ordner <Ordner> [--ueberschreiben] [--rechnungen N] "
                   "[--positionen N] [--artikel N] [--kunden N]\n";
            return 2;
        }
    }
    if (ordner.isEmpty() || u.positionen < u.rechnungen) {
        err << "Fehler: --ordner fehlt, oder weniger Positionen als Rechnungen.\n";
        return 2;
    }
    try {
        const BenchErgebnis e = GrosseDatenbankErzeugen(ordner, u, ueberschreiben, [&](const QString &t) {
            out << t << Qt::endl;
        });
        out << "fertig: " << e.sekunden << " s, " << e.bytes / (1024 * 1024) << " MiB\n";
        return 0;
    } catch (const TvxError &e) {
        err << "Fehler: " << e.text() << "\n";
        return 1;
    }
}
