// The Win32 back end in this test program: each stored picture is found by its name among the
// program's resources and decoded by Windows, and a name with no picture gives none (for which
// the runtime raises its error) (this program carries the same BITMAP resources as
// Quorvel.exe); a window laid out again when its dots per inch change, which Wine never says.
#include "doctest.h"
#include "quorvel.h"

#include "runtime/application.h"
#include "runtime/form.h"
#include "runtime/win32/backend.h"
#include "runtime/win32/window.h"

#include <algorithm>
#include <cstdlib>
#include <utility>
#include <vector>

TEST_CASE("the back end finds every stored picture by its name, decoded by Windows, and none for a name without one")
{
    Runtime::Win32::Win32Backend backend(GetModuleHandleW(nullptr));
    REQUIRE_FALSE(backend.problem().has_value());
    const char* names[] = {"PicM",         "pic2",         "Picture2",     "pic3",         "pic4",
                           "Picture8",     "Picture3",     "Picture5",     "Picture6",     "Picture1",
                           "ImageList1-1", "ImageList1-6", "ImageList2-1", "ImageList2-6", "imagelist2-3"};
    for (const char* name : names) {
        CAPTURE(name);
        const Runtime::Picture picture = backend.loadPicture(name);
        const quorvel::Picture& stored = quorvel::storedPicture(name);
        REQUIRE_FALSE(stored.rgb.empty());
        CHECK(picture.width() == stored.width);
        CHECK(picture.height() == stored.height);
        int wrong = 0;
        for (int y = 0; y < stored.height; ++y) {
            for (int x = 0; x < stored.width; ++x) {
                wrong += picture.pixelColour(x, y) != Runtime::Rgb{stored.at(x, y)}; // 0x00RRGGBB
            }
        }
        CHECK(wrong == 0);
        // Beyond its edges a picture has nothing.
        CHECK(picture.pixelColour(stored.width, 0) == Runtime::Rgb{});
    }
    for (const char* missing : {"NoSuchPicture", "", "PicM.bmp"}) {
        CAPTURE(missing);
        CHECK(backend.loadPicture(missing).isNull());
    }
}

using namespace Runtime;

namespace {

constexpr FontDescription kBold{"MS Sans Serif", 8.25, true, false};
const ControlDescription kScaledControls[] = {
    {.kind = Kind::Frame, .name = "Frame", .place = {150, 150, 1800, 900}, .text = "Frame"},
    {.kind = Kind::Label, .name = "Label", .container = "Frame", .place = {150, 300, 900, 225}, .text = "Label"},
    {.kind = Kind::Label, .name = "Bold", .container = "Frame", .place = {150, 600, 900, 225}, .text = "Bold",
     .font = kBold},
    {.kind = Kind::PictureBox, .name = "Box", .place = {2100, 150, 600, 450}, .picture = "pic2", .border = true},
};
const FormDescription kScaledForm{"Scaled", "Scaled", {1500, 1500, 3000, 1500}, kScaledControls};

// What a window's layout is: its controls' places and sizes within their parents, and the
// heights of their fonts.
struct Layout {
    std::vector<RECT> places;
    std::vector<LONG> fontHeights;
    bool operator==(const Layout& other) const
    {
        auto same = [](const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; };
        return std::equal(places.begin(), places.end(), other.places.begin(), other.places.end(), same) &&
               fontHeights == other.fontHeights;
    }
};

Layout layoutOf(HWND window)
{
    Layout layout;
    for (HWND child : uidriver::descendants(window)) {
        RECT r = uidriver::screenRect(child);
        MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
        layout.places.push_back(r);
        LOGFONTW font{};
        if (auto handle = reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)))
            GetObjectW(handle, sizeof font, &font);
        layout.fontHeights.push_back(font.lfHeight);
    }
    return layout;
}

int nearest(int pixels, int dpi)
{
    return (pixels * dpi + 48) / 96;
}

} // namespace

TEST_CASE("a window told that its dots per inch changed lays itself out again at them, and tells the runtime 96")
{
    Runtime::Win32::Win32Backend backend(GetModuleHandleW(nullptr));
    Application application(backend, "Scaled");
    Form form(kScaledForm);
    auto* window = dynamic_cast<Runtime::Win32::FormWindow*>(form.peer());
    REQUIRE(window != nullptr);
    HWND hwnd = window->hwnd();
    REQUIRE(window->dpi() == 96); // the session's
    const Layout at96 = layoutOf(hwnd);
    const Margins margins96 = window->frameMargins();
    const Rect screen96 = window->screenArea({0, 0});
    LOGFONTW gui{};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof gui, &gui);

    for (const int dpi : {144, 192, 120, 96}) {
        CAPTURE(dpi);
        // As Windows tells it: the size at the new scale asked first, then the change, with the
        // window's new place of that size.
        SIZE size{};
        REQUIRE(SendMessageW(hwnd, 0x02E4 /* WM_GETDPISCALEDSIZE */, dpi, reinterpret_cast<LPARAM>(&size)));
        const RECT suggested = {40, 30, 40 + size.cx, 30 + size.cy};
        SendMessageW(hwnd, 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
        CHECK(window->dpi() == dpi);
        const RECT now = uidriver::screenRect(hwnd);
        CHECK(EqualRect(&now, &suggested));

        const Layout layout = layoutOf(hwnd);
        // The frame, its two labels and the bordered box, each from its pixels at 96 at the scale.
        const RECT want[] = {{nearest(10, dpi), nearest(10, dpi), nearest(10, dpi) + nearest(120, dpi),
                              nearest(10, dpi) + nearest(60, dpi)},
                             {nearest(10, dpi), nearest(20, dpi), nearest(10, dpi) + nearest(60, dpi),
                              nearest(20, dpi) + nearest(15, dpi)},
                             {nearest(10, dpi), nearest(40, dpi), nearest(10, dpi) + nearest(60, dpi),
                              nearest(40, dpi) + nearest(15, dpi)},
                             {nearest(140, dpi), nearest(10, dpi), nearest(140, dpi) + nearest(40, dpi),
                              nearest(10, dpi) + nearest(30, dpi)}};
        REQUIRE(layout.places.size() == std::size(want));
        for (std::size_t i = 0; i < std::size(want); ++i) {
            CAPTURE(i);
            CHECK(EqualRect(&layout.places[i], &want[i]));
        }
        // The UI font's own height, scaled; 8.25 points, bold.
        CHECK(layout.fontHeights[1] == MulDiv(gui.lfHeight, dpi, 96));
        CHECK(layout.fontHeights[2] == -(825 * dpi + 3600) / 7200);

        // The runtime still sees 96 dots per inch: the frame as wide, within the few pixels
        // that its metrics round differently at each scale (at 192, read unconverted, it would
        // be twice as wide), and the screen as large.
        const Margins margins = window->frameMargins();
        for (auto [got, was] : {std::pair{margins.left, margins96.left}, {margins.top, margins96.top},
                                {margins.right, margins96.right}, {margins.bottom, margins96.bottom}}) {
            CHECK(std::abs(got - was) <= 3);
        }
        const Rect area = window->screenArea({0, 0});
        CHECK(std::abs(area.width - screen96.width * 96 / dpi) <= 1);
        CHECK(std::abs(area.height - screen96.height * 96 / dpi) <= 1);
    }
    // Back at 96: as it was made, to the pixel.
    CHECK(layoutOf(hwnd) == at96);
}
