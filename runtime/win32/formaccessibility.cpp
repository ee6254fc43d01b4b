// A form's window as a screen reader reads it through Microsoft Active Accessibility: the
// system's object for any window's client area, with a dialog's role and the form's description.
#include "runtime/win32/accessibility.h"

#include "runtime/win32/com.h"

namespace Runtime::Win32 {

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

} // namespace Runtime::Win32
