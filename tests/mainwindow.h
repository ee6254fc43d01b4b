// What the program's test suites share: the application set up as the program sets it up,
// and the main window opened, loaded and shown.
#pragma once

#include "application.h"
#include "assets.h"
#include "form1.h"
#include "look.h"
#include "pointer.h"
#include "program.h"

#include <QApplication>
#include <QTest>

#include <memory>

// Opens the main window as the program does: built, loaded, shown.
inline std::unique_ptr<Form1> openMainWindow()
{
    Runtime::resetForTests();
    auto form = std::make_unique<Form1>();
    form->load();
    form->show();
    if (!QTest::qWaitForWindowExposed(form.get()))
        return nullptr;
    return form;
}

// The stored picture `name`, as the program's resources hold it.
inline QImage storedImage(const QString &name)
{
    return Assets::loadPicture(name).convertToFormat(QImage::Format_RGB32);
}

// What a control shows on screen, in its drawing area.
inline QImage shownFace(Runtime::PictureBox *box)
{
    return box->grab(box->drawingArea()).toImage().convertToFormat(QImage::Format_RGB32);
}

// Like QTEST_MAIN, with the desktop's settings ignored and the program's look applied.
#define QUORVEL_TEST_MAIN(TestObject) \
    int main(int argc, char *argv[]) \
    { \
        Runtime::Look::prepare(); \
        QApplication app(argc, argv); \
        Program::setUp(app); \
        TestObject tc; \
        QTEST_SET_MAIN_SOURCE_PATH \
        return QTest::qExec(&tc, argc, argv); \
    }
