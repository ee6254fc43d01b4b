// A form's window, and the keys of every window: the one place that turns what the window
// system and the keyboard do to a form's window into the runtime's reports.
#pragma once

#include "runtime/backend.h"

#include <QPointer>
#include <QWidget>

class QEventLoop;

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
    FormView m_form;
    QEventLoop *m_modalLoop = nullptr;
};

// Reports every key the runtime knows to the form whose window it is pressed in, before the
// widget with the focus sees it; a key the runtime takes goes to no widget. Installed on the
// application, so that every way a key reaches a widget passes here.
class KeyRouter final : public QObject
{
protected:
    bool eventFilter(QObject *receiver, QEvent *event) override;

private:
    // The key last reported, and where: a key a widget leaves goes on to the widgets around it,
    // and is the same key there.
    const QEvent *m_reported = nullptr;
    QPointer<QWidget> m_reportedAt;
};

} // namespace Runtime::QtUi
