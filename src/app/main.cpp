#include <QApplication>

#include "platform/window.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    platform::Window w;
    w.setWindowTitle("Professional Audio System");
    w.show();
    return app.exec();
}
