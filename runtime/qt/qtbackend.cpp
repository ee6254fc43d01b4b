// The Qt back end: windows, peers, pictures, the message box and the event loop.
#include "runtime/qt/qtbackend.h"

#include "runtime/form.h"
#include "runtime/qt/accessibility.h"
#include "runtime/qt/look.h"
#include "runtime/qt/qtbitmap.h"
#include "runtime/qt/widgets.h"
#include "runtime/runtimeerror.h"

#include <QApplication>
#include <QImageReader>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>

namespace Runtime::QtUi {

QtBackend::QtBackend()
{
    Look::apply(*qApp);
    // Every window the program opens carries its icon.
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/program-16.png"), QSize(16, 16));
    icon.addFile(QStringLiteral(":/icons/program-32.png"), QSize(32, 32));
    QApplication::setWindowIcon(icon);
    installAccessibility();
    setBackend(this);
}

QtBackend::~QtBackend()
{
    setBackend(nullptr);
}

std::unique_ptr<WindowPeer> QtBackend::createWindow(Form &form)
{
    return std::make_unique<FormWindow>(form, form.owner() ? windowOf(*form.owner()) : nullptr);
}

std::unique_ptr<ControlPeer> QtBackend::createControl(Control &control)
{
    QWidget *parent = control.container() ? widgetOf(*control.container()) : windowOf(control.form());
    return createPeer(control, parent);
}

Picture QtBackend::loadPicture(const std::string &name)
{
    // Read as what it is: Qt's BMP reader, with no other reader asked.
    QImageReader reader(QStringLiteral(":/pictures/%1.bmp").arg(QString::fromStdString(name)), "bmp");
    reader.setDecideFormatFromContent(false);
    QImage image = reader.read();
    if (image.isNull())
        throw RuntimeError(Err::InvalidPicture, "Invalid picture: " + name);
    return pictureOf(std::move(image));
}

int QtBackend::messageBox(const MessageBoxRequest &request)
{
    using Icon = MessageBoxRequest::Icon;
    using Choice = MessageBoxRequest::Choice;
    QWidget *owner = QApplication::activeWindow();
    if (!owner) {
        for (Form *form : Form::all()) {
            if (form->isVisible())
                owner = windowOf(*form);
        }
    }
    QMessageBox box(owner);
    box.setWindowTitle(QString::fromStdString(request.title));
    box.setText(QString::fromStdString(request.prompt));
    box.setTextFormat(Qt::PlainText);
    switch (request.icon) {
    case Icon::Critical: box.setIcon(QMessageBox::Critical); break;
    case Icon::Question: box.setIcon(QMessageBox::Question); break;
    case Icon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case Icon::Information: box.setIcon(QMessageBox::Information); break;
    case Icon::None: box.setIcon(QMessageBox::NoIcon); break;
    }
    QList<QAbstractButton *> buttons;
    for (Choice c : request.choices) {
        static const QMessageBox::StandardButton kButtons[] = {
            QMessageBox::Ok, QMessageBox::Cancel, QMessageBox::Abort, QMessageBox::Retry,
            QMessageBox::Ignore, QMessageBox::Yes, QMessageBox::No};
        buttons.append(box.addButton(kButtons[int(c)]));
    }
    if (request.defaultChoice >= 0 && request.defaultChoice < buttons.size())
        box.setDefaultButton(qobject_cast<QPushButton *>(buttons.at(request.defaultChoice)));
    box.exec();
    return int(buttons.indexOf(box.clickedButton()));
}

int QtBackend::exec()
{
    return QApplication::exec();
}

void QtBackend::quit(int status)
{
    QCoreApplication::exit(status);
}

bool QtBackend::inEventLoop() const
{
    return QThread::currentThread()->loopLevel() > 0;
}

QWidget *widgetOf(const Control &control)
{
    const auto *peer = dynamic_cast<const WidgetPeer *>(control.peer());
    return peer ? peer->widget() : nullptr;
}

QWidget *windowOf(const Form &form)
{
    return dynamic_cast<FormWindow *>(form.peer());
}

} // namespace Runtime::QtUi
