#include "quorvel.h"

#include "doctest.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <utility>

namespace quorvel {

namespace {

// The picture boxes drawn with a 2-pixel sunken border around their drawing area.
const std::set<std::string> kBordered = {"Picture4", "Picture7"};
constexpr int kBorder = 2;

// The stored pixels whose colours a device pixel may show: at a scale of whole device pixels
// the one it lies in, else those next to the place it maps to.
struct Around {
    int from, to; // stored pixels, both included
};
Around around(int device, int size)
{
    const int dpi = sessionDpi();
    const int at = device * 96 / dpi;
    if (dpi % 96 == 0)
        return {at, at};
    return {std::max(0, at - 1), std::min(size - 1, at + 1)};
}

// The bitmap controls by stored name, each with its name (its window text once shown).
const std::map<std::string, std::string> kNames = {
    {"Chk1", "qvCheck1"},           {"Opt1(0)", "qvOption1(0)"}, {"Opt1(1)", "qvOption1(1)"},
    {"Opt1(2)", "qvOption1(2)"},    {"pic1", "Click here!"},     {"Picture7", "About"},
    {"Picture4", "Exit"},           {"Picture1", "Direction pad"},
};

Picture readPicture(const std::string& name)
{
    Picture out;
    const std::wstring wide = widen(name);
    auto bitmap = static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), wide.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!bitmap)
        return out;
    BITMAP info{};
    GetObjectW(bitmap, sizeof info, &info);
    out.width = info.bmWidth;
    out.height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    out.rgb.resize(static_cast<std::size_t>(out.width) * out.height);
    BITMAPINFO request{};
    request.bmiHeader = {sizeof(BITMAPINFOHEADER), out.width, -out.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    HDC dc = GetDC(nullptr);
    if (GetDIBits(dc, bitmap, 0, out.height, out.rgb.data(), &request, DIB_RGB_COLORS) != out.height)
        out = Picture{};
    ReleaseDC(nullptr, dc);
    DeleteObject(bitmap);
    for (auto& p : out.rgb)
        p &= 0x00FFFFFF;
    return out;
}

std::string hex(std::uint32_t rgb)
{
    char text[16];
    std::snprintf(text, sizeof text, "#%06X", static_cast<unsigned>(rgb));
    return text;
}

} // namespace

namespace {

struct SchemeColour {
    int element;
    COLORREF wine, classic, highContrast;
};

// Wine's defaults; the classic Windows Standard scheme; Windows' High Contrast Black, where the
// highlight's text is black.
const SchemeColour kSchemes[] = {
    {COLOR_BTNFACE, RGB(245, 245, 245), RGB(192, 192, 192), RGB(0, 0, 0)},
    {COLOR_BTNTEXT, RGB(0, 0, 0), RGB(0, 0, 0), RGB(255, 255, 255)},
    {COLOR_BTNHIGHLIGHT, RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255)},
    {COLOR_BTNSHADOW, RGB(166, 166, 166), RGB(128, 128, 128), RGB(128, 128, 128)},
    {COLOR_3DDKSHADOW, RGB(106, 106, 106), RGB(0, 0, 0), RGB(255, 255, 255)},
    {COLOR_3DLIGHT, RGB(227, 227, 227), RGB(223, 223, 223), RGB(192, 192, 192)},
    {COLOR_WINDOW, RGB(255, 255, 255), RGB(255, 255, 255), RGB(0, 0, 0)},
    {COLOR_WINDOWTEXT, RGB(0, 0, 0), RGB(0, 0, 0), RGB(255, 255, 255)},
    {COLOR_HIGHLIGHT, RGB(48, 150, 250), RGB(0, 0, 128), RGB(26, 235, 255)},
    {COLOR_HIGHLIGHTTEXT, RGB(255, 255, 255), RGB(255, 255, 255), RGB(0, 0, 0)},
};

} // namespace

ColourScheme::ColourScheme(Name name)
{
    std::vector<COLORREF> colours;
    for (const SchemeColour& c : kSchemes) {
        elements_.push_back(c.element);
        before_.push_back(GetSysColor(c.element));
        colours.push_back(name == WineDefault ? c.wine : name == Classic ? c.classic : c.highContrast);
    }
    REQUIRE(SetSysColors(static_cast<int>(elements_.size()), elements_.data(), colours.data()));
}

ColourScheme::~ColourScheme()
{
    SetSysColors(static_cast<int>(elements_.size()), elements_.data(), before_.data());
}

std::string ColourScheme::nameOf(Name name)
{
    switch (name) {
    case WineDefault: return "Wine's default colours";
    case Classic: return "classic colours";
    case HighContrast: return "high contrast";
    }
    return "?";
}

int pixelsOf(HWND window, std::uint32_t rgb)
{
    const ScreenBlock block = grabScreen(clientScreenRect(window));
    return static_cast<int>(std::count(block.rgb.begin(), block.rgb.end(), rgb));
}

std::wstring programPath()
{
    if (const char* exe = std::getenv("QUORVEL_EXE"); exe && *exe)
        return widen(exe);
    // Built beside this program: its Unix path, through Wine's drive for the root folder.
    std::wstring path = L"Z:" + widen(QUORVEL_EXE_PATH);
    for (auto& c : path)
        if (c == L'/')
            c = L'\\';
    return path;
}

int sessionDpi()
{
    static const int dpi = [] {
        const char* set = std::getenv("QUORVEL_TEST_DPI");
        return set && std::atoi(set) > 0 ? std::atoi(set) : 96;
    }();
    return dpi;
}

int scaled(int pixels)
{
    return (pixels * sessionDpi() + 48) / 96;
}

const Picture& storedPicture(const std::string& name)
{
    static std::map<std::string, Picture> cache;
    auto it = cache.find(name);
    if (it == cache.end())
        it = cache.emplace(name, readPicture(name)).first;
    return it->second;
}

SIZE clientSize(HWND window)
{
    RECT r{};
    GetClientRect(window, &r);
    return {r.right, r.bottom};
}

POINT clientOrigin(HWND window)
{
    return clientToScreen(window, {0, 0});
}

Quorvel::Quorvel() : process_(Process::start(programPath()))
{
    REQUIRE_MESSAGE(process_.started(), "cannot start ", narrow(programPath()));
    REQUIRE(process_.waitForInputIdle());
    waitForMainWindow();
}

Quorvel::Quorvel(Process running, const std::string& from) : process_(std::move(running))
{
    // Wine tells when a program first waits for input only to the process that made it.
    REQUIRE_MESSAGE(process_.started(), "no program started from ", from);
    waitForMainWindow();
}

void Quorvel::waitForMainWindow()
{
    main_ = process_.waitForWindow(L"QuorvelForm", nullptr);
    REQUIRE_MESSAGE(main_ != nullptr, "no main window");
    // Painted and on the screen once the pad shows.
    REQUIRE_MESSAGE(shows("Picture1", "Picture1"), difference("Picture1", "Picture1"));
}

Quorvel::~Quorvel()
{
    for (Button b : {Button::Left, Button::Right, Button::Middle})
        release(b);
    if (process_.running() && IsWindow(main_))
        PostMessageW(main_, WM_CLOSE, 0, 0);
    process_.waitForExit(5s, nullptr);
}

const std::map<std::string, std::string>& bitmapControlNames()
{
    return kNames;
}

HWND Quorvel::picture(const std::string& name) const
{
    const auto named = kNames.find(name);
    return named == kNames.end() ? nullptr
                                 : findChild(main_, L"QuorvelPictureBox", widen(named->second).c_str());
}

RECT Quorvel::drawingArea(const std::string& name) const
{
    HWND box = picture(name);
    RECT r = clientScreenRect(box);
    if (kBordered.count(name))
        InflateRect(&r, -scaled(kBorder), -scaled(kBorder));
    return r;
}

POINT Quorvel::at(const std::string& name, POINT pixel) const
{
    const RECT area = drawingArea(name);
    const int dpi = sessionDpi();
    return {area.left + (2 * pixel.x + 1) * dpi / 192, area.top + (2 * pixel.y + 1) * dpi / 192};
}

std::string Quorvel::difference(const std::string& name, const std::string& pictureName, Focus focus) const
{
    HWND box = picture(name);
    if (!box)
        return "no picture box " + name;
    const Picture& stored = storedPicture(pictureName);
    if (stored.rgb.empty())
        return "no stored picture " + pictureName;
    const RECT area = drawingArea(name);
    // At a scale, the device pixels wholly inside the picture.
    const int width = stored.width * sessionDpi() / 96;
    const int height = stored.height * sessionDpi() / 96;
    if (area.right - area.left < width || area.bottom - area.top < height)
        return name + "'s drawing area is smaller than " + pictureName;
    if (focus == Focus::Dotted && (area.right - area.left != width || area.bottom - area.top != height))
        return pictureName + " does not fill " + name + "'s drawing area, whose edges the focus rectangle follows";
    const RECT face = {area.left, area.top, area.left + width, area.top + height};
    // Where windows stacked above this one cover it (controls stored before it, a message box
    // over the main window), the screen shows them instead.
    std::vector<RECT> above;
    for (HWND level = box; level; level = (GetWindowLongW(level, GWL_STYLE) & WS_CHILD) ? GetParent(level) : nullptr) {
        for (HWND w = GetWindow(level, GW_HWNDPREV); w; w = GetWindow(w, GW_HWNDPREV)) {
            if (IsWindowVisible(w))
                above.push_back(screenRect(w));
        }
    }
    const ScreenBlock screen = grabScreen(face);
    if (screen.rgb.empty())
        return "cannot read the screen";
    // The dotted focus rectangle inverts every other pixel along the edges, a checkerboard's
    // worth: one of two phases.
    std::string best;
    int fewest = -1;
    for (int phase = 0; phase < (focus == Focus::Dotted ? 2 : 1); ++phase) {
        int wrong = 0;
        std::string first;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const POINT p = {face.left + x, face.top + y};
                bool covered = false;
                for (const RECT& r : above)
                    covered = covered || PtInRect(&r, p);
                const bool edge = x == 0 || y == 0 || x == width - 1 || y == height - 1;
                const bool dot = focus == Focus::Dotted && sessionDpi() == 96 && edge && (x + y + phase) % 2 == 0;
                const Around across = around(x, stored.width), down = around(y, stored.height);
                const std::uint32_t want = dot ? stored.at(x, y) ^ 0xFFFFFF : stored.at(across.from, down.from);
                bool matches = screen.at(x, y) == want;
                for (int sy = down.from; !dot && !matches && sy <= down.to; ++sy) {
                    for (int sx = across.from; !matches && sx <= across.to; ++sx)
                        matches = screen.at(x, y) == stored.at(sx, sy);
                }
                if (covered || matches)
                    continue;
                if (wrong++ == 0)
                    first = " first at (" + std::to_string(x) + "," + std::to_string(y) + "): " +
                            hex(screen.at(x, y)) + " instead of " + hex(want);
            }
        }
        if (fewest < 0 || wrong < fewest) {
            fewest = wrong;
            best = first;
        }
    }
    if (fewest == 0)
        return {};
    return name + " differs from " + pictureName + (focus == Focus::Dotted ? " with the dotted focus rectangle" : "") +
           " in " + std::to_string(fewest) + " pixels;" + best;
}

bool Quorvel::shows(const std::string& name, const std::string& pictureName, Millis timeout, Focus focus) const
{
    return waitUntil([&] { return difference(name, pictureName, focus).empty(); }, timeout, 5ms);
}

std::wstring Quorvel::action() const
{
    HWND frame = findChild(main_, L"Button", L"Zennorak Design Quorvel technics examples");
    return frame ? text(findChild(frame, L"Edit", nullptr)) : L"(no frame)";
}

bool Quorvel::waitForAction(const std::wstring& expected) const
{
    return waitUntil([&] { return action() == expected; });
}

HWND Quorvel::waitForOwned(const wchar_t* cls, Millis timeout) const
{
    HWND found = nullptr;
    waitUntil(
        [&] {
            for (HWND w : process_.windows()) {
                if (IsWindowVisible(w) && GetWindow(w, GW_OWNER) == main_ && className(w) == cls) {
                    found = w;
                    return true;
                }
            }
            return false;
        },
        timeout);
    return found;
}

DWORD Quorvel::waitForExitCode() const
{
    DWORD code = 12345;
    if (!process_.waitForExit(10s, &code))
        return 12345;
    return code;
}

} // namespace quorvel
