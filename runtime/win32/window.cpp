// Form windows.
#include "runtime/win32/window.h"

#include "runtime/win32/accessibility.h"
#include "runtime/win32/backend.h"
#include "runtime/win32/dpi.h"
#include "runtime/win32/peers.h"
#include "runtime/win32/text.h"

#include <algorithm>

namespace Runtime::Win32 {

namespace {

// Posted to a disabled window that was activated: the modal window over it takes over.
constexpr UINT kActivateModal = WM_APP + 2;
// Posted to a modal window that was minimised: the program goes down as a whole.
constexpr UINT kMinimiseWithOwner = WM_APP + 3;

std::vector<FormWindow *> &allWindows()
{
    static std::vector<FormWindow *> windows;
    return windows;
}

} // namespace

bool FormWindow::registerClass(HINSTANCE instance, HICON icon, HICON smallIcon)
{
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = windowProc;
    wc.hInstance = instance;
    wc.hIcon = icon;
    wc.hIconSm = smallIcon;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kFormClass;
    return RegisterClassExW(&wc) != 0;
}

FormWindow::FormWindow(Win32Backend &backend, FormView form, FormWindow *owner)
    : m_backend(backend), m_form(form), m_owner(owner)
{
    // A fixed size: no sizing border, no maximise box. The main window can be minimised; a
    // window shown over another goes with it, and is a pop-up window with a caption, as a dialog
    // box is: Windows draws it alike, and under Wine with a window manager it is then a dialog
    // of its owner, which the manager lets take the focus as it opens (a plain window of its
    // owner's, kept off the task bar, it would not).
    m_style = (owner ? WS_POPUP : WS_OVERLAPPED | WS_MINIMIZEBOX) | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    // Made at the system's scale; a window that opens on a monitor of another scale is laid out
    // again at that one before its controls are made.
    m_dpi = systemDpi();
    const Rect stored = form.storedClient();
    const RECT frame = frameFor({stored.x, stored.y});
    // The icons are the window class's: the title bar and the task bar show them. The window
    // clips its controls from its first painting on (show).
    m_hwnd = CreateWindowExW(0, kFormClass, wide(form.caption()).c_str(),
                             m_style & ~WS_CLIPCHILDREN, frame.left, frame.top, frame.right - frame.left,
                             frame.bottom - frame.top, owner ? owner->hwnd() : nullptr, nullptr,
                             backend.instance(), this);
    allWindows().push_back(this);
    if (const int dpi = m_hwnd ? windowDpi(m_hwnd) : m_dpi; dpi != m_dpi) {
        m_dpi = dpi;
        const RECT scaled = frameFor({stored.x, stored.y});
        SetWindowPos(m_hwnd, nullptr, scaled.left, scaled.top, scaled.right - scaled.left, scaled.bottom - scaled.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        setIcons();
    }
}

FormWindow::~FormWindow()
{
    auto &all = allWindows();
    all.erase(std::remove(all.begin(), all.end(), this), all.end());
    if (m_hwnd && IsWindow(m_hwnd)) {
        SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0);
        DestroyWindow(m_hwnd);
    }
}

RECT FormWindow::frameFor(Point clientOrigin) const
{
    const Rect stored = m_form.storedClient();
    return frameAround(device(Rect{clientOrigin.x, clientOrigin.y, stored.width, stored.height}, m_dpi), m_style, m_dpi);
}

RECT FormWindow::deviceMargins() const
{
    const RECT none = frameAround({0, 0, 0, 0}, m_style, m_dpi);
    return {-none.left, -none.top, none.right, none.bottom};
}

void FormWindow::setIcons()
{
    const Win32Backend::Icons &icons = m_backend.icons(m_dpi);
    SendMessageW(m_hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icons.large));
    SendMessageW(m_hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icons.small));
}

void FormWindow::rescale(int dpi, const RECT &suggested)
{
    m_dpi = dpi;
    rescaleControls(m_hwnd, dpi);
    setIcons();
    SetWindowPos(m_hwnd, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(m_hwnd, nullptr, TRUE);
}

FormWindow *FormWindow::of(HWND window)
{
    if (!window)
        return nullptr;
    HWND root = GetAncestor(window, GA_ROOT);
    for (FormWindow *w : allWindows()) {
        if (w->m_hwnd == root)
            return w;
    }
    return nullptr;
}

void FormWindow::show(Point clientOrigin, bool modal)
{
    // The frame is Windows' own, known before the window is shown (frameMargins): the runtime
    // placed the window with it.
    m_hiddenWithOwner = false;
    const RECT frame = frameFor(clientOrigin);
    if (IsIconic(m_hwnd)) {
        WINDOWPLACEMENT placement{};
        placement.length = sizeof placement;
        GetWindowPlacement(m_hwnd, &placement);
        placement.rcNormalPosition = frame;
        SetWindowPlacement(m_hwnd, &placement);
    } else if (RECT now{}; !GetWindowRect(m_hwnd, &now) || !EqualRect(&now, &frame)) {
        // Moved only when it is not there already (the main window is made at its place).
        SetWindowPos(m_hwnd, nullptr, frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // Showing a hidden window activates it; one already shown is brought forward. A modal
    // window is shown before the runtime blocks the others: a window manager lets a new window
    // take the focus from an enabled one only (a disabled window, to it, takes no focus and must
    // keep what it has).
    const bool shown = IsWindowVisible(m_hwnd) && !IsIconic(m_hwnd);
    ShowWindow(m_hwnd, IsIconic(m_hwnd) ? SW_RESTORE : SW_SHOW);
    if (modal)
        m_endModal = false;
    if (shown || GetActiveWindow() != m_hwnd) {
        SetForegroundWindow(m_hwnd);
        SetActiveWindow(m_hwnd);
    }
    UpdateWindow(m_hwnd);
    // Shown for the first time, the window and its controls were painted in one pass, each
    // control erasing its own background in its WM_PAINT rather than in a pass of its own as
    // the window is shown. From now on the window clips its controls, so that repainting it
    // alone never paints over them.
    if (const LONG_PTR style = GetWindowLongPtrW(m_hwnd, GWL_STYLE); !(style & WS_CLIPCHILDREN))
        SetWindowLongPtrW(m_hwnd, GWL_STYLE, style | WS_CLIPCHILDREN);
    // On the screen and framed: the runtime checks that it fits, as on every platform.
    Report::windowShown(m_form);
}

void FormWindow::hide()
{
    // The owner takes over from this window as it goes, as from a dialog box: the runtime freed
    // it first, and Windows would otherwise hand the activation to another program.
    HWND owner = m_owner ? m_owner->m_hwnd : nullptr;
    if (owner && IsWindowVisible(owner) && IsWindowEnabled(owner) && GetActiveWindow() == m_hwnd) {
        SetForegroundWindow(owner);
        SetActiveWindow(owner);
    }
    m_hiddenWithOwner = false;
    ShowWindow(m_hwnd, SW_HIDE);
}

bool FormWindow::isVisible() const
{
    return m_hiddenWithOwner || IsWindowVisible(m_hwnd) != FALSE;
}

void FormWindow::runModal()
{
    m_backend.runUntil(m_endModal);
}

void FormWindow::endModal()
{
    m_endModal = true;
    PostMessageW(m_hwnd, WM_NULL, 0, 0); // wakes the modal loop
}

Rect FormWindow::clientRect() const
{
    if (IsIconic(m_hwnd)) {
        // Minimised, the window keeps its place for when it comes back.
        WINDOWPLACEMENT placement{};
        placement.length = sizeof placement;
        GetWindowPlacement(m_hwnd, &placement);
        const RECT m = deviceMargins();
        const RECT &r = placement.rcNormalPosition;
        return logical(RECT{r.left + m.left, r.top + m.top, r.right - m.right, r.bottom - m.bottom}, m_dpi);
    }
    RECT r{};
    GetClientRect(m_hwnd, &r);
    POINT origin{0, 0};
    ClientToScreen(m_hwnd, &origin);
    return logical(RECT{origin.x, origin.y, origin.x + r.right, origin.y + r.bottom}, m_dpi);
}

Margins FormWindow::frameMargins() const
{
    const RECT m = deviceMargins();
    return {logical(m.left, m_dpi), logical(m.top, m_dpi), logical(m.right, m_dpi), logical(m.bottom, m_dpi)};
}

Rect FormWindow::screenArea(Point point) const
{
    HMONITOR monitor = MonitorFromPoint(POINT{device(point.x, m_dpi), device(point.y, m_dpi)}, MONITOR_DEFAULTTONEAREST);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!monitor || !GetMonitorInfoW(monitor, &info))
        info.rcWork = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return logical(info.rcWork, m_dpi);
}

void FormWindow::setBlocked(bool blocked)
{
    EnableWindow(m_hwnd, !blocked);
}

void FormWindow::activatePopup()
{
    for (FormWindow *w : allWindows()) {
        if (w == this || !IsWindowEnabled(w->m_hwnd) || !w->isVisible())
            continue;
        if (IsIconic(w->m_hwnd))
            ShowWindow(w->m_hwnd, SW_RESTORE);
        SetForegroundWindow(w->m_hwnd);
        SetActiveWindow(w->m_hwnd);
        return;
    }
}

void FormWindow::hideOwned()
{
    for (FormWindow *w : allWindows()) {
        if (w->m_owner == this && IsWindowVisible(w->m_hwnd)) {
            w->m_hiddenWithOwner = true;
            ShowWindow(w->m_hwnd, SW_HIDE);
        }
    }
}

void FormWindow::showOwned()
{
    for (FormWindow *w : allWindows()) {
        if (w->m_owner != this || !w->m_hiddenWithOwner)
            continue;
        w->m_hiddenWithOwner = false;
        ShowWindow(w->m_hwnd, SW_SHOWNA);
        if (!IsWindowEnabled(m_hwnd)) { // blocked by the window shown again
            SetForegroundWindow(w->m_hwnd);
            SetActiveWindow(w->m_hwnd);
        }
    }
}

// ---- messages ---------------------------------------------------------------------------

LRESULT CALLBACK FormWindow::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto *create = reinterpret_cast<CREATESTRUCTW *>(lParam);
        auto *self = static_cast<FormWindow *>(create->lpCreateParams);
        self->m_hwnd = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto *self = reinterpret_cast<FormWindow *>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (message == WM_NCDESTROY)
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    if (!self || message == WM_NCCREATE)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    return self->handle(message, wParam, lParam);
}

LRESULT FormWindow::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (handleControlMessage(message, wParam, lParam, result))
        return result;
    switch (message) {
    case WM_CLOSE:
        // The frame's close command and Alt+F4: the runtime closes the form (and hides this
        // window) or ends the program.
        if (!m_closing) {
            m_closing = true;
            Report::closeRequested(m_form);
            m_closing = false;
        }
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE)
            return 0; // left: the runtime keeps which control had the focus
        if (!IsWindowEnabled(m_hwnd)) {
            // Activated under a modal window of ours (a click on it, or restored from the
            // task bar): the modal window takes over, once this activation is done.
            PostMessageW(m_hwnd, kActivateModal, 0, 0);
        } else if (!HIWORD(wParam)) {
            // The runtime gives the focus back to the control that had it.
            Report::windowActivated(m_form);
        }
        return 0;
    case kActivateModal:
        activatePopup();
        return 0;
    case WM_SIZE:
        if (wParam == SIZE_MINIMIZED) {
            Report::windowMinimised(m_form);
            hideOwned();
            if (blocksOwner())
                PostMessageW(m_hwnd, kMinimiseWithOwner, 0, 0);
        } else if (wParam == SIZE_RESTORED) {
            showOwned();
        }
        break;
    case kMinimiseWithOwner:
        // A modal window minimised on its own would leave its owner on the screen taking no
        // input, and itself hard to find: the owner goes down instead and takes this window
        // with it; both come back together.
        if (IsIconic(m_hwnd) && blocksOwner()) {
            ShowWindow(m_hwnd, SW_RESTORE);
            ShowWindow(m_owner->m_hwnd, SW_MINIMIZE);
        }
        return 0;
    case WM_SHOWWINDOW:
        if (!wParam)
            Report::windowHidden(m_form);
        break;
    case WM_GETOBJECT:
        if (!m_accessibility)
            m_accessibility = std::make_unique<FormAccessibility>(m_hwnd, m_form);
        if (m_accessibility->getObject(wParam, lParam, result))
            return result;
        break;
    case kGetDpiScaledSize: {
        // The size at the new scale, exactly: what WM_DPICHANGED then suggests.
        if (!lParam)
            break;
        const int dpi = int(wParam);
        const Rect stored = m_form.storedClient();
        const RECT frame = frameAround(device(Rect{0, 0, stored.width, stored.height}, dpi), m_style, dpi);
        *reinterpret_cast<SIZE *>(lParam) = {frame.right - frame.left, frame.bottom - frame.top};
        return TRUE;
    }
    case kDpiChanged:
        // Moved to a monitor of another scale, or the scale changed.
        if (!lParam || HIWORD(wParam) == 0)
            break;
        rescale(HIWORD(wParam), *reinterpret_cast<const RECT *>(lParam));
        return 0;
    case WM_ENABLE:
        if (!wParam) {
            // A modal window takes the pointer: nothing here will hear the held buttons' releases.
            HWND capture = GetCapture();
            if (capture && IsChild(m_hwnd, capture))
                ReleaseCapture();
        }
        break;
    }
    return DefWindowProcW(m_hwnd, message, wParam, lParam);
}

} // namespace Runtime::Win32
