// The peers that show a form's controls: a widget of the control's kind, told by the runtime
// when its control changed and reading it anew from the control's view; and the one place that
// turns Qt's pointer input over a picture box into the runtime's raw input.
#pragma once

#include "runtime/backend.h"
#include "runtime/qt/accessibility.h"

#include <QCheckBox>
#include <QLabel>
#include <QPointer>
#include <QWidget>

namespace Runtime::QtUi {

// Qt's keyboard modifiers as the runtime's shift bits.
std::int16_t shiftBits(Qt::KeyboardModifiers modifiers);

// The runtime's text (UTF-8) as Qt's.
inline QString qText(const std::string &text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// A picture box: paints its picture (inside a 2-pixel sunken border when it has one) and the
// focus indicator, and reports the pointer in whole pixels of its drawing area.
class PictureBoxWidget final : public QWidget
{
public:
    PictureBoxWidget(ControlView box, QWidget *parent);

    ControlView view() const { return m_box; }
    QRect drawingArea() const { return m_area; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    Pixel pixelOf(const QMouseEvent *event) const;
    void press(const QMouseEvent *event);

    ControlView m_box;
    QRect m_area; // its drawing area, in its own pixels; fixed, as the box's size and border are
    std::int16_t m_reported = 0; // the buttons whose press went to the runtime, not yet released
};

// A check box whose check the runtime decides: a click, Space or assistive technology's action
// says it was clicked, and the runtime toggles the check and sets it. Known as one from its
// start: assistive technology may ask what it is as soon as its text is set.
class CheckBox final : public QCheckBox
{
public:
    CheckBox(const QString &text, QWidget *parent) : QCheckBox(parent) { setText(text); }

protected:
    void nextCheckState() override { }
};

// A label, knowing from its start which control it shows: assistive technology may ask what
// it is as soon as its text is set.
class LabelWidget final : public QLabel
{
public:
    LabelWidget(ControlView label, QWidget *parent) : QLabel(parent), m_label(label) { }
    ControlView view() const { return m_label; }

private:
    ControlView m_label;
};

// The peer of a visible control. Its widget is a Qt child of its container's widget, and gone
// with the peer.
class WidgetPeer final : public ControlPeer
{
public:
    WidgetPeer(ControlView control, QWidget *widget);
    ~WidgetPeer() override;

    QWidget *widget() const { return m_widget; }

    void pictureChanged() override;
    void textChanged() override;
    void valueChanged() override;
    void stateChanged(Change change) override;
    void setFocus() override;
    void restoreFocus() override;

private:
    ControlView m_control;
    QPointer<QWidget> m_widget;
};

// A peer for `control`, its widget a child of `parent`.
std::unique_ptr<WidgetPeer> createPeer(ControlView control, QWidget *parent);

// The control a widget shows; none for a widget that is no peer's. And the widget that shows a
// control; none before its peer is made.
ControlView controlShownBy(const QObject *widget);
QWidget *widgetShowing(ControlView control);

// The keyboard focus moved between widgets (QApplication::focusChanged): the controls that lost
// and gained it are reported.
void reportFocusChange(QWidget *old, QWidget *now);

} // namespace Runtime::QtUi
