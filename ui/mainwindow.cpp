#include "mainwindow.h"

VaruMainWindow::VaruMainWindow(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("mainWindow"));
    setStyleSheet(QStringLiteral("#mainWindow { border: 1px solid #828790; }"));
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    resize(1000, 680);
}
