// Dots per inch on Windows: the per-monitor functions of Windows 10, or the system's scale.
#include "runtime/win32/dpi.h"

namespace Runtime::Win32 {

namespace {

// The functions of user32 that a system before Windows 10 (version 1607) lacks.
struct PerMonitor
{
    using DpiForWindow = UINT(WINAPI *)(HWND);
    using DpiForSystem = UINT(WINAPI *)();
    using AdjustForDpi = BOOL(WINAPI *)(LPRECT, DWORD, BOOL, DWORD, UINT);
    DpiForWindow dpiForWindow = nullptr;
    DpiForSystem dpiForSystem = nullptr;
    AdjustForDpi adjustForDpi = nullptr;
};

const PerMonitor &perMonitor()
{
    static const PerMonitor functions = [] {
        PerMonitor f;
        if (HMODULE user32 = GetModuleHandleW(L"user32.dll")) {
            f.dpiForWindow = reinterpret_cast<PerMonitor::DpiForWindow>(
                reinterpret_cast<void *>(GetProcAddress(user32, "GetDpiForWindow")));
            f.dpiForSystem = reinterpret_cast<PerMonitor::DpiForSystem>(
                reinterpret_cast<void *>(GetProcAddress(user32, "GetDpiForSystem")));
            f.adjustForDpi = reinterpret_cast<PerMonitor::AdjustForDpi>(
                reinterpret_cast<void *>(GetProcAddress(user32, "AdjustWindowRectExForDpi")));
        }
        return f;
    }();
    return functions;
}

} // namespace

int systemDpi()
{
    static const int dpi = [] {
        if (perMonitor().dpiForSystem)
            return int(perMonitor().dpiForSystem());
        HDC screen = GetDC(nullptr);
        const int perInch = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
        if (screen)
            ReleaseDC(nullptr, screen);
        return perInch > 0 ? perInch : Dpi::Logical;
    }();
    return dpi;
}

int windowDpi(HWND window)
{
    const int dpi = perMonitor().dpiForWindow && window ? int(perMonitor().dpiForWindow(window)) : 0;
    return dpi > 0 ? dpi : systemDpi();
}

RECT frameAround(RECT client, DWORD style, int dpi)
{
    if (!perMonitor().adjustForDpi || !perMonitor().adjustForDpi(&client, style, FALSE, 0, UINT(dpi)))
        AdjustWindowRectEx(&client, style, FALSE, 0);
    return client;
}

} // namespace Runtime::Win32
