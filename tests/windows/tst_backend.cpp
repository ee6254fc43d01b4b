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

const ControlDescription kScaledControls[] = {
    {.kind = Kind::Frame, .name = "Frame", .place = {150, 150, 1800, 900}, .text = "Frame"},
    {.kind = Kind::Label, .name = "Label", .container = "Frame", .place = {150, 300, 900, 225}, .text = "Label"},
    {.kind = Kind::Label, .name = "Bold", .container = "Frame", .place = {150, 600, 900, 225}, .text = "Bold",
     .font = {"MS Sans Serif", 8.25, true, false}},
    {.kind = Kind::PictureBox, .name = "Box", .place = {2100, 150, 600, 450}, .picture = "pic2", .border = true},
};
const FormDescription kScaledForm{"Scaled", "Scaled", {1500, 1500, 3000, 1500}, kScaledControls};

// Each control's place and size in its parent.
std::vector<RECT> placesIn(HWND window)
{
    std::vector<RECT> places;
    for (HWND child : uidriver::descendants(window)) {
        RECT r = uidriver::screenRect(child);
        MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
        places.push_back(r);
    }
    return places;
}

LONG fontHeight(HWND control)
{
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font.lfHeight;
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
    HWND label = uidriver::findChild(hwnd, L"Static", L"Label"), bold = uidriver::findChild(hwnd, L"Static", L"Bold");
    const std::vector<RECT> at96 = placesIn(hwnd);
    const LONG label96 = fontHeight(label);
    const Margins margins96 = window->frameMargins();
    const Rect screen96 = window->screenArea({0, 0});
    // Last, back at 96: as it was made, to the pixel.
    for (const int dpi : {144, 192, 120, 96}) {
        CAPTURE(dpi);
        // As Windows tells it: the size at the new scale asked first, then the change, with the
        // window's new place of that size.
        SIZE size{};
        REQUIRE(SendMessageW(hwnd, 0x02E4 /* WM_GETDPISCALEDSIZE */, dpi, reinterpret_cast<LPARAM>(&size)));
        const RECT suggested = {40, 30, 40 + size.cx, 30 + size.cy};
        SendMessageW(hwnd, 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
        const RECT now = uidriver::screenRect(hwnd);
        CHECK(EqualRect(&now, &suggested));
        // Each control from its place and size at 96, to the nearest pixel; the UI font's height
        // and 8.25 points (11 pixels at 96), scaled and rounded down.
        auto scaled = [dpi](LONG pixels) { return (pixels * dpi + 48) / 96; };
        const std::vector<RECT> places = placesIn(hwnd);
        REQUIRE(places.size() == at96.size());
        for (std::size_t i = 0; i < places.size(); ++i) {
            const RECT& r = at96[i];
            const RECT want = {scaled(r.left), scaled(r.top), scaled(r.left) + scaled(r.right - r.left),
                               scaled(r.top) + scaled(r.bottom - r.top)};
            CHECK(EqualRect(&places[i], &want));
        }
        CHECK(fontHeight(label) == label96 * dpi / 96);
        CHECK(fontHeight(bold) == -11 * dpi / 96);
        // The runtime still sees 96 dots per inch: the frame as wide, within the few pixels that
        // its metrics round differently at each scale (read unconverted at 192, twice as wide),
        // and the screen as large.
        const Margins m = window->frameMargins();
        CHECK(std::max({std::abs(m.left - margins96.left), std::abs(m.top - margins96.top),
                        std::abs(m.right - margins96.right), std::abs(m.bottom - margins96.bottom)}) <= 3);
        const Rect area = window->screenArea({0, 0});
        CHECK(std::abs(area.width - screen96.width * 96 / dpi) <= 1);
        CHECK(std::abs(area.height - screen96.height * 96 / dpi) <= 1);
    }
}
