// COM and Active Accessibility as the back end calls them. Their libraries (oleacc, ole32,
// oleaut32, and what those load in turn) are loaded when a screen reader first asks a window for
// its object, not at start: most starts never meet a screen reader, and every one would pay for
// loading them.
#pragma once

#include <windows.h>

#include <oleacc.h>

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

} // namespace Runtime::Win32
