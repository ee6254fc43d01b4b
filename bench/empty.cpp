// The floor: an empty 335 x 365 Qt Widgets window, ended after its first frame.
#include "firstframe.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    FirstFrame firstFrame;
    QWidget window;
    window.setWindowTitle(QStringLiteral("empty"));
    window.setFixedSize(335, 365);
    window.show();
    return app.exec();
}
