// Quorvel.exe at the session's dots per inch (tests/windows/scaled runs this suite at 120, 144
// and 192; the rest of the tests run at 96, where it passes too): the window and its texts
// grown by the scale, the faces in whole stored pixels (quorvel.h), the shapes answering where
// they are drawn, and About at its scaled size.
#include "doctest.h"
#include "quorvel.h"

#include <algorithm>
#include <cstdlib>

using namespace quorvel;

namespace {

// The size of the box around the dark pixels of a block of pixels.
SIZE inked(const std::uint32_t* rgb, int width, int height)
{
    RECT box = {width, height, 0, 0};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t p = rgb[static_cast<std::size_t>(y) * width + x];
            if (std::max({p >> 16 & 0xFF, p >> 8 & 0xFF, p & 0xFF}) < 0x80)
                box = {std::min<LONG>(box.left, x), std::min<LONG>(box.top, y), std::max<LONG>(box.right, x + 1),
                       std::max<LONG>(box.bottom, y + 1)};
        }
    }
    return {box.right - box.left, box.bottom - box.top};
}

// The same for `text` drawn here in black on white, in the system's UI font at the session's scale.
SIZE inked(const std::wstring& text)
{
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 600, -100, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, bitmap);
    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    PatBlt(dc, 0, 0, 600, 100, WHITENESS);
    TextOutW(dc, 10, 10, text.c_str(), static_cast<int>(text.size()));
    GdiFlush();
    const SIZE size = inked(static_cast<const std::uint32_t*>(bits), 600, 100);
    DeleteDC(dc);
    DeleteObject(bitmap);
    return size;
}

bool isScaled(LONG measured, int pixelsAt96)
{
    return std::abs(measured - pixelsAt96 * sessionDpi() / 96) <= 2;
}

} // namespace

TEST_SUITE("scaled")
{
    TEST_CASE("at the session's scale the window, its texts and the pad's face are grown by it, the texts whole")
    {
        HDC screen = GetDC(nullptr);
        const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
        ReleaseDC(nullptr, screen);
        REQUIRE_MESSAGE(dpi == sessionDpi(), "the session runs at ", dpi, " dots per inch");
        Quorvel q;
        const SIZE client = clientSize(q.main());
        CHECK(isScaled(client.cx, 335));
        CHECK(isScaled(client.cy, 365));
        CHECK_FACE(q, "Picture1", "Picture1");
        // Labels in the UI font at the scale, inked as far as the text drawn alone: whole (at
        // 120, "Action:" and "qvOption1(0)" fill their windows to the last pixel).
        for (const wchar_t* label : {L"Label1", L"Action:", L"qvOption1(0)", L"qvCheck1"}) {
            CAPTURE(narrow(label));
            HWND window = findChild(q.main(), L"Static", label);
            REQUIRE(window != nullptr);
            const ScreenBlock shown = grabScreen(clientScreenRect(window));
            const SIZE onScreen = inked(shown.rgb.data(), shown.width, shown.height), whole = inked(label);
            // A cut text inks less than the whole; the smoothed edge of a glyph may ink one pixel
            // more on the label's own surface than on the white it is measured on alone.
            CHECK(onScreen.cx >= whole.cx);
            CHECK(onScreen.cy >= whole.cy);
        }
    }

    TEST_CASE("at the session's scale a shape answers where it is drawn: the check box's ball, not its corner; the pad's keys")
    {
        Quorvel q;
        REQUIRE(click(q.at("Chk1", {1, 1}))); // inside its box, outside the ball
        REQUIRE(click(q.at("Picture1", {85, 15})));
        REQUIRE(q.waitForAction(L"Up")); // the click before it handled too
        CHECK_FACE(q, "Chk1", "ImageList2-1");
        REQUIRE(click(q.at("Chk1", kBall)));
        REQUIRE(click(q.at("Picture1", {150, 52})));
        CHECK(q.waitForAction(L"Right"));
        CHECK_FACE(q, "Chk1", "ImageList2-3");
    }

    TEST_CASE("at the session's scale About opens at its scaled size")
    {
        Quorvel q;
        REQUIRE(click(q.at("Picture7", kButtonMiddle)));
        HWND about = q.waitForOwned(L"QuorvelForm");
        REQUIRE(about != nullptr);
        const SIZE size = clientSize(about);
        CHECK(isScaled(size.cx, 285));
        CHECK(isScaled(size.cy, 132));
        REQUIRE(tap(VK_ESCAPE));
        CHECK(waitUntil([&] { return !IsWindowVisible(about); }));
    }
}
