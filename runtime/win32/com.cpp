#include "runtime/win32/com.h"

#include "runtime/win32/text.h"

#include <cwchar>

namespace Runtime::Win32 {

namespace {

enum class State { NotStarted, Started, Unavailable };
State g_state = State::NotStarted;
ComFunctions g_functions;

template <class Function>
bool find(HMODULE library, const char *name, Function &out)
{
    const FARPROC found = library ? GetProcAddress(library, name) : nullptr;
    // FARPROC is the generic function pointer GetProcAddress gives; the caller names the type.
    out = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
    return found != nullptr;
}

// A library of the system's, from the system's folder only: not one of the same name beside the
// program or in the current folder.
HMODULE systemLibrary(const wchar_t *name)
{
    wchar_t path[MAX_PATH];
    const UINT length = GetSystemDirectoryW(path, MAX_PATH);
    if (length == 0 || length + 1 + std::wcslen(name) >= MAX_PATH)
        return nullptr;
    path[length] = L'\\';
    std::wcscpy(path + length + 1, name);
    return LoadLibraryW(path);
}

bool load(ComFunctions &f)
{
    HMODULE ole32 = systemLibrary(L"ole32.dll");
    HMODULE oleaut32 = systemLibrary(L"oleaut32.dll");
    HMODULE oleacc = systemLibrary(L"oleacc.dll");
    return find(ole32, "CoInitializeEx", f.initialize) && find(ole32, "CoUninitialize", f.uninitialize) &&
           find(ole32, "CoDisconnectObject", f.disconnectObject) &&
           find(oleaut32, "SysAllocStringLen", f.allocString) &&
           find(oleacc, "CreateStdAccessibleObject", f.createStdAccessibleObject) &&
           find(oleacc, "LresultFromObject", f.lresultFromObject);
}

} // namespace

const ComFunctions *com()
{
    if (g_state == State::NotStarted) {
        static const bool loaded = load(g_functions); // tried once
        g_state = loaded && SUCCEEDED(g_functions.initialize(nullptr, COINIT_APARTMENTTHREADED)) ? State::Started
                                                                                                   : State::Unavailable;
    }
    return g_state == State::Started ? &g_functions : nullptr;
}

void endCom()
{
    if (g_state == State::Started)
        g_functions.uninitialize();
    g_state = State::NotStarted;
}

void clearVariant(VARIANT *v)
{
    v->vt = VT_EMPTY;
}

VARIANT number(LONG value)
{
    VARIANT v;
    clearVariant(&v);
    v.vt = VT_I4;
    v.lVal = value;
    return v;
}

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

} // namespace Runtime::Win32
