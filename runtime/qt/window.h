// A form's window: the one place that turns what the window system and the keyboard do to a
// form's window into the runtime's reports.
#pragma once

#include "runtime/backend.h"

#include <QWidget>

class QEventLoop;
class QKeyEvent;
class QWindow;

namespace Runtime::QtUi {

class FormWindow final : public QWidget, public WindowPeer
{
public:
    // Over `owner` (a dialog) when there is one.
    FormWindow(FormView form, QWidget *owner);

    FormView form() const { return m_form; }

    void show(Point clientOrigin, bool modal) override;
    void hide() override;
    bool isVisible() const override { return QWidget::isVisible(); }
    void runModal() override;
    void endModal() override;
    Rect clientRect() const override;
    Margins frameMargins() const override;
    Rect screenArea(Point point) const override;

protected:
    // Watches its native window: exposed or unmapped, and every key the window system gives it,
    // reported once, before any widget in it sees the key.
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool focusNextPrevChild(bool next) override;

private:
    bool keyEvent(QKeyEvent *key);

    FormView m_form;
    QWindow *m_watched = nullptr;
    QEventLoop *m_modalLoop = nullptr;
};

} // namespace Runtime::QtUi
