#include <QApplication>
#include <QMainWindow>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QMainWindow w;
    w.setWindowTitle(QStringLiteral("TORVANEX 01.01.2024"));
    w.resize(1024, 700);
    w.show();
    return app.exec();
}
