// The windows: caption, size and place; About shown modally beside the main window and closed
// every way a user closes it; ending the program.
#include "doctest.h"
#include "quorvel.h"

using namespace quorvel;

namespace {

// Closing a window as a user does: its frame's close box, Alt+F4, Escape.
enum class Close { CloseBox, AltF4, Escape };

const char* nameOf(Close how)
{
    switch (how) {
    case Close::CloseBox: return "the close box";
    case Close::AltF4: return "Alt+F4";
    case Close::Escape: return "Escape";
    }
    return "?";
}

// The close box of a window with a caption: the rightmost button of the title bar.
POINT closeBox(HWND window)
{
    const RECT frame = screenRect(window);
    const POINT client = clientOrigin(window);
    const int border = client.x - frame.left;
    const int captionTop = frame.top + border;
    const int caption = client.y - captionTop;
    return {frame.right - border - GetSystemMetrics(SM_CXSIZE) / 2 - 1, captionTop + caption / 2};
}

bool close(HWND window, Close how)
{
    switch (how) {
    case Close::CloseBox:
        return click(closeBox(window));
    case Close::AltF4:
        return keyDown(VK_MENU) && tap(VK_F4) && keyUp(VK_MENU);
    case Close::Escape:
        return tap(VK_ESCAPE);
    }
    return false;
}

bool pressAndRelease(const Quorvel& q, const std::string& name, POINT pixel, Button button = Button::Left)
{
    return moveTo(q.at(name, pixel)) && press(button) && release(button);
}

constexpr POINT kButtonMiddle = {45, 17}; // of the About and Exit buttons' drawing areas

} // namespace

TEST_CASE("the main window: its caption, its client size and its place")
{
    Quorvel q;
    CHECK(narrow(text(q.main())) == "Quorvel" + std::string(29, ' ') + "version1.1");
    const SIZE size = clientSize(q.main());
    CHECK(size.cx == 335);
    CHECK(size.cy == 365);
    const POINT origin = clientOrigin(q.main());
    CHECK(origin.x == 156);
    CHECK(origin.y == 102);
    // A fixed size: no sizing border, no maximise box.
    const LONG style = GetWindowLongW(q.main(), GWL_STYLE);
    CHECK((style & WS_THICKFRAME) == 0);
    CHECK((style & WS_MAXIMIZEBOX) == 0);
    CHECK((style & WS_MINIMIZEBOX) != 0);
}

TEST_CASE("About opens modally beside the main window, closes every way, and opens again in the same place")
{
    for (Close how : {Close::CloseBox, Close::AltF4, Close::Escape}) {
        CAPTURE(nameOf(how));
        Quorvel q;
        const POINT mainOrigin = clientOrigin(q.main());
        for (int round = 1; round <= 2; ++round) {
            CAPTURE(round);
            REQUIRE(pressAndRelease(q, "Picture7", kButtonMiddle));
            HWND about = q.waitForOwned(L"QuorvelForm");
            REQUIRE(about != nullptr);
            CHECK(narrow(text(about)) == "About...");
            const SIZE size = clientSize(about);
            CHECK(size.cx == 285);
            CHECK(size.cy == 132);
            const POINT origin = clientOrigin(about);
            CHECK(origin.x == mainOrigin.x + 24);
            CHECK(origin.y == mainOrigin.y + 47);
            CHECK_FALSE(IsWindowEnabled(q.main()));
            CHECK(waitUntil([&] { return guiThreadInfo(about).hwndActive == about; }));
            // The About button came back up before the window opened.
            CHECK_MESSAGE(q.shows("Picture7", "Picture5"), q.difference("Picture7", "Picture5"));

            // The main window takes no input meanwhile: a click on the check box's ball does
            // nothing. Input is handled in the order it is sent, so once About has closed,
            // the click has been handled too.
            const RECT aboutRect = screenRect(about);
            const POINT ball = q.at("Chk1", {12, 12});
            REQUIRE_FALSE(PtInRect(&aboutRect, ball));
            REQUIRE(click(ball));
            if (how != Close::CloseBox)
                REQUIRE(moveTo(centre(about))); // the keys go to About, wherever the pointer is
            REQUIRE(close(about, how));
            CHECK(waitUntil([&] { return !IsWindowVisible(about); }));
            CHECK(waitUntil([&] { return IsWindowEnabled(q.main()) != FALSE; }));
            CHECK(waitUntil([&] { return guiThreadInfo(q.main()).hwndActive == q.main(); }));
            CHECK_MESSAGE(q.shows("Chk1", "ImageList2-1"), q.difference("Chk1", "ImageList2-1"));
            CHECK(q.process().running());
        }
    }
}

TEST_CASE("About's labels: the colours and fonts of its description")
{
    Quorvel q;
    REQUIRE(pressAndRelease(q, "Picture7", kButtonMiddle));
    HWND about = q.waitForOwned(L"QuorvelForm");
    REQUIRE(about != nullptr);
    struct Label {
        const wchar_t* text;
        COLORREF colour;
    };
    const Label labels[] = {
        {L"Copyright (C) Zennorak Design. All rights reserved.", GetSysColor(COLOR_HIGHLIGHTTEXT)},
        {L"quorvel@zennorak.example", RGB(255, 0, 0)},
        {L"If You will find it usefull - please contact me at", GetSysColor(COLOR_HIGHLIGHTTEXT)},
        {L"No limits to Your fantasy...", GetSysColor(COLOR_BTNTEXT)},
    };
    for (const Label& l : labels) {
        CAPTURE(narrow(l.text));
        HWND label = findChild(about, L"Static", l.text);
        REQUIRE(label != nullptr);
        const ScreenBlock block = grabScreen(clientScreenRect(label));
        REQUIRE_FALSE(block.rgb.empty());
        const std::uint32_t want = GetRValue(l.colour) << 16 | GetGValue(l.colour) << 8 | GetBValue(l.colour);
        int inColour = 0;
        for (std::uint32_t p : block.rgb)
            inColour += p == want;
        // Text strokes in that colour, not just a stray pixel.
        CHECK(inColour > 20);
    }
}

TEST_CASE("the program ends with status 0: Exit, and closing the main window")
{
    enum class End { Exit, CloseBox, AltF4 };
    for (End how : {End::Exit, End::CloseBox, End::AltF4}) {
        CAPTURE(static_cast<int>(how));
        Quorvel q;
        switch (how) {
        case End::Exit: REQUIRE(pressAndRelease(q, "Picture4", kButtonMiddle)); break;
        case End::CloseBox: REQUIRE(close(q.main(), Close::CloseBox)); break;
        case End::AltF4: REQUIRE(close(q.main(), Close::AltF4)); break;
        }
        CHECK(q.waitForExitCode() == 0);
    }
}

TEST_CASE("closing the main window while About is open ends the program with status 0")
{
    Quorvel q;
    REQUIRE(pressAndRelease(q, "Picture7", kButtonMiddle));
    REQUIRE(q.waitForOwned(L"QuorvelForm") != nullptr);
    // The main window is disabled: its close box answers no click, but the window system can
    // still ask it to close (a task bar's Close, a shutdown).
    REQUIRE(PostMessageW(q.main(), WM_CLOSE, 0, 0));
    CHECK(q.waitForExitCode() == 0);
}

TEST_CASE("minimising either window under About and restoring it leaves About usable and the main window working")
{
    // What a task bar or window manager does: minimise a window, and bring it back.
    enum class Minimised { Main, About };
    for (Minimised which : {Minimised::Main, Minimised::About}) {
        CAPTURE(which == Minimised::Main ? "the main window" : "About");
        Quorvel q;
        REQUIRE(pressAndRelease(q, "Picture7", kButtonMiddle));
        HWND about = q.waitForOwned(L"QuorvelForm");
        REQUIRE(about != nullptr);
        const POINT aboutOrigin = clientOrigin(about);

        if (which == Minimised::Main) {
            ShowWindow(q.main(), SW_MINIMIZE);
            CHECK(waitUntil([&] { return IsIconic(q.main()) != FALSE; }));
            CHECK(waitUntil([&] { return !IsWindowVisible(about); })); // it goes with its owner
            ShowWindow(q.main(), SW_RESTORE);
            CHECK(waitUntil([&] { return !IsIconic(q.main()); }));
        } else {
            // About goes down with the main window, as the program's one task; both come back
            // together.
            ShowWindow(about, SW_MINIMIZE);
            CHECK(waitUntil([&] { return IsIconic(q.main()) != FALSE; }));
            CHECK(waitUntil([&] { return !IsWindowVisible(about); }));
            ShowWindow(q.main(), SW_RESTORE);
            CHECK(waitUntil([&] { return !IsIconic(q.main()); }));
            CHECK_FALSE(IsIconic(about));
        }
        // A click on the main window, which About keeps from input, goes nowhere.
        REQUIRE(click(q.at("Picture1", {85, 52})));
        CHECK(waitUntil([&] { return IsWindowVisible(about) != FALSE; }));
        CHECK(waitUntil([&] { return guiThreadInfo(about).hwndActive == about; }));
        const POINT origin = clientOrigin(about);
        CHECK(origin.x == aboutOrigin.x);
        CHECK(origin.y == aboutOrigin.y);
        CHECK_FALSE(IsWindowEnabled(q.main()));

        REQUIRE(moveTo(centre(about)));
        REQUIRE(tap(VK_ESCAPE));
        CHECK(waitUntil([&] { return !IsWindowVisible(about); }));
        CHECK(q.action().empty()); // the click on the main window went nowhere
        CHECK(waitUntil([&] { return IsWindowEnabled(q.main()) != FALSE; }));
        REQUIRE(click(q.at("Picture1", {85, 15})));
        CHECK(q.waitForAction(L"Up"));
    }
}
