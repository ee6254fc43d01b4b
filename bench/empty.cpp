// The floor: an empty 335 x 365 Qt Widgets window, ended after its first frame.
#include "firstframe.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("empty"));
    window.setFixedSize(335, 365);
    FirstFrame firstFrame(&window);
    window.show();
    return app.exec();
}
