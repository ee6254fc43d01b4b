// The Qt back end: what the runtime asks of it.
#include "runtime/qt/backend.h"

#include "runtime/qt/accessibility.h"
#include "runtime/qt/look.h"
#include "runtime/qt/peers.h"
#include "runtime/qt/pictures.h"
#include "runtime/qt/window.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

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
    QObject::connect(qApp, &QApplication::focusChanged, qApp, &reportFocusChange);
}

QtBackend::~QtBackend() = default;

std::unique_ptr<WindowPeer> QtBackend::createWindow(FormView form, WindowPeer *owner)
{
    return std::make_unique<FormWindow>(form, dynamic_cast<FormWindow *>(owner));
}

std::unique_ptr<ControlPeer> QtBackend::createControl(ControlView control, WindowPeer &window, ControlPeer *container)
{
    const auto *frame = dynamic_cast<const WidgetPeer *>(container);
    QWidget *parent = frame ? frame->widget() : dynamic_cast<FormWindow *>(&window);
    return createPeer(control, parent);
}

Picture QtBackend::loadPicture(const std::string &name)
{
    return loadStoredPicture(name);
}

int QtBackend::messageBox(const MessageBoxRequest &request)
{
    using Icon = MessageBoxRequest::Icon;
    QMessageBox box(dynamic_cast<FormWindow *>(request.owner));
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
    // In the order of MessageBoxRequest::Choice.
    static const QMessageBox::StandardButton kButtons[] = {
        QMessageBox::Ok, QMessageBox::Cancel, QMessageBox::Abort, QMessageBox::Retry,
        QMessageBox::Ignore, QMessageBox::Yes, QMessageBox::No};
    QList<QAbstractButton *> buttons;
    for (MessageBoxRequest::Choice c : request.choices)
        buttons.append(box.addButton(kButtons[int(c)]));
    if (request.defaultChoice >= 0 && request.defaultChoice < buttons.size())
        box.setDefaultButton(qobject_cast<QPushButton *>(buttons.at(request.defaultChoice)));
    box.exec();
    return int(buttons.indexOf(box.clickedButton()));
}

int QtBackend::exec()
{
    m_running = true;
    const int status = QApplication::exec();
    m_running = false;
    return status;
}

void QtBackend::quit(int status)
{
    // Every loop leaves, the modal windows' and the message boxes' too.
    QCoreApplication::exit(status);
}

} // namespace Runtime::QtUi
