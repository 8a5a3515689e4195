#include "mainwindow.h"

#include <QApplication>
#include <QPixmap>
#include <QSplashScreen>

using namespace qm;

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    auto* splash = new QSplashScreen(QPixmap(QStringLiteral(":/images/qm.png")));
    splash->show();

    mainwindow w;
    w.show();
    splash->finish(&w);
    delete splash;

    QObject::connect(&app, &QApplication::lastWindowClosed, &app, &QApplication::quit);
    return app.exec();
}
