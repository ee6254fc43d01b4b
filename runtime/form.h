// A form: a window built from its stored description, holding its controls by name.
#pragma once

#include "description.h"
#include "picture.h"
#include "runtimeerror.h"

#include <QHash>
#include <QList>
#include <QWidget>

#include <functional>

class QEventLoop;

namespace Runtime {

class PictureBox;

// Turns a stored picture name into the picture.
using PictureSource = std::function<Picture(const char *name)>;

class Form : public QWidget
{
    Q_OBJECT

public:
    // Builds the window and every control of `description` in stored order. Raises a
    // run-time error when the description names a container or picture that does not exist.
    explicit Form(const FormDescription &description, const PictureSource &pictures = {},
                  QWidget *parent = nullptr);
    ~Form() override;

    QString name() const { return m_name; }

    // The control `name`, or element `index` of the control array `name`. Raises run-time
    // error 730 for a name that does not exist, 340 for a missing array element and 13 for
    // a control of another kind.
    QWidget *control(const QString &name, int index = -1) const;
    template <class T>
    T *control(const QString &name, int index = -1) const
    {
        if (auto *typed = qobject_cast<T *>(control(name, index)))
            return typed;
        throw RuntimeError(Err::TypeMismatch, QStringLiteral("Type mismatch: %1").arg(name));
    }

    // Every control in stored order, with the description it was built from.
    struct Entry
    {
        QWidget *widget;
        const ControlDescription *description;
    };
    const QList<Entry> &controls() const { return m_controls; }

    // Runs the load procedure once, through the dispatcher; later calls do nothing.
    void setLoadProcedure(std::function<void()> procedure) { m_load = std::move(procedure); }
    void load();

    int scaleMode() const { return m_scaleMode; }
    void setScaleMode(int mode);

    // Shows the form; with modal = 1 the call returns only once the form has been closed, and
    // the other windows take no input meanwhile. Any other modal value raises error 380.
    void showForm(int modal = 0);

    // The form that input goes to now (the active window, else the last one shown).
    static Form *activeForm();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QWidget *create(const ControlDescription &d, QWidget *container, const PictureSource &pictures);
    void applyTabOrder();
    void applyStacking();
    // Puts the window where it belongs on its screen, with the window system's frame as
    // best known: a form shown over another keeps the relation of their stored places.
    void place();
    // Every picture box of the form forgets the buttons held on it: the window went away.
    void cancelPointer();

    QString m_name;
    QPoint m_stored; // the client area's stored place, in pixels
    QPoint m_placedAt; // where place() last put it
    bool m_placing = false; // shown, and not yet exposed with its frame known
    QHash<QString, QWidget *> m_byKey;
    QList<Entry> m_controls;
    int m_scaleMode = 1;
    std::function<void()> m_load;
    bool m_loaded = false;
    QEventLoop *m_modalLoop = nullptr;
};

// Tag text on every control; empty until set.
QString tagOf(const QWidget *control);
void setTagOf(QWidget *control, const QString &tag);

} // namespace Runtime
