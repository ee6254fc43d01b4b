// The picture box: shows its Picture at the top-left of its drawing area and reports the
// pointer as MouseDown, MouseMove, MouseUp and Click in its own scale.
#pragma once

#include "mouseargs.h"
#include "picture.h"

#include <QPoint>
#include <QWidget>

#include <optional>

namespace Runtime {

class PictureBox final : public QWidget
{
    Q_OBJECT

public:
    explicit PictureBox(QWidget *parent = nullptr);

    // A bordered box draws the classic 2-pixel sunken border around its drawing area.
    void setBorder(bool border);
    bool hasBorder() const { return m_border; }
    QRect drawingArea() const;

    const Picture &picture() const { return m_picture; }
    void setPicture(const Picture &picture);

    int scaleMode() const { return m_scaleMode; }
    // 1 (twips) or 3 (pixels); anything else raises run-time error 380.
    void setScaleMode(int mode);

    // The stored picture's colour at (X, Y) in this box's scale; 0 outside the picture.
    qint32 Point(float x, float y) const;

    // The window went away under a press (hidden, minimised, unmapped, blocked by a modal
    // window): the held buttons' releases will go elsewhere. They end here as releases away
    // from the box, after a move there, and complete no click.
    void cancelPointer();

    const QString &tag() const { return m_tag; }
    void setTag(const QString &tag) { m_tag = tag; }

signals:
    void mouseDown(const Runtime::MouseArgs &args);
    void mouseMove(const Runtime::MouseArgs &args);
    void mouseUp(const Runtime::MouseArgs &args);
    void click();

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    QPoint pixelPosition(const QMouseEvent *event) const;
    MouseArgs args(QPoint pixel, qint16 button, Qt::KeyboardModifiers modifiers) const;
    void press(QMouseEvent *event);
    void moveTo(QPoint pixel, qint16 buttons, Qt::KeyboardModifiers modifiers);

    Picture m_picture;
    QString m_tag;
    int m_scaleMode = Scale::Twips;
    bool m_border = false;
    qint16 m_held = 0;             // buttons pressed on this box and not yet released
    bool m_leftPressedHere = false; // a left press here that a release over the box completes
    std::optional<QPoint> m_lastMove; // the last position announced by a MouseMove
};

} // namespace Runtime
