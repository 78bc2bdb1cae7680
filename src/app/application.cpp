#include "application.h"

#include <QApplication>
#include <QMainWindow>

int guiMain(const Product& p, int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow w;
    w.setWindowTitle(p.productName);
    w.show();
    return app.exec();
}
