// The windows: caption, size and place; About shown modally over the main window, at its stored offset and closed
// every way a user closes it; ending the program.
#include "doctest.h"
#include "quorvel.h"

#include <map>

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

// The 16-pixel image of the program's icon as Quorvel.exe carries it: its colours, and which
// pixels are opaque.
struct Icon {
    int size = 0;
    std::vector<std::uint32_t> rgb;
    std::vector<bool> opaque;
};

Icon smallIcon()
{
    Icon icon;
    HMODULE file = LoadLibraryExW(programPath().c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!file)
        return icon;
    const int size = GetSystemMetrics(SM_CXSMICON);
    auto handle = static_cast<HICON>(LoadImageW(file, L"IDI_ICON1", IMAGE_ICON, size, size, 0));
    ICONINFO info{};
    if (handle && GetIconInfo(handle, &info) && info.hbmColor) {
        auto read = [size](HBITMAP bitmap) {
            std::vector<std::uint32_t> pixels(static_cast<std::size_t>(size) * size);
            BITMAPINFO request{};
            request.bmiHeader = {sizeof(BITMAPINFOHEADER), size, -size, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
            HDC dc = GetDC(nullptr);
            GetDIBits(dc, bitmap, 0, size, pixels.data(), &request, DIB_RGB_COLORS);
            ReleaseDC(nullptr, dc);
            for (auto& p : pixels)
                p &= 0x00FFFFFF;
            return pixels;
        };
        icon.size = size;
        icon.rgb = read(info.hbmColor);
        for (std::uint32_t m : read(info.hbmMask))
            icon.opaque.push_back(m == 0);
    }
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    if (info.hbmMask)
        DeleteObject(info.hbmMask);
    if (handle)
        DestroyIcon(handle);
    FreeLibrary(file);
    return icon;
}

// Whether the title bar of `window` shows the icon: somewhere in the left part of the bar, its
// opaque pixels exactly.
bool titleBarShows(HWND window, const Icon& icon)
{
    const RECT frame = screenRect(window);
    const POINT client = clientOrigin(window);
    const ScreenBlock bar = grabScreen({frame.left, frame.top, frame.left + 3 * icon.size, client.y});
    for (int dy = 0; dy + icon.size <= bar.height; ++dy) {
        for (int dx = 0; dx + icon.size <= bar.width; ++dx) {
            bool same = true;
            for (int i = 0; same && i < icon.size * icon.size; ++i) {
                if (icon.opaque[i])
                    same = bar.at(dx + i % icon.size, dy + i / icon.size) == icon.rgb[i];
            }
            if (same)
                return true;
        }
    }
    return false;
}

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

TEST_CASE("every window bears the program's icon in its title bar")
{
    const Icon icon = smallIcon();
    REQUIRE(icon.size > 0);
    Quorvel q;
    CHECK(waitUntil([&] { return titleBarShows(q.main(), icon); }));
    REQUIRE(click(q.at("Picture7", kButtonMiddle)));
    HWND about = q.waitForOwned(L"QuorvelForm");
    REQUIRE(about != nullptr);
    CHECK(waitUntil([&] { return titleBarShows(about, icon); }));
}

TEST_CASE("the colours: the system's, except where the description fixes one; each label on its own")
{
    // The most common colour of a block of the screen: its background.
    auto background = [](RECT area) {
        const ScreenBlock block = grabScreen(area);
        std::map<std::uint32_t, int> count;
        for (std::uint32_t p : block.rgb)
            ++count[p];
        std::uint32_t most = 0;
        int best = -1;
        for (const auto& [colour, n] : count) {
            if (n > best) {
                best = n;
                most = colour;
            }
        }
        return most;
    };
    for (auto scheme : {ColourScheme::WineDefault, ColourScheme::Classic, ColourScheme::HighContrast}) {
        const std::string name = ColourScheme::nameOf(scheme);
        CAPTURE(name);
        ColourScheme colours(scheme);
        Quorvel q;
        HWND frame1 = findChild(q.main(), L"Button", L"Standard MS Custom Controls");
        HWND frame2 = findChild(q.main(), L"Button", L"Zennorak Design Quorvel technics examples");
        REQUIRE((frame1 && frame2));
        HWND label2 = findChild(frame2, L"Static", L"Action:");
        HWND label3 = findChild(frame2, L"Static", L"qvOption1(1)");
        REQUIRE((label2 && label3));
        const RECT r1 = screenRect(frame1), r2 = screenRect(frame2);
        const COLORREF face = GetSysColor(COLOR_BTNFACE);
        const struct {
            std::string what;
            RECT area;
            COLORREF colour;
        } areas[] = {
            {"the form between the frames", {r1.left, r1.bottom + 1, r1.right, r2.top - 1}, face},
            {"Frame2, fixed grey", clientScreenRect(frame2), RGB(192, 192, 192)},
            {"Frame2's caption, in the frame's colours", {r2.left + 8, r2.top, r2.left + 150, r2.top + 12},
             RGB(192, 192, 192)},
            {"Label2 in Frame2, in its own colours", clientScreenRect(label2), face},
            {"Label3(1) in Frame2, in its own colours", clientScreenRect(label3), face},
            {"Label1 in Frame1", clientScreenRect(findChild(frame1, L"Static", L"Label1")), face},
            {"the Action box", clientScreenRect(findChild(frame2, L"Edit", nullptr)), GetSysColor(COLOR_WINDOW)},
        };
        for (const auto& a : areas) {
            CAPTURE(a.what);
            CHECK(waitUntil([&] { return background(a.area) == rgbOf(a.colour); }));
        }
        // The labels' texts stand in the button text's colour on their own face, whatever the
        // scheme: white on black in high contrast, not white on the frame's grey.
        for (HWND label : {label2, label3}) {
            CAPTURE(narrow(text(label)));
            CHECK(waitUntil([&] { return pixelsOf(label, rgbOf(GetSysColor(COLOR_BTNTEXT))) > 20; }));
        }
    }
}

TEST_CASE("About opens modally over the main window at its stored offset, closes every way, and opens again in the same place")
{
    for (Close how : {Close::CloseBox, Close::AltF4, Close::Escape}) {
        const std::string closedBy = nameOf(how);
        CAPTURE(closedBy);
        Quorvel q;
        const POINT mainOrigin = clientOrigin(q.main());
        for (int round = 1; round <= 2; ++round) {
            CAPTURE(round);
            REQUIRE(click(q.at("Picture7", kButtonMiddle)));
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
            CHECK_FACE(q, "Picture7", "Picture5");

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
            CHECK_FACE(q, "Chk1", "ImageList2-1");
            CHECK(q.process().running());
        }
    }
}

TEST_CASE("About's labels: the colours of its description, where they read on the system's colours")
{
    // The invitation and the legal notice are described in the highlight's text colour: white,
    // which reads on the classic grey face but not on Wine's near-white one, where they take
    // the button text's colour instead. In high contrast the highlight's text is black on a
    // black face: they take the button text's white.
    constexpr std::uint32_t kWhite = 0xFFFFFF, kBlack = 0x000000, kRed = 0xFF0000;
    const struct {
        ColourScheme::Name scheme;
        std::uint32_t highlighted, plain;
    } rows[] = {
        {ColourScheme::WineDefault, kBlack, kBlack},
        {ColourScheme::Classic, kWhite, kBlack},
        {ColourScheme::HighContrast, kWhite, kWhite},
    };
    for (const auto& row : rows) {
        const std::string name = ColourScheme::nameOf(row.scheme);
        CAPTURE(name);
        ColourScheme colours(row.scheme);
        Quorvel q;
        REQUIRE(click(q.at("Picture7", kButtonMiddle)));
        HWND about = q.waitForOwned(L"QuorvelForm");
        REQUIRE(about != nullptr);
        const struct {
            const wchar_t* text;
            std::uint32_t rgb;
        } labels[] = {
            {L"Copyright (C) Zennorak Design. All rights reserved.", row.highlighted},
            {L"quorvel@zennorak.example", kRed},
            {L"If You will find it usefull - please contact me at", row.highlighted},
            {L"No limits to Your fantasy...", row.plain},
        };
        for (const auto& l : labels) {
            CAPTURE(narrow(l.text));
            HWND label = findChild(about, L"Static", l.text);
            REQUIRE(label != nullptr);
            int inColour = 0;
            CAPTURE(inColour);
            // Text strokes in that colour, not just a stray pixel, once the window is painted.
            CHECK(waitUntil([&] { return (inColour = pixelsOf(label, l.rgb)) > 20; }));
        }
    }
}

TEST_CASE("the program ends with status 0: Exit, and closing the main window")
{
    enum class End { Exit, CloseBox, AltF4 };
    for (End how : {End::Exit, End::CloseBox, End::AltF4}) {
        CAPTURE(static_cast<int>(how));
        Quorvel q;
        switch (how) {
        case End::Exit: REQUIRE(click(q.at("Picture4", kButtonMiddle))); break;
        case End::CloseBox: REQUIRE(close(q.main(), Close::CloseBox)); break;
        case End::AltF4: REQUIRE(close(q.main(), Close::AltF4)); break;
        }
        CHECK(q.waitForExitCode() == 0);
    }
}

TEST_CASE("closing the main window while About is open ends the program with status 0")
{
    Quorvel q;
    REQUIRE(click(q.at("Picture7", kButtonMiddle)));
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
        REQUIRE(click(q.at("Picture7", kButtonMiddle)));
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
