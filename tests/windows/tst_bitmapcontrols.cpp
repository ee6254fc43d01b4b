// The bitmap controls, pressed and released with the real pointer: their faces on the screen
// against the stored pictures, the Action box, the message box, and the stacking of controls.
#include "doctest.h"
#include "quorvel.h"

#include <set>

using namespace quorvel;

namespace {

constexpr POINT kCorner = {1, 1};   // inside the 26 x 26 box, outside the ball
constexpr POINT kOvalMiddle = {80, 25};

// Input is handled in the order it is sent: once a later, visible effect is on the screen, an
// earlier input that should have changed nothing has been handled and painted too. A press and
// release on a key of the pad gives that effect: its name in the Action box.
void handledSoFar(const Quorvel& q)
{
    const bool home = q.action() != L"Home";
    REQUIRE(click(q.at("Picture1", home ? POINT{85, 52} : POINT{85, 15})));
    REQUIRE(q.waitForAction(home ? L"Home" : L"Up"));
}

} // namespace

TEST_CASE("at start every bitmap control shows its face, and controls stored earlier lie above later ones")
{
    Quorvel q;
    const struct {
        const char* control;
        const char* picture;
    } faces[] = {
        {"Picture4", "Picture8"},     {"Picture7", "Picture5"},     {"Opt1(2)", "ImageList2-4"},
        {"Opt1(1)", "ImageList2-4"},  {"Opt1(0)", "ImageList2-6"},  {"Chk1", "ImageList2-1"},
        {"pic1", "pic3"},             {"Picture1", "Picture1"},
    };
    for (const auto& f : faces) {
        CAPTURE(f.control);
        CHECK_FACE(q, f.control, f.picture);
    }
    // The oval button covers the pad's bottom-right corner: there the screen shows the oval
    // (checked above, in full), and a press there goes to the oval.
    RECT pad = q.drawingArea("Picture1"), oval = q.drawingArea("pic1"), both{};
    REQUIRE(IntersectRect(&both, &pad, &oval));
    const POINT inBoth = {both.right - 2, both.bottom - 2};
    REQUIRE(moveTo(inBoth));
    REQUIRE(press(Button::Left));
    CHECK(guiThreadInfo(q.main()).hwndCapture == q.picture("pic1"));
    REQUIRE(release(Button::Left));
    // The hidden stores (masks and spare faces) have no window: the picture boxes' windows are
    // the eight bitmap controls, each with its name as its window text, for a screen reader.
    std::multiset<std::string> shown, named;
    for (HWND w : descendants(q.main())) {
        if (className(w) == L"QuorvelPictureBox")
            shown.insert(narrow(text(w)));
    }
    for (const auto& [control, name] : bitmapControlNames())
        named.insert(name);
    CHECK(shown == named);
}

TEST_CASE("the check box toggles when let go over its ball, not over a corner of its box")
{
    const struct {
        POINT point;
        const char* afterFirst;
        const char* afterSecond;
    } cases[] = {
        {kBall, "ImageList2-3", "ImageList2-1"},
        {kCorner, "ImageList2-1", "ImageList2-1"},
    };
    for (const auto& c : cases) {
        CAPTURE(c.point.x);
        CAPTURE(c.point.y);
        Quorvel q;
        REQUIRE(click(q.at("Chk1", c.point)));
        handledSoFar(q);
        CHECK_FACE(q, "Chk1", c.afterFirst);
        REQUIRE(click(q.at("Chk1", c.point)));
        handledSoFar(q);
        CHECK_FACE(q, "Chk1", c.afterSecond);
    }
}

TEST_CASE("an option button: the stripe while pressed on its ball, the selection when let go there")
{
    Quorvel q;
    REQUIRE(moveTo(q.at("Opt1(1)", kBall)));
    REQUIRE(press(Button::Left));
    for (const auto& [control, picture] : {std::pair{"Opt1(1)", "ImageList2-5"}, {"Opt1(0)", "ImageList2-5"},
                                           {"Opt1(2)", "ImageList2-4"}}) {
        CAPTURE(control);
        CHECK_FACE(q, control, picture);
    }
    REQUIRE(release(Button::Left));
    for (const auto& [control, picture] : {std::pair{"Opt1(0)", "ImageList2-4"}, {"Opt1(1)", "ImageList2-6"},
                                           {"Opt1(2)", "ImageList2-4"}}) {
        CAPTURE(control);
        CHECK_FACE(q, control, picture);
    }
    // A press on a corner of Opt1(2)'s box is no press on the option: nothing changes.
    REQUIRE(click(q.at("Opt1(2)", kCorner)));
    handledSoFar(q);
    for (const auto& [control, picture] : {std::pair{"Opt1(0)", "ImageList2-4"}, {"Opt1(1)", "ImageList2-6"},
                                           {"Opt1(2)", "ImageList2-4"}}) {
        CAPTURE(control);
        CHECK_FACE(q, control, picture);
    }
}

TEST_CASE("each key of the pad lights while held and writes its name into the Action box")
{
    const struct {
        const char* key;
        POINT point;
        const char* lit;
    } keys[] = {
        {"Home", {85, 52}, "ImageList1-6"}, {"Up", {85, 15}, "ImageList1-2"},    {"Down", {85, 92}, "ImageList1-4"},
        {"Left", {20, 52}, "ImageList1-5"}, {"Right", {150, 52}, "ImageList1-3"},
    };
    Quorvel q;
    for (const auto& k : keys) {
        CAPTURE(k.key);
        REQUIRE(moveTo(q.at("Picture1", k.point)));
        REQUIRE(press(Button::Left));
        CHECK_FACE(q, "Picture1", k.lit);
        REQUIRE(release(Button::Left));
        CHECK(q.waitForAction(widen(k.key)));
        CHECK_FACE(q, "Picture1", "ImageList1-1");
    }
}

TEST_CASE("a press on Up dragged onto Down and let go there writes Down")
{
    Quorvel q;
    REQUIRE(moveTo(q.at("Picture1", {85, 15})));
    REQUIRE(press(Button::Left));
    CHECK_FACE(q, "Picture1", "ImageList1-2");
    for (int y = 20; y <= 92; y += 8)
        REQUIRE(moveTo(q.at("Picture1", {85, y})));
    REQUIRE(release(Button::Left));
    CHECK(q.waitForAction(L"Down"));
    CHECK_FACE(q, "Picture1", "ImageList1-1");
}

TEST_CASE("the oval button goes in while pressed and asks \"Is it pretty?\" with a single OK")
{
    Quorvel q;
    REQUIRE(moveTo(q.at("pic1", kOvalMiddle)));
    REQUIRE(press(Button::Left));
    CHECK_FACE(q, "pic1", "pic4");
    REQUIRE(release(Button::Left));
    HWND box = q.waitForOwned(L"#32770");
    REQUIRE(box != nullptr);
    CHECK(narrow(text(box)) == "Quorvel");
    CHECK(findChild(box, L"Static", L"Is it pretty?") != nullptr);
    int buttons = 0;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (className(child) == L"Button" && IsWindowVisible(child))
            ++buttons;
    }
    CHECK(buttons == 1);
    HWND ok = findChild(box, L"Button", L"OK");
    REQUIRE(ok != nullptr);
    CHECK_FALSE(IsWindowEnabled(q.main()));
    CHECK_FACE(q, "pic1", "pic3");
    REQUIRE(click(centre(ok)));
    CHECK(waitUntil([&] { return !IsWindow(box); }));
    CHECK(waitUntil([&] { return IsWindowEnabled(q.main()) != FALSE; }));
    CHECK_FACE(q, "pic1", "pic3");
    CHECK(q.process().running());
}

TEST_CASE("a bitmap button is never left pressed by a press dragged off it")
{
    const struct {
        const char* button;
        const char* pressed;
        const char* released;
    } buttons[] = {
        {"Picture4", "Picture3", "Picture8"}, // Exit
        {"Picture7", "Picture6", "Picture5"}, // About
    };
    for (const auto& b : buttons) {
        CAPTURE(b.button);
        Quorvel q;
        REQUIRE(moveTo(q.at(b.button, kButtonMiddle)));
        REQUIRE(press(Button::Left));
        CHECK_FACE(q, b.button, b.pressed);
        // Off the button, and off the window altogether, then let go there.
        const RECT window = screenRect(q.main());
        REQUIRE(moveTo(q.at(b.button, {45, -20})));
        REQUIRE(moveTo({window.right + 30, window.bottom - 10}));
        REQUIRE(release(Button::Left));
        CHECK_FACE(q, b.button, b.released);
        handledSoFar(q);
        CHECK(q.process().running());
        CHECK(q.waitForOwned(L"QuorvelForm", 0ms) == nullptr); // About did not open
    }
}

TEST_CASE("the right button on Exit leaves its face as it is and ends nothing")
{
    Quorvel q;
    REQUIRE(click(q.at("Picture4", kButtonMiddle), Button::Right));
    handledSoFar(q);
    CHECK_FACE(q, "Picture4", "Picture8");
    CHECK(q.process().running());
}

TEST_CASE("a bitmap button lets go when another control takes the pointer mid-press")
{
    Quorvel q;
    HWND command1 = findChild(q.main(), L"Button", L"Command1");
    REQUIRE(command1 != nullptr);
    REQUIRE(waitUntil([&] { return guiThreadInfo(q.main()).hwndFocus == command1; }));
    REQUIRE(moveTo(q.at("Picture4", kButtonMiddle)));
    REQUIRE(press(Button::Left));
    REQUIRE_FACE(q, "Picture4", "Picture3");
    // Space held on the focused push button: the button takes the pointer for itself.
    REQUIRE(keyDown(VK_SPACE));
    CHECK(waitUntil([&] { return guiThreadInfo(q.main()).hwndCapture == command1; }));
    CHECK_FACE(q, "Picture4", "Picture8");
    REQUIRE(keyUp(VK_SPACE));
    // Letting go over Exit now completes nothing: the press was cancelled.
    REQUIRE(release(Button::Left));
    handledSoFar(q);
    CHECK(q.process().running());
    CHECK_FACE(q, "Picture4", "Picture8");
}
