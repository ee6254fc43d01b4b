// A bitmap control as a screen reader reads it through Microsoft Active Accessibility: an
// IAccessible that reads the control's view (role, name, description, state, default action, the
// parts of a group and the one the keyboard pressed last), and WinEvents for what the runtime says
// changed. A default action goes to the runtime from the message loop, as a key would; the focus
// moves with SetFocus.
#include "runtime/win32/accessibility.h"

#include "runtime/win32/com.h"
#include "runtime/win32/peers.h"
#include "runtime/win32/text.h"

namespace Runtime::Win32 {

namespace {

LONG roleOf(Role role)
{
    switch (role) {
    case Role::CheckBox: return ROLE_SYSTEM_CHECKBUTTON;
    case Role::RadioButton: return ROLE_SYSTEM_RADIOBUTTON;
    case Role::PushButton: return ROLE_SYSTEM_PUSHBUTTON;
    case Role::Grouping: return ROLE_SYSTEM_GROUPING;
    case Role::None: break;
    }
    return ROLE_SYSTEM_CLIENT;
}

LONG stateOf(const AccessibleState &s)
{
    LONG state = 0;
    if (s.focusable) state |= STATE_SYSTEM_FOCUSABLE;
    if (s.focused) state |= STATE_SYSTEM_FOCUSED;
    if (s.pressed) state |= STATE_SYSTEM_PRESSED;
    if (s.checked) state |= STATE_SYSTEM_CHECKED;
    return state;
}

} // namespace

// The control (child 0) and its parts (children 1 to n, simple elements with no object of
// their own).
class AccessibleControl final : public AccessibleObject<Accessibility>
{
public:
    using AccessibleObject::AccessibleObject;

    // ---- IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch **parent) override
    {
        if (!parent)
            return E_POINTER;
        *parent = nullptr;
        if (!m_owner)
            return CO_E_OBJNOTCONNECTED;
        // The window that holds the control, as the system shows any window.
        const ComFunctions *c = com();
        return c ? c->createStdAccessibleObject(window(), OBJID_WINDOW, IID_IDispatch, reinterpret_cast<void **>(parent))
                 : E_FAIL;
    }

    HRESULT STDMETHODCALLTYPE get_accChildCount(long *count) override
    {
        if (!count)
            return E_POINTER;
        *count = 0;
        if (!m_owner)
            return CO_E_OBJNOTCONNECTED;
        *count = long(view().parts().size());
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch **out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (!m_owner)
            return CO_E_OBJNOTCONNECTED;
        // A part is a simple element: the client asks this object about it by its number.
        return childOf(child) > 0 ? S_FALSE : E_INVALIDARG;
    }

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR *name) override
    {
        return read(child, name, [](ControlView v) { return v.accessibleName(); },
                    [](const PartView &p) { return p.name; });
    }

    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT, BSTR *value) override
    {
        if (value)
            *value = nullptr;
        return m_owner ? DISP_E_MEMBERNOTFOUND : CO_E_OBJNOTCONNECTED;
    }

    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR *description) override
    {
        return read(child, description, [](ControlView v) { return v.accessibleDescription(); },
                    [](const PartView &) { return std::string(); });
    }

    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT *role) override
    {
        if (!role)
            return E_POINTER;
        clearVariant(role);
        int c = 0;
        if (const HRESULT wrong = which(child, c); wrong != S_OK)
            return wrong;
        // Each part is a key that is pressed.
        *role = number(c == 0 ? roleOf(view().role()) : ROLE_SYSTEM_PUSHBUTTON);
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT *state) override
    {
        if (!state)
            return E_POINTER;
        clearVariant(state);
        int c = 0;
        if (const HRESULT wrong = which(child, c); wrong != S_OK)
            return wrong;
        const ControlView v = view();
        const AccessibleState whole = v.state();
        LONG s = 0;
        if (c == 0) {
            s = stateOf(whole);
        } else {
            if (v.parts()[std::size_t(c - 1)].pressed)
                s |= STATE_SYSTEM_PRESSED;
            if (whole.focused && v.activePart() == c - 1)
                s |= STATE_SYSTEM_FOCUSED;
        }
        if (!IsWindowVisible(window()))
            s |= STATE_SYSTEM_INVISIBLE;
        *state = number(s);
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR *help) override
    {
        if (help)
            *help = nullptr;
        return m_owner ? DISP_E_MEMBERNOTFOUND : CO_E_OBJNOTCONNECTED;
    }

    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR *file, VARIANT, long *topic) override
    {
        if (file)
            *file = nullptr;
        if (topic)
            *topic = 0;
        return m_owner ? DISP_E_MEMBERNOTFOUND : CO_E_OBJNOTCONNECTED;
    }

    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT, BSTR *shortcut) override
    {
        if (shortcut)
            *shortcut = nullptr;
        return m_owner ? DISP_E_MEMBERNOTFOUND : CO_E_OBJNOTCONNECTED;
    }

    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT *focus) override
    {
        if (!focus)
            return E_POINTER;
        clearVariant(focus);
        if (!m_owner)
            return CO_E_OBJNOTCONNECTED;
        const ControlView v = view();
        if (!v.state().focused)
            return S_FALSE;
        // The part the keyboard pressed last is the focused one, which a screen reader follows.
        const int part = v.activePart();
        *focus = number(part >= 0 ? part + 1 : CHILDID_SELF);
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT *selection) override
    {
        if (!selection)
            return E_POINTER;
        clearVariant(selection);
        return m_owner ? DISP_E_MEMBERNOTFOUND : CO_E_OBJNOTCONNECTED;
    }

    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR *action) override
    {
        return read(child, action, [](ControlView v) { return v.defaultAction(); },
                    [](const PartView &p) { return p.defaultAction; });
    }

    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override
    {
        int c = 0;
        if (const HRESULT wrong = which(child, c); wrong != S_OK)
            return wrong;
        // Only the focus, and only to the control: a part becomes the focused one when its key
        // is pressed.
        if (flags == SELFLAG_NONE)
            return S_OK;
        if (flags != SELFLAG_TAKEFOCUS || c != 0)
            return E_INVALIDARG;
        if (!view().state().focusable || !m_owner->takesInput())
            return S_FALSE;
        SetFocus(window()); // the runtime hears of it through WM_SETFOCUS
        return GetFocus() == window() ? S_OK : S_FALSE;
    }

    HRESULT STDMETHODCALLTYPE accLocation(long *left, long *top, long *width, long *height, VARIANT child) override
    {
        if (!left || !top || !width || !height)
            return E_POINTER;
        *left = *top = *width = *height = 0;
        int c = 0;
        if (const HRESULT wrong = which(child, c); wrong != S_OK)
            return wrong;
        // In the screen's pixels: a key where the box draws it, at the box's scale.
        POINT origin{0, 0};
        ClientToScreen(window(), &origin);
        RECT r{};
        GetClientRect(window(), &r);
        if (c > 0)
            r = deviceRect(window(), view().parts()[std::size_t(c - 1)].rect);
        *left = origin.x + r.left;
        *top = origin.y + r.top;
        *width = r.right - r.left;
        *height = r.bottom - r.top;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT *end) override
    {
        if (!end)
            return E_POINTER;
        clearVariant(end);
        int from = 0;
        if (const HRESULT wrong = which(start, from); wrong != S_OK)
            return wrong;
        const int count = int(view().parts().size());
        int to = 0;
        switch (direction) {
        case NAVDIR_FIRSTCHILD:
        case NAVDIR_LASTCHILD:
            if (from != 0)
                return E_INVALIDARG;
            to = count == 0 ? 0 : direction == NAVDIR_FIRSTCHILD ? 1 : count;
            break;
        case NAVDIR_NEXT:
        case NAVDIR_PREVIOUS:
            if (from == 0)
                return navigateWindows(direction, start, end);
            to = direction == NAVDIR_NEXT ? (from < count ? from + 1 : 0) : from - 1;
            break;
        default:
            if (from == 0)
                return navigateWindows(direction, start, end);
            return DISP_E_MEMBERNOTFOUND; // the parts are in reading order, not by place
        }
        if (to == 0)
            return S_FALSE;
        *end = number(to);
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT *hit) override
    {
        if (!hit)
            return E_POINTER;
        clearVariant(hit);
        if (!m_owner)
            return CO_E_OBJNOTCONNECTED;
        POINT at{x, y};
        ScreenToClient(window(), &at);
        RECT client{};
        GetClientRect(window(), &client);
        if (!PtInRect(&client, at))
            return S_FALSE;
        // The key drawn at that pixel of the screen, found in the control's own pixels.
        const Point pixel = controlPixel(window(), at);
        LONG found = CHILDID_SELF;
        const std::vector<PartView> parts = view().parts();
        for (std::size_t i = 0; i < parts.size() && found == CHILDID_SELF; ++i) {
            if (parts[i].rect.contains(pixel))
                found = LONG(i + 1);
        }
        *hit = number(found);
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override
    {
        int c = 0;
        if (const HRESULT wrong = which(child, c); wrong != S_OK)
            return wrong;
        const ControlView v = view();
        const std::string action = c == 0 ? v.defaultAction() : v.parts()[std::size_t(c - 1)].defaultAction;
        if (action.empty())
            return DISP_E_MEMBERNOTFOUND;
        if (!m_owner->takesInput())
            return E_FAIL;
        // Run from the message loop, as the key that does the same would be: the action may open
        // a modal window, which must not run inside the client's call.
        return PostMessageW(window(), Accessibility::kActionMessage, WPARAM(c), 0) ? S_OK : E_FAIL;
    }

    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    HWND window() const { return m_owner->window(); }
    ControlView view() const { return m_owner->view(); }

    // Whether the object still reads its control and names a child of it (in `c`), else the
    // error a client gets.
    HRESULT which(const VARIANT &child, int &c) const
    {
        if (!m_owner)
            return CO_E_OBJNOTCONNECTED;
        c = childOf(child);
        return c < 0 ? E_INVALIDARG : S_OK;
    }

    // The child a VARIANT names: 0 for the control itself, 1 to n for its parts; -1 for none.
    int childOf(const VARIANT &child) const
    {
        if (child.vt != VT_I4)
            return -1;
        if (child.lVal == CHILDID_SELF)
            return 0;
        return child.lVal >= 1 && child.lVal <= long(view().parts().size()) ? int(child.lVal) : -1;
    }

    template <class OfControl, class OfPart>
    HRESULT read(const VARIANT &child, BSTR *out, OfControl ofControl, OfPart ofPart) const
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        int c = 0;
        if (const HRESULT wrong = which(child, c); wrong != S_OK)
            return wrong;
        const ControlView v = view();
        return textOut(c == 0 ? ofControl(v) : ofPart(v.parts()[std::size_t(c - 1)]), out);
    }

    // From the control to the windows beside it, as the system goes from any window's client.
    HRESULT navigateWindows(long direction, VARIANT start, VARIANT *end) const
    {
        const ComFunctions *c = com();
        IAccessible *standard = nullptr;
        if (!c || FAILED(c->createStdAccessibleObject(window(), OBJID_CLIENT, IID_IAccessible,
                                                      reinterpret_cast<void **>(&standard))))
            return S_FALSE;
        const HRESULT result = standard->accNavigate(direction, start, end);
        standard->Release();
        return result;
    }
};

// ---- Accessibility ----------------------------------------------------------------------

Accessibility::Accessibility(HWND window, ControlView view) : m_window(window), m_view(view) { }

Accessibility::~Accessibility()
{
    if (!m_object)
        return;
    m_object->disconnect();
    if (const ComFunctions *c = com())
        c->disconnectObject(m_object, 0); // the references clients still hold
    m_object->Release();
}

bool Accessibility::getObject(WPARAM flags, LPARAM objectId, LRESULT &result)
{
    const ComFunctions *c = DWORD(objectId) == DWORD(OBJID_CLIENT) ? com() : nullptr;
    if (!c)
        return false;
    if (!m_object)
        m_object = new AccessibleControl(*this);
    result = c->lresultFromObject(IID_IAccessible, flags, m_object);
    return true;
}

bool Accessibility::takesInput() const
{
    return IsWindowVisible(m_window) && IsWindowEnabled(GetAncestor(m_window, GA_ROOT));
}

void Accessibility::stateChanged(Change change)
{
    auto notify = [this](DWORD event, LONG child) { NotifyWinEvent(event, m_window, OBJID_CLIENT, child); };
    // The key pressed from the keyboard is the focused part, told on every press. The control's
    // own focus moves with the window's, which the system announces.
    if (change.has(Change::ActivePart) && m_view.activePart() >= 0 && m_view.state().focused)
        notify(EVENT_OBJECT_FOCUS, m_view.activePart() + 1);
    if (change.has(Change::Checked) || change.has(Change::Pressed))
        notify(EVENT_OBJECT_STATECHANGE, CHILDID_SELF);
    if (change.has(Change::PartPressed) && change.part >= 0)
        notify(EVENT_OBJECT_STATECHANGE, change.part + 1);
    if (change.has(Change::DefaultAction))
        notify(EVENT_OBJECT_DEFACTIONCHANGE, CHILDID_SELF);
}

void Accessibility::runAction(WPARAM child)
{
    // A modal window opened since it was asked for keeps the form from input, and from this.
    if (!takesInput())
        return;
    Report::actionRequested(m_view, int(child) - 1);
}


} // namespace Runtime::Win32
