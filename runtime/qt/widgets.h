// The Qt widgets that show a form and its controls: the one place that turns Qt's input into
// the runtime's raw input.
#pragma once

#include "runtime/backend.h"
#include "runtime/control.h"

#include <QWidget>

class QEventLoop;

namespace Runtime::QtUi {

// What every peer of this back end is: a widget.
class WidgetPeer : public ControlPeer
{
public:
    virtual QWidget *widget() const = 0;
};

// A form's window.
class FormWindow final : public QWidget, public WindowPeer
{
public:
    FormWindow(Form &form, QWidget *owner);

    Form &form() const { return m_form; }

    void show(Point clientOrigin, bool modal) override;
    void hide() override;
    bool isVisible() const override { return QWidget::isVisible(); }
    void runModal() override;
    void endModal() override;
    Rect clientRect() const override;
    Margins frameMargins() const override;
    Rect screenArea(Point point) const override;
    void setTabOrder(const std::vector<Control *> &order) override;

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool focusNextPrevChild(bool next) override;

private:
    Form &m_form;
    QEventLoop *m_modalLoop = nullptr;
    bool m_closing = false;
};

// A picture box: paints its picture and turns the pointer into raw input.
class PictureBoxWidget final : public QWidget
{
public:
    PictureBoxWidget(PictureBox &box, QWidget *parent);

    PictureBox &box() const { return m_box; }
    QRect drawingArea() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    Pixel pixelOf(const QMouseEvent *event) const;
    void press(QMouseEvent *event);

    PictureBox &m_box;
};

// The peer of a control: a Qt widget of its kind.
std::unique_ptr<ControlPeer> createPeer(Control &control, QWidget *parent);

} // namespace Runtime::QtUi
