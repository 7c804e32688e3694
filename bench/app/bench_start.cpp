// Start-up of the main window on the large database: from creating the windows
// to the end of the show handler (settings restored, language loaded, both
// connections open, printer lists, log pruned, pickers opened).
//
//   bench_start [program folder]   (default: a new temporary folder with the
//                                   large database generated into it)
#include "app/core/u_global.h"
#include "app/core/u_land.h"
#include "app/core/u_strings.h"
#include "app/u_main.h"
#include "app/u_programm.h"
#include "bench/data/grossedatenbank.h"
#include "data/u_dm_datenbank.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <cstdio>

static void copyTree(const QString &from, const QString &to)
{
    QDir src(from);
    QDir().mkpath(to);
    for (const QFileInfo &fi : src.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString target = to + QLatin1Char('/') + fi.fileName();
        if (fi.isDir())
            copyTree(fi.absoluteFilePath(), target);
        else
            QFile::copy(fi.absoluteFilePath(), target);
    }
}

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    QTextStream out(stdout);

    QTemporaryDir tmp;
    QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : tmp.path();
    if (!QFile::exists(folder + QStringLiteral("/TORVANEXDB.mdb"))) {
        out << "generating the large database in " << folder << " ..." << Qt::endl;
        const BenchErgebnis e = GrosseDatenbankErzeugen(folder);
        out << QStringLiteral("generated in %1 s, %2 MB").arg(e.sekunden, 0, 'f', 1).arg(e.bytes / 1e6, 0, 'f', 0)
            << Qt::endl;
    }
    const QString source = QStringLiteral(TVX_SOURCE_ROOT "/install");
    copyTree(source, folder);
    setProgrammordner(folder);
    {
        QSettings st(QStringLiteral("bench_start"), QStringLiteral("bench_start"));
        st.setValue(QStringLiteral("Tfrm_main/cb_ersterstart_Checked"), QStringLiteral("0"));
    }

    for (int run = 0; run < 5; ++run) {
        QElapsedTimer t;
        t.start();
        auto fenster = std::make_unique<TProgrammfenster>();
        Tfrm_main *main = fenster->main.get();
        main->show();
        QCoreApplication::processEvents();
        const double ms = t.nsecsElapsed() / 1e6;
        out << QStringLiteral("start-up to shown main window: %1 ms%2")
                   .arg(ms, 0, 'f', 1)
                   .arg(main->startupFailed() ? QStringLiteral(" (START-UP FAILED)") : QString())
            << Qt::endl;
        main->close();
        fenster.reset();
    }
    return 0;
}
