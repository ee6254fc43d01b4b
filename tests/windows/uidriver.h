// Driving a Win32 program from outside, as a person at the keyboard and
// mouse would: start it, find its windows, move the pointer and press keys
// with SendInput, read window texts and screen pixels, and wait for effects
// without fixed sleeps.
#pragma once

#include "runtime/win32/text.h"

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace uidriver {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Millis = std::chrono::milliseconds;

inline constexpr Millis kDefaultTimeout = 5s;

// Polls `ready` every `step` until it returns true or `timeout` has passed;
// returns its last answer.
template <class Ready>
bool waitUntil(Ready&& ready, Millis timeout = kDefaultTimeout, Millis step = 2ms)
{
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        if (ready())
            return true;
        if (Clock::now() >= deadline)
            return ready();
        Sleep(static_cast<DWORD>(step.count()));
    }
}

// ---- the program under test -------------------------------------------------

class Process {
public:
    Process() = default;
    Process(Process&& other) noexcept;
    Process& operator=(Process&& other) noexcept;
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    ~Process(); // ends the program if it is still running

    // Starts `exe` with `arguments`; not started (see started()) on failure.
    static Process start(const std::wstring& exe, const std::wstring& arguments = {});
    // The running process `id`, to wait for, read and end; not started() when it cannot be
    // opened.
    static Process attach(DWORD id);

    bool started() const { return process_ != nullptr; }

    // WaitForInputIdle: true once the program waits for input for the first time.
    bool waitForInputIdle(Millis timeout = kDefaultTimeout) const;
    // True when the program ended within `timeout`; its exit code goes to `code`.
    bool waitForExit(Millis timeout, DWORD* code) const;
    bool running() const;

    // The first visible top-level window of this process with that class
    // and caption (null means any), waiting up to `timeout` for it.
    HWND waitForWindow(const wchar_t* cls, const wchar_t* title, Millis timeout = kDefaultTimeout) const;
    // Its top-level windows now, visible or not.
    std::vector<HWND> windows() const;

private:
    HANDLE process_ = nullptr;
    HANDLE thread_ = nullptr;
    DWORD id_ = 0;
};

// ---- windows ----------------------------------------------------------------

// First descendant of `parent` with that class and text (null means any).
HWND findChild(HWND parent, const wchar_t* cls, const wchar_t* text);
// Every descendant of `parent`, each before its own children.
std::vector<HWND> descendants(HWND parent);
std::wstring className(HWND window);
// WM_GETTEXT sent to the window (works across processes, and for controls).
std::wstring text(HWND window);
RECT screenRect(HWND window);        // GetWindowRect
RECT clientScreenRect(HWND window);  // client area in screen coordinates
POINT centre(HWND window);           // centre of its client area, screen coordinates
POINT clientToScreen(HWND window, POINT client);

// For failure reports: "Class \"text\" #id", or "none".
std::string describeWindow(HWND window);
// Foreground, active, focus and capture windows of the thread owning `window`.

// The GUI thread state of the thread that owns `window`: focus, active
// window, capture (all null when not known).
GUITHREADINFO guiThreadInfo(HWND window);

// Waits until the thread owning `window` has handled the input queued so far:
// it answers one sent WM_NULL after another; sent messages come before input,
// so the first answer only proves that the thread is pumping, the second that
// it took the queued input in between. False when it does not answer in time.
bool settle(HWND window, Millis timeout = kDefaultTimeout, int rounds = 2);

// ---- input ------------------------------------------------------------------

enum class Button { Left, Right, Middle };

// Normalised absolute coordinate for SendInput with MOUSEEVENTF_VIRTUALDESK:
// the smallest n whose pixel (n * size / 65536, rounded down) is `pixel`.
LONG normalise(int pixel, int origin, int size);

// How long a moved pointer must stay put before moveTo() trusts it.
inline constexpr Millis kPointerHold = 15ms;

// Moves the pointer and checks that it stays there (see uidriver.cpp).
bool moveTo(POINT screen);
bool press(Button button);
bool release(Button button);
// Move, press and release, each a separate SendInput.
bool click(POINT screen, Button button = Button::Left);
bool keyDown(WORD vk);
bool keyUp(WORD vk);
bool tap(WORD vk);
// Types ASCII letters and digits as virtual keys (lower case unless shift is held).
bool type(const std::string& text);

// ---- screen -----------------------------------------------------------------

// A block of the screen as 0x00RRGGBB, top row first (empty when it cannot be read).
struct ScreenBlock {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> rgb;
    std::uint32_t at(int x, int y) const { return rgb[static_cast<std::size_t>(y) * width + x]; }
};
ScreenBlock grabScreen(RECT area);

// ---- text -------------------------------------------------------------------

// UTF-8 from and to the window system's UTF-16, as the program's runtime converts them.
using Runtime::Win32::narrow;
inline std::wstring widen(const std::string& text) { return Runtime::Win32::wide(text); }

} // namespace uidriver
