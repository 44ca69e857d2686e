#include "app/startup.h"
#include "ui/mainwindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    setApplicationAttributes();
    QApplication app(argc, argv);
    installApplicationFont();
    initLogging();
    initCrashHandler();
    VaruMainWindow window;
    window.show();
    return app.exec();
}
