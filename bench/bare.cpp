// The bare program Quorvel is measured against: a 335 x 365 Qt Widgets window with the same
// standard controls (two group boxes, a push button, a check box, two radio buttons, a label
// and a line edit), ended after its first frame.
#include "firstframe.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    FirstFrame firstFrame;
    QWidget window;
    window.setWindowTitle(QStringLiteral("bare"));
    window.setFixedSize(335, 365);
    auto *upper = new QGroupBox(QStringLiteral("Standard MS Custom Controls"), &window);
    upper->setGeometry(8, 5, 321, 104);
    auto *lower = new QGroupBox(QStringLiteral("Zennorak Design Quorvel technics examples"), &window);
    lower->setGeometry(7, 121, 322, 195);
    (new QPushButton(QStringLiteral("Command1"), upper))->setGeometry(17, 19, 138, 31);
    (new QCheckBox(QStringLiteral("Check1"), upper))->setGeometry(199, 23, 71, 21);
    auto *first = new QRadioButton(QStringLiteral("Option1(0)"), upper);
    first->setGeometry(16, 54, 78, 23);
    first->setChecked(true);
    (new QRadioButton(QStringLiteral("Option1(1)"), upper))->setGeometry(16, 76, 78, 23);
    (new QLabel(QStringLiteral("Label1"), upper))->setGeometry(95, 74, 35, 23);
    (new QLineEdit(QStringLiteral("Text1"), upper))->setGeometry(137, 70, 138, 23);
    window.show();
    return app.exec();
}
