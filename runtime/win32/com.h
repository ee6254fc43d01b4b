// COM and Active Accessibility as the back end calls them: their libraries, and what every
// object handed to a screen reader is. The libraries (oleacc, ole32, oleaut32, and what those
// load in turn) are loaded when a screen reader first asks a window for its object, not at
// start: most starts never meet a screen reader, and every one would pay for loading them.
#pragma once

#include <windows.h>

#include <oleacc.h>

#include <string>

namespace Runtime::Win32 {

// The functions the back end calls, found by name in their libraries.
struct ComFunctions
{
    decltype(&::CoInitializeEx) initialize = nullptr;
    decltype(&::CoUninitialize) uninitialize = nullptr;
    decltype(&::CoDisconnectObject) disconnectObject = nullptr;
    decltype(&::SysAllocStringLen) allocString = nullptr;
    decltype(&::CreateStdAccessibleObject) createStdAccessibleObject = nullptr;
    decltype(&::LresultFromObject) lresultFromObject = nullptr;
};

// The functions, with COM started on the program's one thread: the libraries are loaded and COM
// started on the first call. Null when a library or a function is missing or COM would not
// start; each window then answers as the system answers for any window.
const ComFunctions *com();

// COM as the program found it, once the last window is gone. The libraries stay loaded: a
// client may still hold an object until it is told the object is gone.
void endCom();

// An empty value, as VariantInit makes one (without oleaut32 for it).
void clearVariant(VARIANT *v);
// A number handed to a client.
VARIANT number(LONG value);
// A text handed to a client; none is S_FALSE.
HRESULT textOut(const std::string &text, BSTR *out);

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

} // namespace Runtime::Win32
