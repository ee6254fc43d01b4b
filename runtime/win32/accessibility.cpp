// Microsoft Active Accessibility for the forms: for each bitmap control an IAccessible that
// reads the control's view (role, name, description, state, default action, the parts of a group
// and the one the keyboard pressed last), and WinEvents for what changes; for a dialog, the
// system's object for a window with the form's role and description. A default action goes to
// the runtime from the message loop, as a key would; the focus moves with SetFocus.
#include "runtime/win32/accessibility.h"

#include "runtime/win32/com.h"
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

// What VariantInit does, without oleaut32 for it: an empty value.
void clear(VARIANT *v)
{
    v->vt = VT_EMPTY;
}

VARIANT number(LONG value)
{
    VARIANT v;
    clear(&v);
    v.vt = VT_I4;
    v.lVal = value;
    return v;
}

// A text handed to the client; none is S_FALSE.
HRESULT textOut(const std::string &text, BSTR *out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (text.empty())
        return S_FALSE;
    const ComFunctions *c = com();
    if (!c)
        return E_FAIL;
    const std::wstring w = wide(text);
    *out = c->allocString(w.data(), UINT(w.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

} // namespace

// What every object handed out to clients is: counted references, and a link to what it reads
// that is cut as the window goes (CO_E_OBJNOTCONNECTED from then on).
template <class Owner>
class AccessibleObject : public IAccessible
{
public:
    explicit AccessibleObject(Owner &owner) : m_owner(&owner) { }
    void disconnect() { m_owner = nullptr; }

    // ---- IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **out) override
    {
        if (!out)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IAccessible) {
            *out = static_cast<IAccessible *>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(InterlockedIncrement(&m_references)); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const LONG left = InterlockedDecrement(&m_references);
        if (left == 0)
            delete this;
        return ULONG(left);
    }

    // ---- IDispatch: clients call IAccessible's methods directly; no type information.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT *count) override
    {
        if (!count)
            return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo **info) override
    {
        if (info)
            *info = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR *, UINT, LCID, DISPID *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS *, VARIANT *, EXCEPINFO *, UINT *) override
    {
        return E_NOTIMPL;
    }

protected:
    virtual ~AccessibleObject() = default;

    Owner *m_owner;

private:
    LONG m_references = 1;
};

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
        clear(role);
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
        clear(state);
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
        clear(focus);
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
        clear(selection);
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
        POINT origin{0, 0};
        ClientToScreen(window(), &origin);
        RECT client{};
        GetClientRect(window(), &client);
        Rect r{0, 0, int(client.right), int(client.bottom)};
        if (c > 0)
            r = view().parts()[std::size_t(c - 1)].rect;
        *left = origin.x + r.x;
        *top = origin.y + r.y;
        *width = r.width;
        *height = r.height;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT *end) override
    {
        if (!end)
            return E_POINTER;
        clear(end);
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
        clear(hit);
        if (!m_owner)
            return CO_E_OBJNOTCONNECTED;
        POINT at{x, y};
        ScreenToClient(window(), &at);
        RECT client{};
        GetClientRect(window(), &client);
        if (!PtInRect(&client, at))
            return S_FALSE;
        LONG found = CHILDID_SELF;
        const std::vector<PartView> parts = view().parts();
        for (std::size_t i = 0; i < parts.size() && found == CHILDID_SELF; ++i) {
            if (parts[i].rect.contains({int(at.x), int(at.y)}))
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

// A form's window as the system shows any window's client area (its children, their places, the
// focus), with what the runtime adds: a dialog's role, and the description it reads as the window
// opens. The system's object reads the window alone, and stays valid after it.
class AccessibleForm final : public AccessibleObject<FormAccessibility>
{
public:
    AccessibleForm(FormAccessibility &owner, IAccessible *standard) : AccessibleObject(owner), m_standard(standard) { }
    ~AccessibleForm() override { m_standard->Release(); }

    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT *role) override
    {
        if (!self(child) || !m_owner || !m_owner->view().isDialog())
            return m_standard->get_accRole(child, role);
        if (!role)
            return E_POINTER;
        *role = number(ROLE_SYSTEM_DIALOG);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR *description) override
    {
        if (!self(child))
            return m_standard->get_accDescription(child, description);
        if (!m_owner) {
            if (description)
                *description = nullptr;
            return CO_E_OBJNOTCONNECTED;
        }
        return textOut(m_owner->view().accessibleDescription(), description);
    }

    // The rest is the system's.
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch **p) override { return m_standard->get_accParent(p); }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long *n) override { return m_standard->get_accChildCount(n); }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT c, IDispatch **d) override { return m_standard->get_accChild(c, d); }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT c, BSTR *t) override { return m_standard->get_accName(c, t); }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT c, BSTR *t) override { return m_standard->get_accValue(c, t); }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT c, VARIANT *v) override { return m_standard->get_accState(c, v); }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT c, BSTR *t) override { return m_standard->get_accHelp(c, t); }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR *f, VARIANT c, long *t) override
    {
        return m_standard->get_accHelpTopic(f, c, t);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT c, BSTR *t) override
    {
        return m_standard->get_accKeyboardShortcut(c, t);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT *v) override { return m_standard->get_accFocus(v); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT *v) override { return m_standard->get_accSelection(v); }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT c, BSTR *t) override
    {
        return m_standard->get_accDefaultAction(c, t);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long f, VARIANT c) override { return m_standard->accSelect(f, c); }
    HRESULT STDMETHODCALLTYPE accLocation(long *x, long *y, long *w, long *h, VARIANT c) override
    {
        return m_standard->accLocation(x, y, w, h, c);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long d, VARIANT s, VARIANT *e) override { return m_standard->accNavigate(d, s, e); }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT *v) override { return m_standard->accHitTest(x, y, v); }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT c) override { return m_standard->accDoDefaultAction(c); }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    static bool self(const VARIANT &child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

    IAccessible *m_standard;
};

// ---- FormAccessibility ------------------------------------------------------------------

FormAccessibility::~FormAccessibility()
{
    if (!m_object)
        return;
    m_object->disconnect();
    if (const ComFunctions *c = com())
        c->disconnectObject(m_object, 0);
    m_object->Release();
}

bool FormAccessibility::getObject(WPARAM flags, LPARAM objectId, LRESULT &result)
{
    // A main window with no description is the system's alone.
    if (DWORD(objectId) != DWORD(OBJID_CLIENT) || (!m_view.isDialog() && m_view.accessibleDescription().empty()))
        return false;
    const ComFunctions *c = com();
    if (!c)
        return false;
    if (!m_object) {
        IAccessible *standard = nullptr;
        if (FAILED(c->createStdAccessibleObject(m_window, OBJID_CLIENT, IID_IAccessible,
                                                reinterpret_cast<void **>(&standard))))
            return false;
        m_object = new AccessibleForm(*this, standard);
    }
    result = c->lresultFromObject(IID_IAccessible, flags, m_object);
    return true;
}

// ---- Accessibility ----------------------------------------------------------------------

Accessibility::Accessibility(HWND window, ControlView view) : m_window(window), m_view(view), m_announced(now()) { }

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

Accessibility::Announced Accessibility::now() const
{
    Announced a;
    a.state = m_view.state();
    for (const PartView &p : m_view.parts())
        a.partsPressed.push_back(p.pressed);
    a.activePart = m_view.activePart();
    a.name = m_view.accessibleName();
    a.description = m_view.accessibleDescription();
    a.defaultAction = m_view.defaultAction();
    return a;
}

void Accessibility::changed()
{
    Announced n = now();
    const Announced &was = m_announced;
    auto notify = [this](DWORD event, LONG child) { NotifyWinEvent(event, m_window, OBJID_CLIENT, child); };
    if (n.name != was.name) {
        SetWindowTextW(m_window, wide(n.name).c_str()); // the window's text is its name
        notify(EVENT_OBJECT_NAMECHANGE, CHILDID_SELF);
    }
    if (n.description != was.description)
        notify(EVENT_OBJECT_DESCRIPTIONCHANGE, CHILDID_SELF);
    // The key pressed from the keyboard becomes the focused part. The control's own focus
    // moves with the window's, which the system announces.
    if (n.activePart != was.activePart && n.activePart >= 0 && n.state.focused)
        notify(EVENT_OBJECT_FOCUS, n.activePart + 1);
    if ((stateOf(n.state) & ~STATE_SYSTEM_FOCUSED) != (stateOf(was.state) & ~STATE_SYSTEM_FOCUSED))
        notify(EVENT_OBJECT_STATECHANGE, CHILDID_SELF);
    for (std::size_t i = 0; i < n.partsPressed.size(); ++i) {
        if (i >= was.partsPressed.size() || n.partsPressed[i] != was.partsPressed[i])
            notify(EVENT_OBJECT_STATECHANGE, LONG(i + 1));
    }
    if (n.defaultAction != was.defaultAction)
        notify(EVENT_OBJECT_DEFACTIONCHANGE, CHILDID_SELF);
    m_announced = std::move(n);
}

void Accessibility::runAction(WPARAM child)
{
    // A modal window opened since it was asked for keeps the form from input, and from this.
    if (!takesInput())
        return;
    Report::actionRequested(m_view, int(child) - 1);
}

} // namespace Runtime::Win32
