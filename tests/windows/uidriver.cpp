#include "uidriver.h"

#include <cstdio>
#include <utility>

namespace uidriver {

// ---- the program under test -------------------------------------------------

Process::Process(Process&& other) noexcept
    : process_(std::exchange(other.process_, nullptr)), thread_(std::exchange(other.thread_, nullptr)),
      id_(std::exchange(other.id_, 0))
{
}

Process& Process::operator=(Process&& other) noexcept
{
    if (this != &other) {
        Process old(std::move(*this));
        process_ = std::exchange(other.process_, nullptr);
        thread_ = std::exchange(other.thread_, nullptr);
        id_ = std::exchange(other.id_, 0);
    }
    return *this;
}

Process::~Process()
{
    if (!process_)
        return;
    if (running()) {
        TerminateProcess(process_, 255);
        WaitForSingleObject(process_, 5000);
    }
    CloseHandle(thread_);
    CloseHandle(process_);
}

Process Process::start(const std::wstring& exe, const std::wstring& arguments)
{
    std::wstring commandLine = L"\"" + exe + L"\"";
    if (!arguments.empty())
        commandLine += L" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    Process p;
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info))
        return p;
    p.process_ = info.hProcess;
    p.thread_ = info.hThread;
    p.id_ = info.dwProcessId;
    return p;
}

Process Process::attach(DWORD id)
{
    Process p;
    p.process_ = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE, FALSE, id);
    if (p.process_)
        p.id_ = id;
    return p;
}

bool Process::waitForInputIdle(Millis timeout) const
{
    return WaitForInputIdle(process_, static_cast<DWORD>(timeout.count())) == 0;
}

bool Process::waitForExit(Millis timeout, DWORD* code) const
{
    if (WaitForSingleObject(process_, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0)
        return false;
    if (code)
        GetExitCodeProcess(process_, code);
    return true;
}

bool Process::running() const
{
    return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

namespace {

// Enumeration callbacks must be stdcall on i686, which lambdas are not.
struct ProcessWindows {
    DWORD pid;
    std::vector<HWND> found;
};

BOOL CALLBACK collectProcessWindow(HWND hwnd, LPARAM lp)
{
    auto* s = reinterpret_cast<ProcessWindows*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == s->pid)
        s->found.push_back(hwnd);
    return TRUE;
}

struct ChildSearch {
    const wchar_t* cls;
    const wchar_t* text;
    HWND found;
};

BOOL CALLBACK matchChild(HWND hwnd, LPARAM lp)
{
    auto* s = reinterpret_cast<ChildSearch*>(lp);
    if (s->cls && _wcsicmp(className(hwnd).c_str(), s->cls) != 0)
        return TRUE;
    if (s->text && text(hwnd) != s->text)
        return TRUE;
    s->found = hwnd;
    return FALSE;
}

} // namespace

std::vector<HWND> Process::windows() const
{
    ProcessWindows search{id_, {}};
    EnumWindows(collectProcessWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND Process::waitForWindow(const wchar_t* cls, const wchar_t* title, Millis timeout) const
{
    HWND found = nullptr;
    waitUntil(
        [&] {
            for (HWND hwnd : windows()) {
                if (!IsWindowVisible(hwnd))
                    continue;
                if (cls && className(hwnd) != cls)
                    continue;
                if (title && text(hwnd) != title)
                    continue;
                found = hwnd;
                return true;
            }
            return false;
        },
        timeout);
    return found;
}

// ---- windows ----------------------------------------------------------------

HWND findChild(HWND parent, const wchar_t* cls, const wchar_t* text)
{
    // FindWindowEx only looks at direct children; this looks at all descendants.
    ChildSearch search{cls, text, nullptr};
    EnumChildWindows(parent, matchChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<HWND> descendants(HWND parent)
{
    std::vector<HWND> all;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        all.push_back(child);
        for (HWND grandchild : descendants(child))
            all.push_back(grandchild);
    }
    return all;
}

std::wstring className(HWND window)
{
    wchar_t name[256] = {};
    const int n = GetClassNameW(window, name, 256);
    return std::wstring(name, n > 0 ? n : 0);
}

std::wstring text(HWND window)
{
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length))
        return {};
    std::wstring buffer(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                             SMTO_ABORTIFHUNG, 5000, &copied))
        return {};
    buffer.resize(copied);
    return buffer;
}

RECT screenRect(HWND window)
{
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

RECT clientScreenRect(HWND window)
{
    RECT r{};
    GetClientRect(window, &r);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

POINT centre(HWND window)
{
    const RECT r = clientScreenRect(window);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

POINT clientToScreen(HWND window, POINT client)
{
    ClientToScreen(window, &client);
    return client;
}

std::string describeWindow(HWND window)
{
    if (!window)
        return "none";
    if (!IsWindow(window))
        return "gone";
    return narrow(className(window)) + " \"" + narrow(text(window)) + "\" #" + std::to_string(GetDlgCtrlID(window));
}

GUITHREADINFO guiThreadInfo(HWND window)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) {
        info = GUITHREADINFO{};
        info.cbSize = sizeof info;
    }
    return info;
}

bool settle(HWND window, Millis timeout, int rounds)
{
    for (int i = 0; i < rounds; ++i) {
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, static_cast<UINT>(timeout.count()),
                                 &result))
            return false;
    }
    return true;
}

// ---- input ------------------------------------------------------------------

namespace {

bool sendOne(INPUT input)
{
    return SendInput(1, &input, sizeof input) == 1;
}

bool sendMouse(DWORD flags)
{
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    return sendOne(in);
}

bool sendKey(WORD vk, bool up)
{
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    switch (vk) {
    case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN:
    case VK_HOME: case VK_END: case VK_PRIOR: case VK_NEXT:
    case VK_INSERT: case VK_DELETE:
        in.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
        break;
    }
    if (up)
        in.ki.dwFlags |= KEYEVENTF_KEYUP;
    return sendOne(in);
}

DWORD downFlag(Button b)
{
    switch (b) {
    case Button::Left: return MOUSEEVENTF_LEFTDOWN;
    case Button::Right: return MOUSEEVENTF_RIGHTDOWN;
    case Button::Middle: return MOUSEEVENTF_MIDDLEDOWN;
    }
    return 0;
}

DWORD upFlag(Button b)
{
    switch (b) {
    case Button::Left: return MOUSEEVENTF_LEFTUP;
    case Button::Right: return MOUSEEVENTF_RIGHTUP;
    case Button::Middle: return MOUSEEVENTF_MIDDLEUP;
    }
    return 0;
}

} // namespace

LONG normalise(int pixel, int origin, int size)
{
    // ceil((pixel - origin) * 65536 / size)
    const long long offset = pixel - origin;
    return static_cast<LONG>((offset * 65536 + size - 1) / size);
}

bool moveTo(POINT screen)
{
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = normalise(screen.x, GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_CXVIRTUALSCREEN));
    in.mi.dy = normalise(screen.y, GetSystemMetrics(SM_YVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN));
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;
    auto there = [&] {
        POINT p{};
        return GetCursorPos(&p) && p.x == screen.x && p.y == screen.y;
    };
    // Under a window manager Wine may turn late X crossing events from an
    // earlier move into a move back to where the pointer was: the pointer
    // has to stay where it was sent for a moment, or it is sent again.
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (!sendOne(in))
            return false;
        if (waitUntil(there, 100ms, 1ms) && !waitUntil([&] { return !there(); }, kPointerHold, 1ms))
            return true;
    }
    return false;
}

bool press(Button button) { return sendMouse(downFlag(button)); }
bool release(Button button) { return sendMouse(upFlag(button)); }

bool click(POINT screen, Button button)
{
    return moveTo(screen) && press(button) && release(button);
}

bool keyDown(WORD vk) { return sendKey(vk, false); }
bool keyUp(WORD vk) { return sendKey(vk, true); }
bool tap(WORD vk) { return keyDown(vk) && keyUp(vk); }

bool type(const std::string& text)
{
    for (char c : text) {
        WORD vk = 0;
        if (c >= 'a' && c <= 'z')
            vk = static_cast<WORD>('A' + (c - 'a'));
        else if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ')
            vk = static_cast<WORD>(c);
        else
            return false;
        if (!tap(vk))
            return false;
    }
    return true;
}

// ---- screen -----------------------------------------------------------------

ScreenBlock grabScreen(RECT area)
{
    ScreenBlock block;
    const int width = area.right - area.left, height = area.bottom - area.top;
    if (width <= 0 || height <= 0)
        return block;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (dib) {
        HDC memory = CreateCompatibleDC(screen);
        HGDIOBJ old = SelectObject(memory, dib);
        if (BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY)) {
            GdiFlush();
            block.width = width;
            block.height = height;
            const auto* p = static_cast<const std::uint32_t*>(bits);
            block.rgb.assign(p, p + static_cast<std::size_t>(width) * height);
            for (auto& c : block.rgb)
                c &= 0x00FFFFFF;
        }
        SelectObject(memory, old);
        DeleteDC(memory);
        DeleteObject(dib);
    }
    ReleaseDC(nullptr, screen);
    return block;
}

} // namespace uidriver
