// What assistive technology sees of the forms: each picture box drawn as a control with its
// role, name, description, state and default action, a group's keys as its children (the one a
// key pressed taking the focus), the windows as windows and dialogs named by their captions and
// described by the lines of a window of text. All of it is read from the views; an action asked
// for goes to the runtime.
#include "runtime/qt/accessibility.h"

#include "runtime/qt/peers.h"
#include "runtime/qt/window.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QRadioButton>

#include <algorithm>
#include <vector>

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

    bool isValid() const override { return m_group && m_part < int(m_group->view().parts().size()); }
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
        if (isValid()) {
            // The part a key pressed is where the focus is, within its focused group.
            s.focusable = m_group->view().state().focusable;
            s.focused = m_group->hasFocus() && m_group->view().activePart() == m_part;
            s.pressed = part().pressed;
        }
        return s;
    }
    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Name || !isValid())
            return QString();
        return qText(part().name);
    }
    void setText(QAccessible::Text, const QString &) override { }
    QRect rect() const override
    {
        // Where its shape lies, on the screen.
        if (!isValid())
            return QRect();
        const Rect r = part().rect;
        return QRect(m_group->mapToGlobal(QPoint(r.x, r.y)), QSize(r.width, r.height));
    }
    void *interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface *>(this) : nullptr;
    }

    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString &name) override
    {
        if (name == pressAction() && m_group)
            Report::actionRequested(m_group->view(), m_part);
    }
    QStringList keyBindingsForAction(const QString &) const override { return {}; }

    int index() const { return m_part; }
    PictureBoxWidget *group() const { return m_group; }

private:
    PartView part() const { return m_group->view().parts()[std::size_t(m_part)]; }

    QPointer<PictureBoxWidget> m_group;
    int m_part;
};

class PictureBoxAccessible final : public QAccessibleWidget
{
public:
    explicit PictureBoxAccessible(PictureBoxWidget *w)
        : QAccessibleWidget(w, roleOf(w->view().role())), m_widget(w)
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
            return qText(view().accessibleName());
        if (t == QAccessible::Description)
            return qText(view().accessibleDescription());
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        const AccessibleState shown = view().state();
        s.focusable = shown.focusable;
        s.focused = shown.focused;
        s.pressed = shown.pressed;
        s.checkable = shown.checkable;
        s.checked = shown.checked;
        return s;
    }
    // Its default action, when it has one, is a press; what the press does is its description.
    QStringList actionNames() const override
    {
        if (view().defaultAction().empty())
            return {};
        return {pressAction()};
    }
    QString localizedActionDescription(const QString &name) const override
    {
        if (name == pressAction() && !view().defaultAction().empty())
            return qText(view().defaultAction());
        return QAccessibleWidget::localizedActionDescription(name);
    }
    void doAction(const QString &name) override
    {
        if (name == pressAction())
            Report::actionRequested(view());
    }

    int childCount() const override { return int(view().parts().size()); }
    QAccessibleInterface *child(int index) const override
    {
        if (index < 0 || index >= childCount())
            return nullptr;
        auto &ids = const_cast<PictureBoxAccessible *>(this)->m_partIds;
        if (ids.size() <= std::size_t(index))
            ids.resize(std::size_t(childCount()), 0);
        if (!ids[std::size_t(index)])
            ids[std::size_t(index)] = QAccessible::registerAccessibleInterface(new KeyPartAccessible(m_widget, index));
        return QAccessible::accessibleInterface(ids[std::size_t(index)]);
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        if (const auto *part = dynamic_cast<const KeyPartAccessible *>(child))
            return part->group() == m_widget ? part->index() : -1;
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
    ControlView view() const { return m_widget->view(); }

    PictureBoxWidget *m_widget;
    std::vector<QAccessible::Id> m_partIds;
};

// A standard option button, which the toolkit does not group (the runtime does), or check box,
// whose check the runtime toggles: still a radio button or a check box to assistive technology,
// and its action is a click, which the runtime decides, as any other.
class RuntimeButtonAccessible final : public QAccessibleWidget
{
public:
    RuntimeButtonAccessible(QAbstractButton *b, QAccessible::Role role) : QAccessibleWidget(b, role) { }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return button()->text().remove(QLatin1Char('&')); // no mnemonic marks
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.checkable = true;
        s.checked = button()->isChecked();
        return s;
    }
    QStringList actionNames() const override { return QStringList{toggleAction()} + QAccessibleWidget::actionNames(); }
    void doAction(const QString &name) override
    {
        if (name == toggleAction() || name == pressAction())
            button()->click();
        else
            QAccessibleWidget::doAction(name);
    }

private:
    QAbstractButton *button() const { return static_cast<QAbstractButton *>(widget()); }
};

// A line of a window of text alone, which describes that window (FormView::describedBy): a
// paragraph of its text, as it labels no control. Qt 6.4 has no relation that says "describes";
// and a screen reader that finds the lines as loose labels reads those of three words or more as
// the window opens, then the description besides: the lines twice, the e-mail address once.
class DescriptionLineAccessible final : public QAccessibleWidget
{
public:
    explicit DescriptionLineAccessible(QLabel *label) : QAccessibleWidget(label, QAccessible::Paragraph) { }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return static_cast<QLabel *>(widget())->text();
        return QAccessibleWidget::text(t);
    }
};

bool describesItsForm(ControlView label)
{
    const std::vector<ControlView> lines = label.form().describedBy();
    return std::find(lines.begin(), lines.end(), label) != lines.end();
}

// A form's window: a dialog when shown over another form, named by its caption.
class FormWindowAccessible final : public QAccessibleWidget
{
public:
    explicit FormWindowAccessible(FormWindow *w)
        : QAccessibleWidget(w, w->form().isDialog() ? QAccessible::Dialog : QAccessible::Window), m_window(w)
    {
    }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return widget()->windowTitle();
        if (t == QAccessible::Description)
            return qText(m_window->form().accessibleDescription());
        return QAccessibleWidget::text(t);
    }

private:
    FormWindow *m_window;
};

QAccessibleInterface *factory(const QString &, QObject *object)
{
    if (auto *box = dynamic_cast<PictureBoxWidget *>(object); box && box->view().role() != Role::None)
        return new PictureBoxAccessible(box);
    if (auto *window = dynamic_cast<FormWindow *>(object))
        return new FormWindowAccessible(window);
    if (auto *label = dynamic_cast<LabelWidget *>(object); label && describesItsForm(label->view()))
        return new DescriptionLineAccessible(label);
    // Known by what makes it ours from its start: Qt would call it a check box.
    if (auto *option = qobject_cast<QRadioButton *>(object); option && !option->autoExclusive())
        return new RuntimeButtonAccessible(option, QAccessible::RadioButton);
    if (auto *check = dynamic_cast<CheckBox *>(object))
        return new RuntimeButtonAccessible(check, QAccessible::CheckBox);
    return nullptr;
}

} // namespace

void installAccessibility()
{
    QAccessible::installFactory(factory);
}

void announce(QWidget *widget, ControlView control, Change change)
{
    if (!QAccessible::isActive() || !widget)
        return;
    QAccessible::State changed;
    changed.checked = change.has(Change::Checked);
    changed.pressed = change.has(Change::Pressed);
    if (changed.checked || changed.pressed) {
        QAccessibleStateChangeEvent event(widget, changed);
        QAccessible::updateAccessibility(&event);
    }
    // A key held or let go (Qt's bridge to AT-SPI passes on no change of a pressed state: a
    // screen reader reads it with the focus below).
    if (change.has(Change::PartPressed) && change.part >= 0) {
        QAccessible::State pressed;
        pressed.pressed = true;
        QAccessibleStateChangeEvent event(widget, pressed);
        event.setChild(change.part);
        QAccessible::updateAccessibility(&event);
    }
    // A screen reader follows the key the keyboard pressed: the focus goes to it at each press.
    if (const int active = control.activePart(); change.has(Change::ActivePart) && active >= 0 && widget->hasFocus()) {
        QAccessibleEvent event(widget, QAccessible::Focus);
        event.setChild(active);
        QAccessible::updateAccessibility(&event);
    }
}

} // namespace Runtime::QtUi
