#include "app/u_main.h"
#include "app/u_programm.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("TORVANEX"));
    QApplication::setApplicationDisplayName(QStringLiteral("TORVANEX"));

    TProgrammfenster fenster;
    fenster.main->show();
    return app.exec();
}
