// A form's window, and the keys of every window: the one place that turns what the window
// system and the keyboard do to a form's window into the runtime's reports.
#pragma once

#include "runtime/backend.h"

#include <QWidget>

class QEventLoop;
class QKeyEvent;

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
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void linkLabels();

    FormView m_form;
    bool m_labelsLinked = false;
    QEventLoop *m_modalLoop = nullptr;
};

// Reports a key the runtime knows, come to `receiver` in a form's window, to that form before
// the widget sees it; true when the runtime took it, and the widget is to have none of it.
bool reportKey(QWidget *receiver, QKeyEvent *key);

// Reports the keys of the toolkit's own widgets that can have the focus, and of every form's
// window (which has the keys when none of its controls has the focus): installed on each, so
// that every way a key reaches one of them passes here, the window system's and one sent to the
// widget itself. A picture box reports its keys itself.
class KeyRouter final : public QObject
{
protected:
    bool eventFilter(QObject *receiver, QEvent *event) override;
};

} // namespace Runtime::QtUi
