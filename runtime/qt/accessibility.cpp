// What assistive technology sees of the forms: each picture box drawn as a control with its
// role, name, state and default action; a group's keys as children of the group; the windows
// as windows and dialogs named by their captions.
#include "runtime/qt/accessibility.h"

#include "runtime/form.h"
#include "runtime/qt/qtbackend.h"
#include "runtime/qt/widgets.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace Runtime::QtUi {

namespace {

QAccessible::Role roleOf(Role role)
{
    switch (role) {
    case Role::CheckBox: return QAccessible::CheckBox;
    case Role::RadioButton: return QAccessible::RadioButton;
    case Role::PushButton: return QAccessible::Button;
    case Role::Grouping: return QAccessible::Grouping;
    case Role::None: break;
    }
    return QAccessible::Client;
}

// One key of a group drawn as keys: a push button of its own, inside the group.
class KeyPartAccessible final : public QAccessibleInterface, public QAccessibleActionInterface
{
public:
    KeyPartAccessible(PictureBoxWidget *group, int part) : m_group(group), m_part(part) { }

    bool isValid() const override { return m_group; }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return m_group ? m_group->window()->windowHandle() : nullptr; }
    QAccessibleInterface *parent() const override { return QAccessible::queryAccessibleInterface(m_group); }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessible::Role role() const override { return QAccessible::Button; }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        s.invisible = !m_group || !m_group->isVisible();
        return s;
    }
    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Name || !m_group)
            return QString();
        return QString::fromUtf8(keyPart().name);
    }
    void setText(QAccessible::Text, const QString &) override { }
    QRect rect() const override
    {
        // A small square around the point a key press presses, on the screen.
        if (!m_group)
            return QRect();
        const QPoint at = m_group->drawingArea().topLeft() + QPoint(keyPart().point.x, keyPart().point.y);
        return QRect(m_group->mapToGlobal(at) - QPoint(4, 4), QSize(9, 9));
    }
    void *interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface *>(this) : nullptr;
    }

    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString &name) override
    {
        if (name == pressAction() && m_group)
            m_group->box().pressAndRelease(m_part);
    }
    QStringList keyBindingsForAction(const QString &) const override { return {}; }

    int part() const { return m_part; }
    PictureBoxWidget *group() const { return m_group; }

private:
    const KeyPart &keyPart() const { return m_group->box().description().keyParts[std::size_t(m_part)]; }

    QPointer<PictureBoxWidget> m_group;
    int m_part;
};

class PictureBoxAccessible final : public QAccessibleWidget
{
public:
    explicit PictureBoxAccessible(PictureBoxWidget *w)
        : QAccessibleWidget(w, roleOf(w->box().description().role)), m_widget(w)
    {
    }
    ~PictureBoxAccessible() override
    {
        for (QAccessible::Id id : m_partIds)
            QAccessible::deleteAccessibleInterface(id);
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return QString::fromStdString(m_widget->box().accessibleName());
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        const Role role = m_widget->box().description().role;
        if (role == Role::CheckBox || role == Role::RadioButton) {
            s.checkable = true;
            s.checked = m_widget->box().checked();
        }
        return s;
    }
    QStringList actionNames() const override
    {
        if (m_widget->box().description().role == Role::Grouping)
            return {};
        return {pressAction()};
    }
    void doAction(const QString &name) override
    {
        if (name == pressAction())
            m_widget->box().pressAndRelease();
    }

    int childCount() const override { return int(m_widget->box().description().keyParts.size()); }
    QAccessibleInterface *child(int index) const override
    {
        if (index < 0 || index >= childCount())
            return nullptr;
        auto &ids = const_cast<PictureBoxAccessible *>(this)->m_partIds;
        if (ids.size() <= std::size_t(index))
            ids.resize(std::size_t(childCount()), 0);
        if (!ids[std::size_t(index)]) {
            auto *part = new KeyPartAccessible(m_widget, index);
            ids[std::size_t(index)] = QAccessible::registerAccessibleInterface(part);
        }
        return QAccessible::accessibleInterface(ids[std::size_t(index)]);
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        if (const auto *part = dynamic_cast<const KeyPartAccessible *>(child))
            return part->group() == m_widget ? part->part() : -1;
        return -1;
    }
    QAccessibleInterface *childAt(int x, int y) const override
    {
        for (int i = 0; i < childCount(); ++i) {
            if (QAccessibleInterface *c = child(i); c && c->rect().contains(x, y))
                return c;
        }
        return nullptr;
    }

private:
    PictureBoxWidget *m_widget;
    std::vector<QAccessible::Id> m_partIds;
};

// A form's window: a dialog when shown over another form, named by its caption.
class FormWindowAccessible final : public QAccessibleWidget
{
public:
    explicit FormWindowAccessible(FormWindow *w)
        : QAccessibleWidget(w, w->form().owner() ? QAccessible::Dialog : QAccessible::Window)
    {
    }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return widget()->windowTitle();
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface *factory(const QString &, QObject *object)
{
    if (auto *box = dynamic_cast<PictureBoxWidget *>(object)) {
        if (box->box().description().role != Role::None)
            return new PictureBoxAccessible(box);
    }
    if (auto *window = dynamic_cast<FormWindow *>(object))
        return new FormWindowAccessible(window);
    return nullptr;
}

} // namespace

void installAccessibility()
{
    QAccessible::installFactory(factory);
}

void checkedStateChanged(QWidget *widget)
{
    if (!QAccessible::isActive() || !widget)
        return;
    QAccessible::State changed;
    changed.checked = true;
    QAccessibleStateChangeEvent event(widget, changed);
    QAccessible::updateAccessibility(&event);
}

} // namespace Runtime::QtUi
