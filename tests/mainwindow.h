// What the program's Qt test suites share: the application set up as the program sets it up,
// the main window opened, loaded and shown, and the widgets that show its controls.
#pragma once

#include "app/form1.h"
#include "app/program.h"
#include "assets.h"
#include "pointer.h"
#include "runtime/application.h"
#include "runtime/qt/look.h"
#include "runtime/qt/qtbackend.h"
#include "runtime/qt/qtbitmap.h"
#include "runtime/qt/widgets.h"

#include <QApplication>
#include <QTest>

#include <memory>

using Runtime::QtUi::widgetOf;
using Runtime::QtUi::windowOf;

// Text of the runtime as Qt text, and back.
inline QString qs(const std::string &text)
{
    return QString::fromStdString(text);
}

// The widget of control `name` (element `index`) of a form.
inline QWidget *widgetNamed(const Runtime::Form &form, const char *name, int index = -1)
{
    return widgetOf(form.control(name, index));
}

// Opens the main window as the program does: built, loaded, shown.
// Waits long for the window: a window manager that has just started may take seconds on a
// busy machine before it maps its first window.
inline std::unique_ptr<Form1> openMainWindow(int timeoutMs = 20000)
{
    Runtime::resetForTests();
    auto form = std::make_unique<Form1>();
    form->load();
    form->showForm(0);
    if (!QTest::qWaitForWindowExposed(windowOf(*form), timeoutMs))
        return nullptr;
    return form;
}

// The stored picture `name`, as the program's resources hold it.
inline QImage storedImage(const QString &name)
{
    return Assets::loadPicture(name).convertToFormat(QImage::Format_RGB32);
}

// The image a picture holds, for comparing with what is shown.
inline QImage imageOf(const Runtime::Picture &picture)
{
    return Runtime::QtUi::imageOf(picture).convertToFormat(QImage::Format_RGB32);
}

// What a picture box shows on screen, in its drawing area.
inline QImage shownFace(const Runtime::PictureBox *box)
{
    auto *w = static_cast<Runtime::QtUi::PictureBoxWidget *>(widgetOf(*box));
    return w->grab(w->drawingArea()).toImage().convertToFormat(QImage::Format_RGB32);
}

// Like QTEST_MAIN, with the desktop's settings ignored and the program's look applied by the
// Qt back end.
#define QUORVEL_TEST_MAIN(TestObject) \
    int main(int argc, char *argv[]) \
    { \
        Runtime::QtUi::Look::prepare(); \
        QApplication app(argc, argv); \
        Runtime::QtUi::QtBackend backend; \
        Program::setUp(); \
        TestObject tc; \
        QTEST_SET_MAIN_SOURCE_PATH \
        return QTest::qExec(&tc, argc, argv); \
    }
