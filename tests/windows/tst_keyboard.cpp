// The main window from the keyboard alone, with real keys: what Windows turns into the runtime's
// keys and focus changes, and what only Windows does (which window takes the focus on a click,
// the dotted focus rectangle as pixels, the focus given back when a window opened from a key
// closes). The rules themselves (Tab order, groups, arrows, key holds, when the rectangle shows)
// are the runtime's, tested in tests/tst_rules.cpp.
#include "doctest.h"
#include "quorvel.h"

#include <string>
#include <vector>

using namespace quorvel;

namespace {

using Focus = Quorvel::Focus;

// The face with the dotted focus rectangle along its edges.
#define CHECK_FOCUSED(q, name, picture)                                                                             \
    CHECK_MESSAGE((q).shows(name, picture, kDefaultTimeout, Focus::Dotted),                                        \
                  (q).difference(name, picture, Focus::Dotted))

HWND focusOf(const Quorvel& q)
{
    return guiThreadInfo(q.main()).hwndFocus;
}

bool focusIs(const Quorvel& q, HWND want)
{
    return waitUntil([&] { return focusOf(q) == want; });
}

bool shiftTab()
{
    return keyDown(VK_SHIFT) && tap(VK_TAB) && keyUp(VK_SHIFT);
}

// Tab until `target` has the focus; false if the round never reaches it. Each Tab moves the
// focus on: it has been handled once the focus is elsewhere.
bool tabTo(const Quorvel& q, HWND target)
{
    for (int i = 0; i < 12 && focusOf(q) != target; ++i) {
        const HWND before = focusOf(q);
        if (!tap(VK_TAB) || !waitUntil([&] { return focusOf(q) != before; }))
            return false;
    }
    return focusOf(q) == target;
}

// One stop of the tab order: a standard control, or a bitmap control with its face at start.
struct Stop {
    const char* what;
    HWND window;
    const char* bitmap = nullptr; // stored name of a bitmap control
    const char* face = nullptr;
};

// The main window's stops by TabIndex.
std::vector<Stop> tabOrder(const Quorvel& q)
{
    HWND frame2 = findChild(q.main(), L"Button", L"Zennorak Design Quorvel technics examples");
    auto bitmap = [&](const char* name, const char* face) { return Stop{name, q.picture(name), name, face}; };
    return {
        {"Command1", findChild(q.main(), L"Button", L"Command1")},
        {"Check1", findChild(q.main(), L"Button", L"Check1")},
        {"Option1(0)", findChild(q.main(), L"Button", L"Option1(0)")},
        {"Text1", findChild(q.main(), L"Edit", L"Text1")},
        bitmap("Picture1", "Picture1"), // the pad
        bitmap("Picture7", "Picture5"), // About
        bitmap("Picture4", "Picture8"), // Exit
        {"Text2", frame2 ? findChild(frame2, L"Edit", nullptr) : nullptr},
        bitmap("pic1", "pic3"),            // the oval
        bitmap("Chk1", "ImageList2-1"),    // the round check box
        bitmap("Opt1(0)", "ImageList2-6"), // the selected ball: the group's one stop
    };
}

} // namespace

TEST_CASE("Tab goes round every control that takes the focus by TabIndex, the bitmap controls included, "
          "and Shift+Tab goes back; the focused bitmap control shows the dotted rectangle")
{
    Quorvel q;
    const std::vector<Stop> order = tabOrder(q);
    for (const Stop& s : order) {
        const std::string what = s.what;
        CAPTURE(what);
        REQUIRE(s.window != nullptr);
    }
    const int n = static_cast<int>(order.size());
    REQUIRE(focusIs(q, order[0].window));
    // From the first stop round to it again, then back the other way.
    std::vector<int> walk;
    for (int i = 1; i <= n; ++i)
        walk.push_back(i % n);
    for (int i = n - 1; i >= 0; --i)
        walk.push_back(i);
    int previous = 0;
    for (std::size_t step = 0; step < walk.size(); ++step) {
        const bool backwards = step >= static_cast<std::size_t>(n);
        const Stop& s = order[walk[step]];
        const std::string what = s.what;
        CAPTURE(what);
        CAPTURE(backwards);
        REQUIRE(backwards ? shiftTab() : tap(VK_TAB));
        CHECK_MESSAGE(focusIs(q, s.window), "focus: ", describeWindow(focusOf(q)));
        if (s.bitmap)
            CHECK_FOCUSED(q, s.bitmap, s.face);
        if (const Stop& left = order[previous]; left.bitmap)
            CHECK_FACE(q, left.bitmap, left.face); // its rectangle went with the focus
        previous = walk[step];
    }
}

TEST_CASE("a pointer click on a bitmap control leaves the focus where it was; a click on a standard "
          "control takes it, and the rectangle goes")
{
    Quorvel q;
    HWND command1 = findChild(q.main(), L"Button", L"Command1");
    REQUIRE(command1 != nullptr);
    REQUIRE(focusIs(q, command1));
    REQUIRE(click(q.at("Chk1", {12, 12})));
    REQUIRE(click(q.at("Picture1", {85, 15})));
    CHECK(q.waitForAction(L"Up"));
    CHECK_FACE(q, "Chk1", "ImageList2-3");
    CHECK(focusOf(q) == command1);

    // Once the keyboard has put the focus on the oval, a click on the pad leaves it there.
    REQUIRE(tabTo(q, q.picture("pic1")));
    CHECK_FOCUSED(q, "pic1", "pic3");
    REQUIRE(click(q.at("Picture1", {85, 52})));
    CHECK(q.waitForAction(L"Home"));
    CHECK(focusOf(q) == q.picture("pic1"));
    CHECK_FOCUSED(q, "pic1", "pic3");
    CHECK_FACE(q, "Picture1", "ImageList1-1");
    // A standard control takes the focus when clicked, as Windows' own do: the rectangle goes.
    REQUIRE(click(centre(command1)));
    CHECK(focusIs(q, command1));
    CHECK_FACE(q, "pic1", "pic3");
    // And Tab goes on from where the click put the focus.
    REQUIRE(tap(VK_TAB));
    CHECK(focusIs(q, findChild(q.main(), L"Button", L"Check1")));
}

TEST_CASE("an arrow key held on the option balls moves the focus and the selection once; the next press "
          "moves them again")
{
    Quorvel q;
    REQUIRE(tabTo(q, q.picture("Opt1(0)")));
    // Held down, the key repeats: Windows marks the repeats, and a ball moves once a press.
    REQUIRE(keyDown(VK_DOWN));
    REQUIRE(keyDown(VK_DOWN));
    REQUIRE(keyUp(VK_DOWN));
    CHECK(focusIs(q, q.picture("Opt1(1)")));
    CHECK_FOCUSED(q, "Opt1(1)", "ImageList2-6");
    CHECK_FACE(q, "Opt1(0)", "ImageList2-4");
    CHECK_FACE(q, "Opt1(2)", "ImageList2-4");
    REQUIRE(tap(VK_UP));
    CHECK(focusIs(q, q.picture("Opt1(0)")));
    CHECK_FOCUSED(q, "Opt1(0)", "ImageList2-6");
    CHECK_FACE(q, "Opt1(1)", "ImageList2-4");
}

TEST_CASE("each arrow key and Home light their key of the pad while held and write its name when let go")
{
    const struct {
        WORD key;
        const wchar_t* name;
        const char* lit;
    } keys[] = {
        {VK_UP, L"Up", "ImageList1-2"},     {VK_RIGHT, L"Right", "ImageList1-3"}, {VK_DOWN, L"Down", "ImageList1-4"},
        {VK_LEFT, L"Left", "ImageList1-5"}, {VK_HOME, L"Home", "ImageList1-6"},
    };
    Quorvel q;
    HWND pad = q.picture("Picture1");
    REQUIRE(tabTo(q, pad));
    for (const auto& k : keys) {
        CAPTURE(narrow(k.name));
        const std::wstring before = q.action();
        REQUIRE(keyDown(k.key));
        CHECK_FOCUSED(q, "Picture1", k.lit);
        CHECK(q.action() == before); // written on the release
        REQUIRE(keyUp(k.key));
        CHECK(q.waitForAction(k.name));
        CHECK_FOCUSED(q, "Picture1", "ImageList1-1");
        CHECK(focusOf(q) == pad); // the arrows are the pad's keys, not the way to other controls
    }
}

TEST_CASE("a window opened by a key's release runs its own loop, and when it closes the focus comes back to "
          "the control; Space on Exit ends the program with status 0")
{
    const struct {
        const char* button;
        WORD key;
        const char* pressed;
        const char* released;
        const wchar_t* opens; // the class of the window its release opens; none: the program ends
    } cases[] = {
        {"Picture7", VK_SPACE, "Picture6", "Picture5", L"QuorvelForm"}, // About
        {"Picture7", VK_RETURN, "Picture6", "Picture5", L"QuorvelForm"},
        {"pic1", VK_RETURN, "pic4", "pic3", L"#32770"},        // the oval's message box
        {"Picture4", VK_SPACE, "Picture3", "Picture8", nullptr}, // Exit
    };
    for (const auto& c : cases) {
        const std::string button = c.button;
        CAPTURE(button);
        CAPTURE(c.key);
        Quorvel q;
        HWND window = q.picture(c.button);
        REQUIRE(tabTo(q, window));
        REQUIRE(keyDown(c.key));
        CHECK_FOCUSED(q, c.button, c.pressed);
        CHECK(q.process().running());
        REQUIRE(keyUp(c.key));
        if (!c.opens) {
            CHECK(q.waitForExitCode() == 0);
            continue;
        }
        HWND opened = q.waitForOwned(c.opens);
        REQUIRE(opened != nullptr);
        CHECK_FACE(q, c.button, c.released);
        REQUIRE(tap(VK_ESCAPE));
        CHECK(waitUntil([&] { return !IsWindow(opened) || !IsWindowVisible(opened); }));
        CHECK(focusIs(q, window));
        CHECK_FOCUSED(q, c.button, c.released);
    }
}
