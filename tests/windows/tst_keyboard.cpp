// The main window from the keyboard alone, with real keys: Tab and Shift+Tab round every control
// that takes the focus, the bitmap controls driven by their keys (faces on the screen, the
// Action box, the windows they open), the dotted focus rectangle only once the keyboard is used,
// and a pointer click that leaves the focus where it was.
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

const char* kBalls[] = {"Opt1(0)", "Opt1(1)", "Opt1(2)"};

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

TEST_CASE("a pointer click on a bitmap control leaves the focus where it was, and no focus rectangle "
          "shows before the keyboard is used")
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
    // Every bitmap control shows its face as drawn: the two clicked ones their new faces.
    for (const Stop& s : tabOrder(q)) {
        if (!s.bitmap)
            continue;
        const std::string name = s.bitmap;
        CAPTURE(name);
        CHECK_FACE(q, s.bitmap, name == "Chk1" ? "ImageList2-3" : name == "Picture1" ? "ImageList1-1" : s.face);
    }

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
}

TEST_CASE("Space toggles the round check box when let go; Enter does nothing; a press the focus leaves "
          "toggles nothing")
{
    Quorvel q;
    HWND chk1 = q.picture("Chk1");
    REQUIRE(tabTo(q, chk1));
    CHECK_FOCUSED(q, "Chk1", "ImageList2-1");
    REQUIRE(keyDown(VK_SPACE));
    REQUIRE(settle(q.main()));
    CHECK_FOCUSED(q, "Chk1", "ImageList2-1");
    REQUIRE(keyUp(VK_SPACE));
    CHECK_FOCUSED(q, "Chk1", "ImageList2-3");
    REQUIRE(tap(VK_SPACE));
    CHECK_FOCUSED(q, "Chk1", "ImageList2-1");
    REQUIRE(tap(VK_RETURN));
    REQUIRE(settle(q.main()));
    CHECK_FOCUSED(q, "Chk1", "ImageList2-1");

    // Space held, the focus moves on to the balls, Space comes up there: the box is let go off
    // its ball. Back on the box (which proves the release was handled), it is still unchecked.
    REQUIRE(keyDown(VK_SPACE));
    REQUIRE(tap(VK_TAB));
    CHECK(focusIs(q, q.picture("Opt1(0)")));
    REQUIRE(keyUp(VK_SPACE));
    REQUIRE(shiftTab());
    CHECK(focusIs(q, chk1));
    CHECK_FOCUSED(q, "Chk1", "ImageList2-1");
    CHECK_FACE(q, "Opt1(0)", "ImageList2-6");
}

TEST_CASE("the arrow keys move the focus and the selection round the option balls; the group is one "
          "stop, on the selected ball")
{
    Quorvel q;
    REQUIRE(tabTo(q, q.picture("Opt1(0)")));
    const struct {
        WORD key;
        int selected;
    } steps[] = {
        {VK_DOWN, 1}, {VK_RIGHT, 2}, {VK_DOWN, 0}, {VK_UP, 2}, {VK_LEFT, 1}, {VK_SPACE, 1},
    };
    for (const auto& s : steps) {
        CAPTURE(s.key);
        CAPTURE(s.selected);
        REQUIRE(tap(s.key));
        CHECK(focusIs(q, q.picture(kBalls[s.selected])));
        for (int i = 0; i < 3; ++i) {
            const std::string ball = kBalls[i];
            CAPTURE(ball);
            if (i == s.selected)
                CHECK_FOCUSED(q, kBalls[i], "ImageList2-6");
            else
                CHECK_FACE(q, kBalls[i], "ImageList2-4");
        }
    }
    // Round the form and back: Shift+Tab from the first stop comes to the selected ball.
    REQUIRE(tap(VK_TAB));
    CHECK(focusIs(q, findChild(q.main(), L"Button", L"Command1")));
    REQUIRE(shiftTab());
    CHECK(focusIs(q, q.picture("Opt1(1)")));
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

TEST_CASE("Enter and Space on the oval: the pressed face while held, \"Is it pretty?\" when let go, "
          "closed by Escape with the focus back on the oval")
{
    for (WORD key : {WORD(VK_RETURN), WORD(VK_SPACE)}) {
        CAPTURE(key);
        Quorvel q;
        HWND oval = q.picture("pic1");
        REQUIRE(tabTo(q, oval));
        REQUIRE(keyDown(key));
        CHECK_FOCUSED(q, "pic1", "pic4");
        CHECK(q.waitForOwned(L"#32770", 0ms) == nullptr);
        REQUIRE(keyUp(key));
        HWND box = q.waitForOwned(L"#32770");
        REQUIRE(box != nullptr);
        CHECK(findChild(box, L"Static", L"Is it pretty?") != nullptr);
        CHECK_FACE(q, "pic1", "pic3");
        REQUIRE(tap(VK_ESCAPE));
        CHECK(waitUntil([&] { return !IsWindow(box); }));
        CHECK(focusIs(q, oval));
        CHECK_FOCUSED(q, "pic1", "pic3");
        CHECK(q.process().running());
    }
}

TEST_CASE("Space and Enter on About open it, Escape closes it and the focus comes back; Space on Exit "
          "ends the program with status 0")
{
    const struct {
        const char* button;
        WORD key;
        const char* pressed;
        const char* released;
    } cases[] = {
        {"Picture7", VK_SPACE, "Picture6", "Picture5"},
        {"Picture7", VK_RETURN, "Picture6", "Picture5"},
        {"Picture4", VK_SPACE, "Picture3", "Picture8"},
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
        CHECK(q.waitForOwned(L"QuorvelForm", 0ms) == nullptr);
        CHECK(q.process().running());
        REQUIRE(keyUp(c.key));
        if (button == "Picture4") {
            CHECK(q.waitForExitCode() == 0);
            continue;
        }
        HWND about = q.waitForOwned(L"QuorvelForm");
        REQUIRE(about != nullptr);
        CHECK(narrow(text(about)) == "About...");
        CHECK_FACE(q, c.button, c.released);
        REQUIRE(tap(VK_ESCAPE));
        CHECK(waitUntil([&] { return !IsWindowVisible(about); }));
        CHECK(focusIs(q, window));
        CHECK_FOCUSED(q, c.button, c.released);
    }
}

TEST_CASE("a key's press on a bitmap control ends without acting when the focus leaves before it is let go")
{
    const struct {
        const char* control;
        WORD key;
        const char* pressed;  // the face while held, or nullptr when a press shows none
        const char* released; // the face after
    } cases[] = {
        {"Picture4", VK_SPACE, "Picture3", "Picture8"},    // Exit ends nothing
        {"Picture1", VK_UP, "ImageList1-2", "ImageList1-1"}, // the pad writes nothing
        {"pic1", VK_RETURN, "pic4", "pic3"},               // the oval asks nothing
    };
    for (const auto& c : cases) {
        const std::string control = c.control;
        CAPTURE(control);
        Quorvel q;
        HWND window = q.picture(c.control);
        REQUIRE(tabTo(q, window));
        REQUIRE(keyDown(c.key));
        CHECK_FOCUSED(q, c.control, c.pressed);
        REQUIRE(tap(VK_TAB));
        CHECK_FACE(q, c.control, c.released);
        REQUIRE(keyUp(c.key));
        // Back on it: the release went elsewhere and has been handled.
        REQUIRE(shiftTab());
        CHECK(focusIs(q, window));
        CHECK_FOCUSED(q, c.control, c.released);
        CHECK(q.process().running());
        CHECK(q.action().empty());
        CHECK(q.waitForOwned(L"#32770", 0ms) == nullptr);
    }
}
