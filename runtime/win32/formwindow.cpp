// Form windows.
#include "runtime/win32/formwindow.h"

#include "runtime/units.h"
#include "runtime/win32/backendimpl.h"
#include "runtime/win32/peers.h"
#include "runtime/win32/text.h"

#include <algorithm>
#include <string_view>
#include <utility>

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

SIZE clientSize(const Form &form)
{
    const FormDescription &d = form.description();
    return {twipsToPixels(d.client.width), twipsToPixels(d.client.height)};
}

RECT frameFor(Point origin, SIZE client, DWORD style)
{
    RECT r = {origin.x, origin.y, origin.x + client.cx, origin.y + client.cy};
    AdjustWindowRectEx(&r, style, FALSE, 0);
    return r;
}

bool shiftHeld() { return GetKeyState(VK_SHIFT) < 0; }

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

FormWindow::FormWindow(Win32Backend &backend, Form &form, FormWindow *owner)
    : m_backend(backend), m_form(form), m_owner(owner)
{
    // A fixed size: no sizing border, no maximise box. The main window can be minimised; a
    // window shown over another goes with it, and is a pop-up window with a caption, as a dialog
    // box is: Windows draws it alike, and under Wine with a window manager it is then a dialog
    // of its owner, which the manager lets take the focus as it opens (a plain window of its
    // owner's, kept off the task bar, it would not).
    m_style = (owner ? WS_POPUP : WS_OVERLAPPED | WS_MINIMIZEBOX) | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    const RECT frame = frameFor(form.storedOrigin(), clientSize(form), m_style);
    // The icons are the window class's: the title bar and the task bar show them. The window
    // clips its controls from its first painting on (show).
    m_hwnd = CreateWindowExW(0, kFormClass, wide(form.description().caption).c_str(),
                             m_style & ~WS_CLIPCHILDREN, frame.left, frame.top, frame.right - frame.left,
                             frame.bottom - frame.top, owner ? owner->hwnd() : nullptr, nullptr,
                             backend.instance(), this);
    allWindows().push_back(this);
}

FormWindow::~FormWindow()
{
    auto &all = allWindows();
    all.erase(std::remove(all.begin(), all.end(), this), all.end());
    enableOthers();
    if (m_hwnd && IsWindow(m_hwnd)) {
        SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0);
        DestroyWindow(m_hwnd);
    }
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
    // placed the window with it, and has nothing to correct once it is on the screen.
    m_hiddenWithOwner = false;
    const RECT frame = frameFor(clientOrigin, clientSize(m_form), m_style);
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
    // window is shown before the others are disabled: a window manager lets a new window take
    // the focus from an enabled one only (a disabled window, to it, takes no focus and must
    // keep what it has).
    const bool shown = IsWindowVisible(m_hwnd) && !IsIconic(m_hwnd);
    ShowWindow(m_hwnd, IsIconic(m_hwnd) ? SW_RESTORE : SW_SHOW);
    if (modal && m_disabled.empty()) {
        m_endModal = false;
        disableOthers();
    }
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
}

void FormWindow::hide()
{
    // The windows this one kept from input come back first, so that Windows hands the
    // activation to the owner rather than to another program.
    enableOthers();
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
    enableOthers();
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
        const Margins m = frameMargins();
        const RECT &r = placement.rcNormalPosition;
        return {r.left + m.left, r.top + m.top, r.right - r.left - m.left - m.right,
                r.bottom - r.top - m.top - m.bottom};
    }
    RECT r{};
    GetClientRect(m_hwnd, &r);
    POINT origin{0, 0};
    ClientToScreen(m_hwnd, &origin);
    return {origin.x, origin.y, r.right, r.bottom};
}

Margins FormWindow::frameMargins() const
{
    RECT r = {0, 0, 0, 0};
    AdjustWindowRectEx(&r, m_style, FALSE, 0);
    return {-r.left, -r.top, r.right, r.bottom};
}

Rect FormWindow::screenArea(Point point) const
{
    HMONITOR monitor = MonitorFromPoint(POINT{point.x, point.y}, MONITOR_DEFAULTTONEAREST);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!monitor || !GetMonitorInfoW(monitor, &info))
        return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    const RECT &w = info.rcWork;
    return {w.left, w.top, w.right - w.left, w.bottom - w.top};
}

void FormWindow::setTabOrder(const std::vector<Control *> &)
{
    // Each step is the form's to decide (Form::nextTabStop), as the checked element of a group
    // changes: nothing to keep here.
    m_lastFocus = nullptr;
}

void FormWindow::disableOthers()
{
    for (FormWindow *w : allWindows()) {
        if (w != this && IsWindowEnabled(w->m_hwnd)) {
            EnableWindow(w->m_hwnd, FALSE);
            m_disabled.push_back(w->m_hwnd);
        }
    }
}

void FormWindow::enableOthers()
{
    if (m_disabled.empty())
        return;
    for (HWND w : std::exchange(m_disabled, {})) {
        if (IsWindow(w))
            EnableWindow(w, TRUE);
    }
    if (m_owner && IsWindowVisible(m_owner->m_hwnd) && GetActiveWindow() == m_hwnd) {
        SetForegroundWindow(m_owner->m_hwnd);
        SetActiveWindow(m_owner->m_hwnd);
    }
}

void FormWindow::activatePopup()
{
    for (FormWindow *w : allWindows()) {
        if (std::find(w->m_disabled.begin(), w->m_disabled.end(), m_hwnd) == w->m_disabled.end())
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
        if (!w->m_disabled.empty()) {
            SetForegroundWindow(w->m_hwnd);
            SetActiveWindow(w->m_hwnd);
        }
    }
}

// ---- the keyboard -----------------------------------------------------------------------

namespace {

bool reachable(const Control *c)
{
    HWND w = hwndOf(*c);
    return w && IsWindowVisible(w) && IsWindowEnabled(w);
}

// A standard option button that is an element of a control array: its group.
bool standardOption(const Control &c)
{
    return c.kind() == Kind::OptionButton && c.description().index >= 0;
}

} // namespace

bool FormWindow::takeKey(const MSG &message)
{
    if (message.message != WM_KEYDOWN)
        return false;
    const bool ctrlOrAlt = GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0;
    switch (message.wParam) {
    case VK_TAB:
        if (ctrlOrAlt)
            return false;
        moveFocus(shiftHeld());
        return true;
    case VK_ESCAPE:
        // A modally shown form closes on Escape, as any dialog does.
        if (!m_form.isModal() || ctrlOrAlt)
            return false;
        SendMessageW(m_hwnd, WM_CLOSE, 0, 0);
        return true;
    case VK_UP:
    case VK_LEFT:
        return moveInGroup(GetFocus(), -1);
    case VK_DOWN:
    case VK_RIGHT:
        return moveInGroup(GetFocus(), 1);
    }
    // Any other key goes to the focused control: a bitmap control takes its own keys, the
    // arrows included (they move along the option balls, and are the pad's keys).
    return false;
}

Control *FormWindow::firstStop() const
{
    Control *first = m_form.nextTabStop(nullptr, false);
    Control *c = first;
    while (c && !reachable(c)) {
        c = m_form.nextTabStop(c, false);
        if (c == first)
            return nullptr;
    }
    return c;
}

void FormWindow::moveFocus(bool backwards)
{
    // The form decides the way: every control that takes focus, by TabIndex, a group of option
    // buttons one stop on its checked element. Stops that cannot take the focus now are passed.
    setKeyboardUsed();
    HWND focus = GetFocus();
    const Control *from = FormWindow::of(focus) == this ? controlOf(focus) : nullptr;
    Control *target = m_form.nextTabStop(from, backwards);
    for (Control *start = target; target && !reachable(target);) {
        target = m_form.nextTabStop(target, backwards);
        if (target == start)
            return;
    }
    if (!target)
        return;
    HWND window = hwndOf(*target);
    SetFocus(window);
    if (target->kind() == Kind::TextBox)
        SendMessageW(window, EM_SETSEL, 0, -1); // the whole text, ready to be typed over
}

bool FormWindow::moveInGroup(HWND focus, int step)
{
    // Only the standard option buttons: the bitmap ones take the arrows themselves.
    Control *focused = controlOf(focus);
    if (!focused || !standardOption(*focused) || FormWindow::of(focus) != this)
        return false;
    // The group: the elements of the same control array, by index.
    std::vector<Control *> group;
    for (const auto &c : m_form.controls()) {
        if (standardOption(*c) && std::string_view(c->description().name) == focused->description().name &&
            reachable(c.get()))
            group.push_back(c.get());
    }
    std::sort(group.begin(), group.end(), [](const Control *a, const Control *b) {
        return a->description().index < b->description().index;
    });
    const auto at = std::find(group.begin(), group.end(), focused);
    if (at == group.end())
        return false;
    const int n = int(group.size());
    Control *next = group[std::size_t(((int(at - group.begin()) + step) % n + n) % n)];
    SetFocus(hwndOf(*next));
    for (Control *c : group) {
        SendMessageW(hwndOf(*c), BM_SETCHECK, c == next ? BST_CHECKED : BST_UNCHECKED, 0);
        c->userChangedValue(c == next);
    }
    return true;
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
        // The frame's close command, Alt+F4 and Escape: the runtime closes the form (and
        // hides this window) or ends the program.
        if (!m_closing) {
            m_closing = true;
            m_form.closeRequested();
            m_closing = false;
        }
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus && IsChild(m_hwnd, focus))
                m_lastFocus = focus;
        } else if (!IsWindowEnabled(m_hwnd)) {
            // Activated under a modal window of ours (a click on it, or restored from the
            // task bar): the modal window takes over, once this activation is done.
            PostMessageW(m_hwnd, kActivateModal, 0, 0);
        } else if (!HIWORD(wParam)) {
            // The control that had the focus when the window was left, else the first stop.
            HWND focus = m_lastFocus && IsWindow(m_lastFocus) ? m_lastFocus : nullptr;
            if (!focus) {
                if (Control *first = firstStop())
                    focus = hwndOf(*first);
            }
            SetFocus(focus ? focus : m_hwnd);
        }
        return 0;
    case kActivateModal:
        activatePopup();
        return 0;
    case WM_SIZE:
        if (wParam == SIZE_MINIMIZED) {
            m_form.pointerLost();
            hideOwned();
            if (!m_disabled.empty() && m_owner)
                PostMessageW(m_hwnd, kMinimiseWithOwner, 0, 0);
        } else if (wParam == SIZE_RESTORED) {
            showOwned();
        }
        break;
    case kMinimiseWithOwner:
        // A modal window minimised on its own would leave its owner on the screen taking no
        // input, and itself hard to find: the owner goes down instead and takes this window
        // with it; both come back together.
        if (IsIconic(m_hwnd) && m_owner && !m_disabled.empty()) {
            ShowWindow(m_hwnd, SW_RESTORE);
            ShowWindow(m_owner->m_hwnd, SW_MINIMIZE);
        }
        return 0;
    case WM_SHOWWINDOW:
        if (!wParam)
            m_form.pointerLost();
        break;
    case WM_ENABLE:
        if (!wParam) {
            // A modal window takes the pointer: nothing here will hear the held buttons' releases.
            HWND capture = GetCapture();
            if (capture && IsChild(m_hwnd, capture))
                ReleaseCapture();
            m_form.pointerLost();
        }
        break;
    }
    return DefWindowProcW(m_hwnd, message, wParam, lParam);
}

} // namespace Runtime::Win32
