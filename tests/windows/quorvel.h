// One running Quorvel.exe, driven from outside as a person would, and read from outside: its
// windows and texts through the window system, its faces as pixels on the screen compared
// with the stored pictures (the test program carries its own copy of them).
#pragma once

#include "uidriver.h"

#include <windows.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace quorvel {

using namespace uidriver;

// Places in a control's drawing area that the tests press.
constexpr POINT kBall = {12, 12};         // the middle of a check box's or option button's ball
constexpr POINT kButtonMiddle = {45, 17}; // of the About and Exit buttons

// A control's face on the screen against a stored picture, with where they differ (for the
// doctest suites).
#define CHECK_FACE(q, name, picture) CHECK_MESSAGE((q).shows(name, picture), (q).difference(name, picture))
#define REQUIRE_FACE(q, name, picture) REQUIRE_MESSAGE((q).shows(name, picture), (q).difference(name, picture))

// The program under test: QUORVEL_EXE, else the one this test program was built with.
std::wstring programPath();

// The dots per inch the session was started with (tests/windows/scaled sets QUORVEL_TEST_DPI
// with them), 96 by default; and a length in pixels at 96 at that scale, to the nearest pixel.
// The faces, the places pressed and the drawing areas below are at that scale.
int sessionDpi();
int scaled(int pixels);

// A stored picture, as Windows reads it from this program's resources.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> rgb; // 0x00RRGGBB, top row first
    std::uint32_t at(int x, int y) const { return rgb[static_cast<std::size_t>(y) * width + x]; }
};
const Picture& storedPicture(const std::string& name);

// The bitmap controls: stored name ("Chk1", "Opt1(2)", "Picture4") to the name a screen reader
// reads, their window text ("qvCheck1", "qvOption1(2)", "Exit").
const std::map<std::string, std::string>& bitmapControlNames();

// The system's colours, set for the whole session while one of these lives (SetSysColors) and
// put back after it: a program started meanwhile draws in them. Each scheme sets the colours the
// program's windows are drawn in.
class ColourScheme {
public:
    enum Name { WineDefault, Classic, HighContrast };
    explicit ColourScheme(Name name);
    ~ColourScheme();
    ColourScheme(const ColourScheme&) = delete;
    ColourScheme& operator=(const ColourScheme&) = delete;
    static std::string nameOf(Name name);

private:
    std::vector<int> elements_;
    std::vector<COLORREF> before_;
};

// A COLORREF as 0x00RRGGBB, the screen's order.
inline std::uint32_t rgbOf(COLORREF c)
{
    return std::uint32_t(GetRValue(c)) << 16 | std::uint32_t(GetGValue(c)) << 8 | GetBValue(c);
}

// How many pixels of a window's client area on the screen are exactly `rgb` (its text strokes,
// when that is the text's colour).
int pixelsOf(HWND window, std::uint32_t rgb);

// The client size and place of a window, in screen pixels.
SIZE clientSize(HWND window);
POINT clientOrigin(HWND window);

class Quorvel {
public:
    // Started, and waited for until its main window shows the direction pad.
    Quorvel();
    // The same for a program started otherwise, running in `running` (`from` says how, for
    // the report).
    Quorvel(Process running, const std::string& from);
    // Closed through its main window (or, failing that, ended); no button is left held.
    ~Quorvel();
    Quorvel(const Quorvel&) = delete;
    Quorvel& operator=(const Quorvel&) = delete;

    const Process& process() const { return process_; }
    HWND main() const { return main_; }

    // A bitmap control by stored name ("Chk1", "Opt1(2)", "Picture4"), found by its window
    // text (see bitmapControlNames), and the screen point of a pixel of its drawing area (at a
    // scale, the middle of the pixel's place: the point that shows it however the device
    // pixels are shared out).
    HWND picture(const std::string& name) const;
    POINT at(const std::string& name, POINT pixel) const;
    RECT drawingArea(const std::string& name) const; // on the screen

    // Whether the picture box shows the stored picture at its drawing area's top-left corner
    // on the screen, where no control above it covers it; waits up to `timeout` for it. With
    // Focus::Dotted, the picture fills the drawing area and every other pixel along its edges
    // is inverted: the classic dotted focus rectangle. At a scale of whole pixels (192 dots per
    // inch) each stored pixel is a block of device pixels of its colour; at any other, each
    // device pixel has a colour of the stored pixels next to the place it maps to, none the
    // picture lacks (with no dotted rectangle).
    enum class Focus { None, Dotted };
    bool shows(const std::string& name, const std::string& pictureName, Millis timeout = kDefaultTimeout,
               Focus focus = Focus::None) const;
    // What differs now, for the report: "" when nothing does.
    std::string difference(const std::string& name, const std::string& pictureName, Focus focus = Focus::None) const;

    // The text of the Action box (Text2).
    std::wstring action() const;
    bool waitForAction(const std::wstring& expected) const;

    // A visible top-level window of the program with that class owned by the main window.
    HWND waitForOwned(const wchar_t* cls, Millis timeout = kDefaultTimeout) const;
    // The program's exit status, or 12345 when it is still running after 10 seconds.
    DWORD waitForExitCode() const;

private:
    void waitForMainWindow();

    Process process_;
    HWND main_ = nullptr;
};

} // namespace quorvel
