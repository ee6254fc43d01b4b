// The forms runtime's rules, without any window: values and conversions, text contrast, Point,
// image lists, control lookup, the pointer rules, placement, modal shows, the message box's
// style and the runtime's own message box, End, run-time errors and the exit status; the keyboard's rules; and what the views
// give every back end to present (colours, fonts, labels, the changes told to a peer, focus
// memory and modality). Runs over a back end of its own (fakebackend.h).
#define DOCTEST_CONFIG_IMPLEMENT_WITH_MAIN
#define DOCTEST_CONFIG_NO_MULTITHREADING
#include <doctest/doctest.h>

#include "fakebackend.h"
#include "testform.h"
#include "app/form1.h"
#include "app/form2.h"
#include "runtime/application.h"
#include "runtime/backend.h"
#include "runtime/contrast.h"
#include "runtime/imagelist.h"
#include "runtime/placement.h"
#include "runtime/pointer.h"
#include "runtime/units.h"
#include "runtime/values.h"

#include <map>
#include <sstream>

using namespace Runtime;

namespace {


const std::vector<std::string> kSmall = {"....", ".##.", ".#r.", "...."};

using TestForm::kDialog;
const FormDescription &kTestForm = TestForm::kForm;

// A back end with the test pictures, and an application of its own.
struct Fixture
{
    Fixture()
    {
        backend.pictures = {{"small", Fake::picture(kSmall)},   {"white20", Fake::white(20, 20)},
                            {"white30x20", Fake::white(30, 20)}, {"white20x10", Fake::white(20, 10)},
                            {"white10", Fake::white(10, 10)}};
    }
    Fake::Backend backend;
    Application application{backend, "Rules"};
};

// What the pointer rules put out, one line an event.
struct Log
{
    std::vector<std::string> lines;
    PointerRules::Sink sink()
    {
        return [this](PointerRules::Event e, std::int16_t b, std::int16_t s, Pixel at) {
            static const char *const names[] = {"down", "move", "up", "click"};
            std::ostringstream line;
            line << names[int(e)];
            if (e != PointerRules::Event::Click)
                line << ' ' << b << ' ' << s << ' ' << at.x << ' ' << at.y;
            lines.push_back(line.str());
        };
    }
};

// Raw input to the pointer rules, written the way a back end sends it:
// "press 1 held 1 at 3 4", "move held 1 at 5 5", "release 1 at 5 5 inside", "leave", "cancel",
// and a key's press and release: "key down at 3 4", "key up".
void feed(PointerRules &rules, const std::string &input)
{
    std::istringstream in(input);
    std::string verb;
    in >> verb;
    int button = 0, held = 0, x = 0, y = 0;
    std::string word;
    if (verb == "press") {
        in >> button >> word >> held >> word >> x >> y;
        rules.press({x, y}, std::int16_t(button), std::int16_t(held), 0);
    } else if (verb == "move") {
        in >> word >> held >> word >> x >> y;
        rules.move({x, y}, std::int16_t(held), 0);
    } else if (verb == "release") {
        in >> button >> word >> x >> y >> word;
        rules.release({x, y}, std::int16_t(button), 0, word == "inside");
    } else if (verb == "leave") {
        rules.leave();
    } else if (verb == "cancel") {
        rules.cancel();
    } else if (verb == "key") {
        in >> word;
        if (word == "down") {
            in >> word >> x >> y;
            rules.keyPress({x, y});
        } else {
            rules.keyRelease();
        }
    } else {
        FAIL("unknown input: " << input);
    }
}

} // namespace

TEST_CASE("text to boolean")
{
    struct Row { const char *name, *text; bool valid, value; };
    const Row rows[] = {
        {"True", "True", true, true},
        {"False", "False", true, false},
        {"any case", "tRUE", true, true},
        {"blanks around", " False ", true, false},
        {"empty is no boolean", "", false, false},
        {"a word", "Yes", false, false},
        {"a prefix", "Tru", false, false},
        {"True with more after it", "Truest", false, false},
    };
    for (const Row &r : rows) {
        CAPTURE(r.name);
        CHECK(isTrueText(r.text) == r.value);
        if (r.valid) {
            CHECK(textToBool(r.text) == r.value);
            continue;
        }
        try {
            textToBool(r.text);
            FAIL("text that is no boolean converted without an error");
        } catch (const RuntimeError &e) {
            CHECK(e.number() == 13);
            CHECK(e.description() == "Type mismatch");
        }
    }
    CHECK(boolToText(true) == "True");
    CHECK(boolToText(false) == "False");
}

TEST_CASE("twips to pixels, to the nearest pixel")
{
    CHECK(twipsToPixels(0) == 0);
    CHECK(twipsToPixels(7) == 0);
    CHECK(twipsToPixels(8) == 1);
    CHECK(twipsToPixels(5025) == 335);
    CHECK(twipsToPixels(-8) == -1);
    for (int bad : {0, 2, 4, -1}) {
        CAPTURE(bad);
        CHECK_THROWS_AS(checkedScaleMode(bad), RuntimeError);
    }
}

TEST_CASE("a colour is 0xRRGGBB, and red in the low byte where pictures and Win32 keep it")
{
    struct Row { const char *name; int r, g, b; std::uint32_t rgb, lowRed; };
    const Row rows[] = {
        {"red and blue change places, green stays", 0x12, 0x34, 0x56, 0x123456, 0x563412},
        {"out of range: one byte each", 0x112, 0x134, 0x156, 0x123456, 0x563412},
    };
    for (const Row &r : rows) {
        CAPTURE(r.name);
        const Rgb colour = Rgb::of(r.r, r.g, r.b);
        CHECK(colour.value == r.rgb);
        CHECK(colour.lowRed() == r.lowRed);
        CHECK(Rgb::fromLowRed(r.lowRed) == colour);
        CHECK(Rgb::fromLowRed(r.lowRed | 0xFF000000u) == colour); // the top byte is no colour's
    }
    CHECK(Colour::rgbValue(255, 0, 0).rgb == Rgb{0xFF0000});
}

TEST_CASE("a text in a colour of its own keeps it only where it reads")
{
    constexpr Rgb kWhite{0xFFFFFF}, kBlack{0x000000};
    struct Row { const char *name; Rgb text, surface; bool kept; };
    const Row rows[] = {
        {"white on the classic face, 192 grey", kWhite, {0xC0C0C0}, true},
        {"white on 210 grey, the last grey it reads on", kWhite, {0xD2D2D2}, true},
        {"white on 211 grey", kWhite, {0xD3D3D3}, false},
        {"white on 240 grey, the face of every Windows since 7", kWhite, {0xF0F0F0}, false},
        {"white on 245 grey, Wine's face", kWhite, {0xF5F5F5}, false},
        {"white on a high-contrast black face", kWhite, kBlack, true},
        {"black on that black face", kBlack, kBlack, false},
        {"red on 240 grey", {0xFF0000}, {0xF0F0F0}, true},
    };
    for (const Row &r : rows) {
        CAPTURE(r.name);
        CHECK(readsOn(r.text, r.surface) == r.kept);
    }
    CHECK(contrastRatio(kWhite, kBlack) == doctest::Approx(21.0));
    CHECK(contrastRatio(kBlack, kWhite) == doctest::Approx(21.0));
    CHECK(contrastRatio(kWhite, Rgb{0xC0C0C0}) == doctest::Approx(1.82).epsilon(0.005));
}

TEST_CASE_FIXTURE(Fixture, "Point reads the stored picture, 0 outside it")
{
    Form form(kTestForm);
    auto *hidden = form.control<PictureBox>("Hidden");
    CHECK(hidden->peer() == nullptr); // a hidden store has no widget
    struct Row { const char *name; int scale; float x, y; std::int32_t colour; };
    const Row rows[] = {
        {"pixels, black corner", 3, 0, 0, 0},
        {"pixels, white", 3, 1, 1, 0xFFFFFF},
        {"pixels, red in the low byte", 3, 2, 2, 0x0000FF},
        {"pixels, last column black", 3, 3, 1, 0},
        {"pixels, left of the picture", 3, -1, 1, 0},
        {"pixels, above the picture", 3, 1, -1, 0},
        {"pixels, right edge + 1", 3, 4, 1, 0},
        {"pixels, bottom edge + 1", 3, 1, 4, 0},
        {"pixels, fraction inside a pixel", 3, 2.9f, 2.5f, 0x0000FF},
        {"pixels, just below zero is outside", 3, -0.1f, 1, 0},
        {"twips, white", 1, 15, 15, 0xFFFFFF},
        {"twips, red", 1, 30, 44, 0x0000FF},
        {"twips, just left of red", 1, 29, 30, 0xFFFFFF},
        {"twips, outside", 1, 60, 15, 0},
        {"twips, negative", 1, -1, 15, 0},
    };
    for (const Row &r : rows) {
        CAPTURE(r.name);
        hidden->setScaleMode(r.scale);
        CHECK(hidden->Point(r.x, r.y) == r.colour);
    }
}

TEST_CASE_FIXTURE(Fixture, "an image list gives back the very pictures, 1 to n")
{
    const Picture a = Fake::picture(kSmall), b = Fake::white(2, 2);
    const ImageList list({a, b});
    CHECK(list.count() == 2);
    CHECK(list.picture(1).sharesWith(a));
    CHECK(list.picture(2).sharesWith(b));
    CHECK_FALSE(list.picture(1).sharesWith(b));
    for (int bad : {0, 3, -1}) {
        CAPTURE(bad);
        try {
            list.picture(bad);
            FAIL("an image out of the list was given");
        } catch (const RuntimeError &e) {
            CHECK(e.number() == 35600);
        }
    }
}

TEST_CASE_FIXTURE(Fixture, "a picture set on a control is shared, and repaints only when it changes")
{
    Form form(kTestForm);
    auto *top = form.control<PictureBox>("Top");
    auto *box = form.control<PictureBox>("Box");
    auto *peer = Fake::Backend::peerOf(*top);
    const int before = peer->pictureChanges;
    top->setPicture(box->picture());
    CHECK(top->picture().sharesWith(box->picture()));
    CHECK(peer->pictureChanges == before + 1);
    top->setPicture(box->picture()); // the same face again: nothing to repaint
    CHECK(peer->pictureChanges == before + 1);
    CHECK(Fake::Backend::peerOf(*box)->pictureChanges == 0);
}

TEST_CASE_FIXTURE(Fixture, "control lookup errors")
{
    Form form(kTestForm);
    struct Row { const char *name, *control; int index, error; };
    const Row rows[] = {
        {"no such control", "Nowhere", -1, 730},
        {"missing array element", "Arr", 5, 340},
        {"an array without its index", "Arr", -1, 730},
        {"a label is no picture box", "Arr", 1, 13},
    };
    for (const Row &r : rows) {
        CAPTURE(r.name);
        try {
            form.control<PictureBox>(r.control, r.index);
            FAIL("an invalid control was returned");
        } catch (const RuntimeError &e) {
            CHECK(e.number() == r.error);
            CHECK_FALSE(e.description().empty());
        }
    }
}

TEST_CASE_FIXTURE(Fixture, "a form is built from its stored description")
{
    Form form(kTestForm);
    CHECK(form.control("Inner").rect() == Rect{15, 20, 10, 10});
    CHECK(form.control("Inner").rectInForm() == Rect{25, 80, 10, 10});
    CHECK(form.control("Arr", 1).rect() == Rect{120, 120, 40, 15});
    CHECK(form.control<PictureBox>("Bordered")->drawingArea() == Rect{2, 2, 20, 10});
    CHECK(form.control("Edit").text() == "abc");
    CHECK(form.control("Top").tag().empty());
    // Every shown control has a widget, created in stored order; the hidden store none.
    CHECK(backend.created == std::vector<std::string>{"Top", "Under", "Box", "Bordered", "Frame", "Inner", "Edit", "Button",
                                                      "Arr(0)", "Arr(1)", "Check"});
    // A stored picture that does not exist (the back end gives none) fails the building: 481.
    const ControlDescription broken[] = {{.kind = Kind::PictureBox, .name = "P", .picture = "nowhere"}};
    try {
        Form(FormDescription{"Broken", "", {}, broken});
        FAIL("a form with a missing picture was built");
    } catch (const RuntimeError &e) {
        CHECK(e.number() == 481);
    }
}

TEST_CASE("the pointer rules")
{
    struct Row
    {
        const char *name;
        std::vector<std::string> input;
        std::vector<std::string> events;
    };
    const Row rows[] = {
        {"a left click: announced, down, up, click",
         {"move held 0 at 3 4", "press 1 held 1 at 3 4", "release 1 at 3 4 inside"},
         {"move 0 0 3 4", "down 1 0 3 4", "up 1 0 3 4", "click"}},
        {"a still pointer is announced before the press",
         {"move held 0 at 1 1", "press 1 held 1 at 6 7", "release 1 at 6 7 inside"},
         {"move 0 0 1 1", "move 0 0 6 7", "down 1 0 6 7", "up 1 0 6 7", "click"}},
        {"released off the box: no click",
         {"press 1 held 1 at 3 4", "move held 1 at 40 4", "release 1 at 40 4 outside"},
         {"move 0 0 3 4", "down 1 0 3 4", "move 1 0 40 4", "up 1 0 40 4"}},
        {"the right button: no click",
         {"press 2 held 2 at 3 4", "release 2 at 3 4 inside"},
         {"move 0 0 3 4", "down 2 0 3 4", "up 2 0 3 4"}},
        {"a second button while one is held; moves carry both",
         {"press 1 held 1 at 3 4", "press 2 held 3 at 3 4", "move held 3 at 5 5", "release 2 at 5 5 inside",
          "release 1 at 5 5 inside"},
         {"move 0 0 3 4", "down 1 0 3 4", "down 2 0 3 4", "move 3 0 5 5", "up 2 0 5 5", "up 1 0 5 5", "click"}},
        {"a press never seen: other buttons held that were not pressed here",
         {"press 1 held 3 at 3 4", "release 1 at 3 4 inside", "release 2 at 3 4 inside"},
         {}},
        {"a release of a button not held here",
         {"release 1 at 3 4 inside"},
         {}},
        {"a move without a held button: let go elsewhere",
         {"press 1 held 1 at 3 4", "move held 0 at 6 6", "release 1 at 6 6 inside"},
         {"move 0 0 3 4", "down 1 0 3 4", "move 1 0 -1 -1", "up 1 0 -1 -1", "move 0 0 6 6"}},
        {"cancelled with two buttons held: let go off the box, no click",
         {"press 1 held 1 at 3 4", "press 4 held 5 at 3 4", "cancel", "release 1 at 3 4 inside"},
         {"move 0 0 3 4", "down 1 0 3 4", "down 4 0 3 4", "move 5 0 -1 -1", "up 1 0 -1 -1", "up 4 0 -1 -1"}},
        {"cancelled with nothing held: nothing",
         {"move held 0 at 3 4", "cancel"},
         {"move 0 0 3 4"}},
        {"after leaving, the next press is announced again",
         {"move held 0 at 3 4", "leave", "press 1 held 1 at 3 4", "release 1 at 3 4 inside"},
         {"move 0 0 3 4", "move 0 0 3 4", "down 1 0 3 4", "up 1 0 3 4", "click"}},
        {"leaving while held forgets nothing",
         {"press 1 held 1 at 3 4", "leave", "release 1 at 3 4 inside"},
         {"move 0 0 3 4", "down 1 0 3 4", "up 1 0 3 4", "click"}},
        {"a key: announced at its point, down, up and a click there",
         {"key down at 8 9", "key up"},
         {"move 0 0 8 9", "down 1 0 8 9", "up 1 0 8 9", "click"}},
        {"while a key holds the box the pointer's moves are not its own",
         {"key down at 8 9", "move held 0 at 1 1", "key up"},
         {"move 0 0 8 9", "down 1 0 8 9", "up 1 0 8 9", "click"}},
        {"a pointer press lets go of a key's press off the box, then is its own",
         {"key down at 8 9", "press 1 held 1 at 3 4", "key up", "release 1 at 3 4 inside"},
         {"move 0 0 8 9", "down 1 0 8 9", "move 1 0 -1 -1", "up 1 0 -1 -1", "move 0 0 3 4", "down 1 0 3 4",
          "up 1 0 3 4", "click"}},
        {"a key while the pointer holds the box does nothing",
         {"press 1 held 1 at 3 4", "key down at 8 9", "key up", "release 1 at 3 4 inside"},
         {"move 0 0 3 4", "down 1 0 3 4", "up 1 0 3 4", "click"}},
        {"a key's press cancelled: let go off the box, no click",
         {"key down at 8 9", "cancel", "key up"},
         {"move 0 0 8 9", "down 1 0 8 9", "move 1 0 -1 -1", "up 1 0 -1 -1"}},
    };
    for (const Row &r : rows) {
        CAPTURE(r.name);
        Log log;
        PointerRules rules(log.sink());
        for (const std::string &input : r.input)
            feed(rules, input);
        CHECK(log.lines == r.events);
        CHECK(rules.held() == 0);
    }
}

TEST_CASE_FIXTURE(Fixture, "a picture box reports in its own scale, through the dispatcher")
{
    Form form(kTestForm);
    auto *box = form.control<PictureBox>("Box");
    std::vector<std::string> log;
    box->MouseDown = [&](std::int16_t b, std::int16_t s, float x, float y) {
        log.push_back("down " + std::to_string(b) + " " + std::to_string(s) + " " + std::to_string(int(x)) + " "
                      + std::to_string(int(y)));
    };
    Fake::press(*box, {3, 4}, Button::Left, ShiftKey::Shift);
    box->setScaleMode(Scale::Pixels);
    Report::pointerPressed(box->view(), {3, 4}, Button::Right, Button::Left | Button::Right, 0);
    CHECK(log == std::vector<std::string>{"down 1 1 45 60", "down 2 0 3 4"});
    // A bordered box measures from its drawing area; a release on the border is still on it.
    auto *bordered = form.control<PictureBox>("Bordered");
    CHECK(bordered->contains({-2, -2}));
    CHECK(bordered->contains({21, 11}));
    CHECK_FALSE(bordered->contains({22, 11}));
    CHECK_FALSE(bordered->contains({-3, 0}));
}

TEST_CASE("a window's frame is kept on the screen")
{
    struct Row { const char *name; Rect client; Margins frame; Rect screen; Point origin; };
    const Margins frame{1, 20, 1, 1};
    const Rect large{0, 0, 1024, 768};
    const Row rows[] = {
        {"fits: stays", {156, 102, 335, 365}, frame, large, {156, 102}},
        {"off the bottom: up by the least", {156, 102, 335, 365}, frame, {0, 0, 400, 400}, {64, 34}},
        {"frame above the top: down by its title bar", {10, 5, 100, 100}, frame, large, {10, 20}},
        {"left of the screen", {-50, 100, 100, 100}, frame, large, {1, 100}},
        {"larger both ways: frame at the top-left", {156, 102, 335, 365}, frame, {0, 0, 320, 240}, {1, 20}},
        {"taller only: top edge, across kept", {156, 102, 335, 365}, frame, {0, 0, 1024, 300}, {156, 20}},
        {"a second screen to the right", {1500, 900, 335, 365}, frame, {1024, 0, 800, 600}, {1024 + 800 - 336, 600 - 366}},
        {"no frame known", {156, 102, 335, 365}, {}, {0, 0, 400, 400}, {65, 35}},
    };
    for (const Row &r : rows) {
        CAPTURE(r.name);
        CHECK(keepOnScreen(r.client, r.frame, r.screen) == r.origin);
    }
}

TEST_CASE_FIXTURE(Fixture, "a form shown over another keeps their stored relation, on the screen")
{
    Form main(kTestForm);
    main.showForm(0);
    CHECK(backend.windowOf(main)->client == Rect{100, 100, 200, 150});
    Form dialog(kDialog, &main);
    struct Row { const char *name; Point mainAt; Rect screen; Point dialogAt; };
    const Row rows[] = {
        {"the main window where it is stored", {100, 100}, {0, 0, 1024, 768}, {130, 150}},
        {"the main window moved", {400, 20}, {0, 0, 1024, 768}, {430, 70}},
        {"the main window near the screen's corner", {950, 700}, {0, 0, 1024, 768}, {924, 728}},
    };
    for (const Row &r : rows) {
        CAPTURE(r.name);
        backend.windowOf(main)->client.x = r.mainAt.x;
        backend.windowOf(main)->client.y = r.mainAt.y;
        backend.windowOf(dialog)->screen = r.screen;
        backend.whileModal = [&](Fake::WindowPeer &window) {
            window.client.x += 7; // moved while open: not carried over to the next opening
            Report::closeRequested(window.form);
        };
        for (int opening = 0; opening < 2; ++opening) {
            dialog.showForm(1);
            CHECK(backend.windowOf(dialog)->shows > 0);
            CHECK(backend.windowOf(dialog)->client.x - 7 == r.dialogAt.x);
            CHECK(backend.windowOf(dialog)->client.y == r.dialogAt.y);
        }
    }
}

TEST_CASE_FIXTURE(Fixture, "once framed, a window that does not fit is moved on, unless moved meanwhile")
{
    Form main(kTestForm);
    Fake::WindowPeer &window = *backend.windowOf(main);
    window.screen = {0, 0, 320, 240};
    main.showForm(0);
    CHECK(window.client.x == 100); // no frame known yet: fits as it is
    window.margins = {4, 30, 4, 4};
    Report::windowShown(main.view());
    CHECK(window.client.x == 100);
    CHECK(window.client.y == 240 - 150 - 4);
    // Known once: a later framing does not move a window the user placed.
    window.client.y = 3;
    Report::windowShown(main.view());
    CHECK(window.client.y == 3);
}

TEST_CASE_FIXTURE(Fixture, "a modal show returns when the form is closed, not before")
{
    Form main(kTestForm);
    main.showForm(0);
    Form dialog(kDialog, &main);
    auto *box = main.control<PictureBox>("Box");
    int ups = 0;
    box->MouseUp = [&](std::int16_t, std::int16_t, float, float) { ++ups; };
    Fake::press(*box, {5, 5});
    int errors = 0;
    backend.whileModal = [&](Fake::WindowPeer &window) {
        CHECK(window.modal);
        CHECK(dialog.isModal());
        // Shown modally again while open: run-time error 400.
        try {
            dialog.showForm(1);
        } catch (const RuntimeError &e) {
            errors += e.number() == 400;
        }
        // The window system hides the main window (minimised): the dialog stays open.
        Report::windowMinimised(main.view());
        CHECK_FALSE(window.ended);
        Report::closeRequested(window.form);
        CHECK(window.ended);
        CHECK_FALSE(window.visible);
    };
    dialog.showForm(1);
    CHECK(errors == 1);
    CHECK_FALSE(dialog.isModal());
    CHECK(ups == 1); // the press on the main window was let go when its window went away
    CHECK_THROWS_AS(dialog.showForm(2), RuntimeError);
}

TEST_CASE_FIXTURE(Fixture, "the message box decodes its style")
{
    using C = MessageBoxRequest::Choice;
    using I = MessageBoxRequest::Icon;
    struct Row
    {
        const char *name;
        int style;
        std::vector<C> choices;
        I icon;
        int defaultChoice, pressed, result;
    };
    const Row rows[] = {
        {"0: OK", 0, {C::Ok}, I::None, 0, 0, 1},
        {"128: OK, no icon", 128, {C::Ok}, I::None, 0, 0, 1},
        {"1+16: OK Cancel, critical", 17, {C::Ok, C::Cancel}, I::Critical, 0, 1, 2},
        {"3+32+256: Yes No Cancel, question, second default", 3 + 32 + 256, {C::Yes, C::No, C::Cancel}, I::Question, 1, 1, 7},
        {"2+48+512: Abort Retry Ignore, warning, third default", 2 + 48 + 512, {C::Abort, C::Retry, C::Ignore},
         I::Exclamation, 2, 0, 3},
        {"4+64: Yes No, information", 4 + 64, {C::Yes, C::No}, I::Information, 0, 0, 6},
        {"5: Retry Cancel", 5, {C::Retry, C::Cancel}, I::None, 0, 0, 4},
        {"default past the last button", 512, {C::Ok}, I::None, 0, 0, 1},
        {"OK Cancel closed by Escape: Cancel", 1, {C::Ok, C::Cancel}, I::None, 0, -1, 2},
        {"OK closed by Escape: OK", 0, {C::Ok}, I::None, 0, -1, 1},
    };
    for (const Row &r : rows) {
        CAPTURE(r.name);
        backend.boxes.clear();
        backend.answer = r.pressed;
        CHECK(MsgBox("Hello", r.style) == r.result);
        REQUIRE(backend.boxes.size() == 1);
        const MessageBoxRequest &box = backend.boxes.front();
        CHECK(box.title == "Rules");
        CHECK(box.prompt == "Hello");
        CHECK(box.choices == r.choices);
        CHECK(box.icon == r.icon);
        CHECK(box.defaultChoice == r.defaultChoice);
    }
}

// The runtime's own message box, where the platform has none: the keys, the buttons and the
// frame's close command as a user gives them to its window.
TEST_CASE_FIXTURE(Fixture, "the runtime's own message box answers by its buttons, Tab, Escape and its frame")
{
    backend.ownMessageBox = false;
    Form owner(kTestForm);
    owner.showForm(0);
    struct Row
    {
        const char *name;
        int style;
        const char *firstFocus;               // the default button, focused as the box opens
        std::vector<std::string> steps;       // "tab", "shift-tab", "escape", "close", "click CAPTION"
        int result;
    };
    const Row rows[] = {
        {"OK clicked", 0, "OK", {"click OK"}, 1},
        {"Yes No Cancel, No default, Cancel clicked", 3 + 256, "No", {"click Cancel"}, 2},
        {"Tab from the default to the next", 3 + 256, "No", {"tab", "click focused"}, 2},
        {"Shift+Tab from the default to the one before", 3 + 256, "No", {"shift-tab", "click focused"}, 6},
        {"Tab round from the last to the first", 2 + 512, "Ignore", {"tab", "click focused"}, 3},
        {"Tab with one button keeps it", 0, "OK", {"tab", "click focused"}, 1},
        {"OK Cancel closed by Escape: Cancel", 1, "OK", {"escape"}, 2},
        {"Retry Cancel closed by its frame: Cancel", 5, "Retry", {"close"}, 2},
    };
    for (const Row &r : rows) {
        CAPTURE(r.name);
        std::string focusedFirst;
        bool ownerBlocked = false;
        backend.whileModal = [&](Fake::WindowPeer &box) {
            const auto focused = [&] {
                for (const ControlView &c : box.form.controls()) {
                    if (c.state().focused)
                        return c;
                }
                return ControlView();
            };
            focusedFirst = focused() ? focused().text() : "";
            ownerBlocked = Fake::Backend::windowOf(owner)->blocked;
            for (const std::string &step : r.steps) {
                if (step == "tab" || step == "shift-tab")
                    Report::keyPressed(box.form, Key::Tab, step == "tab" ? 0 : ShiftKey::Shift, false);
                else if (step == "escape")
                    Report::keyPressed(box.form, Key::Escape, 0, false);
                else if (step == "close")
                    Report::closeRequested(box.form);
                else if (step == "click focused")
                    Report::buttonClicked(focused());
                for (const ControlView &c : box.form.controls()) {
                    if (step == "click " + c.text())
                        Report::buttonClicked(c);
                }
            }
        };
        CHECK(MsgBox("Hello", r.style) == r.result);
        CHECK(focusedFirst == r.firstFocus);
        CHECK(ownerBlocked);
        CHECK_FALSE(Fake::Backend::windowOf(owner)->blocked);
        CHECK(backend.boxes.empty()); // the platform was asked for none
    }
}

TEST_CASE_FIXTURE(Fixture, "the runtime's own message box is laid out round its measured prompt, over its window")
{
    backend.ownMessageBox = false;
    Form owner(kTestForm); // its client area at (100, 100), 200 x 150
    owner.showForm(0);
    struct Row
    {
        const char *name;
        int style;
        const char *prompt;
        Rect client;                          // the box's client area
        std::vector<std::pair<std::string, Rect>> controls; // key (icon: its kind), place
    };
    const Row rows[] = {
        // The narrowest row, 120 pixels, and one 75 x 23 button centred below.
        {"OK, no icon", 0, "Hi", {128, 139, 144, 72},
         {{"Prompt", {12, 12, 12, 13}}, {"Choice(0)", {34, 39, 75, 23}}}},
        // A 32-pixel icon and 12 pixels to the prompt, centred beside it.
        {"question, two lines", 4 + 32, "Hello\nthere", {110, 129, 180, 91},
         {{"Icon", {12, 12, 32, 32}}, {"Prompt", {56, 15, 30, 26}}, {"Choice(0)", {12, 58, 75, 23}},
          {"Choice(1)", {93, 58, 75, 23}}}},
        // A prompt wider than the owner: the box wider, centred all the same.
        {"critical, wide", 16, "A prompt of forty characters, all of it.", {46, 129, 308, 91},
         {{"Icon", {12, 12, 32, 32}}, {"Prompt", {56, 21, 240, 13}}, {"Choice(0)", {116, 58, 75, 23}}}},
    };
    for (const Row &r : rows) {
        CAPTURE(r.name);
        backend.whileModal = [&](Fake::WindowPeer &box) {
            CHECK(box.client == r.client);
            CHECK(box.modal);
            CHECK(box.form.isAlert());
            CHECK(box.form.caption() == "Rules");
            CHECK(box.form.accessibleDescription() == r.prompt);
            std::vector<std::pair<std::string, Rect>> controls;
            for (const ControlView &c : box.form.controls())
                controls.emplace_back(c.key(), c.rect());
            CHECK(controls == r.controls);
            const MessageIcon icon = box.form.controls().front().icon();
            CHECK(icon == MessageIcon(r.style >> 4)); // 16 critical, 32 question: in order
            Report::closeRequested(box.form);
        };
        MsgBox(r.prompt, r.style);
    }
}

TEST_CASE_FIXTURE(Fixture, "End stops every further procedure")
{
    Form form(kTestForm);
    auto *box = form.control<PictureBox>("Box");
    form.showForm(0);
    int clicks = 0;
    box->Click = [&] {
        ++clicks;
        End();
    };
    for (int i = 0; i < 2; ++i)
        Fake::click(*box, {5, 5});
    CHECK(clicks == 1);
    CHECK(application.hasEnded());
    CHECK(application.exitStatus() == 0);
    CHECK_FALSE(form.isVisible());
}

TEST_CASE_FIXTURE(Fixture, "a run-time error is reported in a box and ends the program with status 1")
{
    Form form(kTestForm);
    auto *box = form.control<PictureBox>("Box");
    bool after = false;
    int clicks = 0;
    box->MouseDown = [&](std::int16_t, std::int16_t, float, float) {
        textToBool("");
        after = true;
    };
    box->Click = [&] { ++clicks; };
    Fake::click(*box, {5, 5});
    CHECK_FALSE(after);
    CHECK(clicks == 0); // nothing runs after the end
    REQUIRE(backend.boxes.size() == 1);
    CHECK(backend.boxes.front().prompt == "Run-time error '13':\n\nType mismatch");
    CHECK(backend.boxes.front().title == "Rules");
    CHECK(backend.boxes.front().icon == MessageBoxRequest::Icon::Critical);
    CHECK(application.hasEnded());
    CHECK(application.exitStatus() == 1);
    CHECK_FALSE(form.isVisible());
}

TEST_CASE_FIXTURE(Fixture, "the program's exit status")
{
    struct Row { const char *name; const char *ending; int status; bool shown; };
    const Row rows[] = {
        {"End", "end", 0, true},
        {"the main window closed", "close", 0, true},
        {"a run-time error in an event procedure", "procedure error", 1, true},
        {"a run-time error while loading: never shown", "load error", 1, false},
    };
    for (const Row &r : rows) {
        CAPTURE(r.name);
        backend.boxes.clear();
        Application application(backend, "Rules");
        Form main(kTestForm);
        const std::string ending = r.ending;
        if (ending == "load error")
            main.setLoadProcedure([] { textToBool("maybe"); });
        bool everShown = false;
        backend.whileRunning = [&] {
            everShown = main.isVisible();
            if (ending == "end")
                application.dispatch([] { End(); });
            else if (ending == "close")
                main.closeRequested();
            else if (ending == "procedure error")
                application.dispatch([] { ImageList().picture(1); });
        };
        CHECK(application.run(main) == r.status);
        CHECK(everShown == r.shown);
        CHECK_FALSE(main.isVisible());
        CHECK(backend.boxes.size() == (r.status == 0 ? 0u : 1u));
        CHECK(application.hasEnded() == (ending != "close")); // closing runs no procedure, End included
    }
}

// ---- the keyboard's rules, on the program's own main window ------------------------------

namespace {

// The program's stored pictures, drawn small: each face a picture of its own, so that which
// face a control shows is known by what it shares; the masks white, but for a black outer
// ring on the balls' and the oval's, and black rows 28 to 30 between the pad's keys.
std::map<std::string, Picture> programPictures()
{
    std::map<std::string, Picture> pictures;
    for (const char *face : {"pic3", "pic4", "Picture8", "Picture3", "Picture5", "Picture6", "Picture1"})
        pictures[face] = Fake::white(1, 1);
    for (int n = 1; n <= 6; ++n) {
        pictures["ImageList1-" + std::to_string(n)] = Fake::white(1, 1);
        pictures["ImageList2-" + std::to_string(n)] = Fake::white(1, 1);
    }
    const auto ringed = [](int w, int h) {
        std::vector<std::string> rows(std::size_t(h), "." + std::string(std::size_t(w - 2), '#') + ".");
        rows.front() = rows.back() = std::string(std::size_t(w), '.');
        return Fake::picture(rows);
    };
    pictures["PicM"] = ringed(26, 26);
    pictures["pic2"] = ringed(164, 51);
    std::vector<std::string> pad(106, std::string(171, '#'));
    for (int row : {28, 29, 30})
        pad[std::size_t(row)] = std::string(171, '.');
    pictures["Picture2"] = Fake::picture(pad);
    return pictures;
}

// The main window over the test back end, loaded and shown as the program shows it.
struct MainWindow
{
    MainWindow()
    {
        form.load();
        form.showForm(0);
    }
    static Fake::Backend withPictures()
    {
        Fake::Backend backend;
        backend.pictures = programPictures();
        return backend;
    }
    std::string focused() const { return form.focusedControl() ? form.focusedControl()->key() : "(none)"; }
    const Control &named(const std::string &key) const
    {
        const auto open = key.find('(');
        return open == std::string::npos ? form.control(key) : form.control(key.substr(0, open), std::stoi(key.substr(open + 1)));
    }
    // The face a picture box shows, by the name of the stored picture it shares.
    std::string face(const std::string &key) const
    {
        const auto &box = dynamic_cast<const PictureBox &>(named(key));
        for (const auto &[name, picture] : backend.pictures) {
            if (box.picture().sharesWith(picture))
                return name;
        }
        return "(none)";
    }
    bool press(Key key, std::int16_t shift = 0, bool repeat = false)
    {
        return Report::keyPressed(form.view(), key, shift, repeat);
    }
    void release(Key key) { Report::keyReleased(form.view(), key, 0); }

    Fake::Backend backend = withPictures();
    Application application{backend, "Quorvel"};
    Form1 form;
};

} // namespace

TEST_CASE("Tab and Shift+Tab go round every control by TabIndex, each group of options one stop")
{
    // Stops in TabIndex order: the standard controls of the upper frame, the pad, About, Exit,
    // the Action box, the oval, the check box and the balls.
    struct Row { const char *name; std::vector<std::string> before; Key key; std::int16_t shift; std::vector<std::string> stops; };
    const Row rows[] = {
        {"Tab from the first stop, round to it again", {}, Key::Tab, 0,
         {"Check1", "Option1(0)", "Text1", "Picture1", "Picture7", "Picture4", "Text2", "pic1", "Chk1", "Opt1(0)", "Command1"}},
        {"Shift+Tab goes back, round the other way", {}, Key::Tab, ShiftKey::Shift,
         {"Opt1(0)", "Chk1", "pic1", "Text2", "Picture4", "Picture7", "Picture1", "Text1", "Option1(0)", "Check1", "Command1"}},
        {"a group's stop is its selected element", {"choose Option1(1)", "choose Opt1(2)"}, Key::Tab, 0,
         {"Check1", "Option1(1)", "Text1", "Picture1", "Picture7", "Picture4", "Text2", "pic1", "Chk1", "Opt1(2)", "Command1"}},
        {"from a control the pointer focused", {"focus Text2"}, Key::Tab, 0, {"pic1", "Chk1"}},
        {"from an option that is not its group's stop", {"focus Option1(1)"}, Key::Tab, 0, {"Text1"}},
        {"Ctrl+Tab is not the form's", {}, Key::Tab, ShiftKey::Ctrl, {"Command1"}},
        {"Alt+Tab is not the form's", {}, Key::Tab, ShiftKey::Alt, {"Command1"}},
    };
    for (const Row &r : rows) {
        CAPTURE(r.name);
        MainWindow w;
        CHECK(w.focused() == "Command1"); // shown: the first stop has the focus
        for (const std::string &step : r.before) {
            const std::string key = step.substr(step.find(' ') + 1);
            if (step.starts_with("focus "))
                Report::focusGained(w.named(key).view());
            else if (key.starts_with("Opt1"))
                w.form.OptIndex = std::int16_t(key[5] - '0');
            else
                Report::optionChosen(w.named(key).view());
        }
        const bool ours = !(r.shift & (ShiftKey::Ctrl | ShiftKey::Alt));
        for (const std::string &stop : r.stops) {
            CHECK(w.press(r.key, r.shift) == ours);
            w.release(r.key);
            CHECK(w.focused() == stop);
        }
    }
}

TEST_CASE("the arrow keys move the focus and the selection round a group of options")
{
    struct Row
    {
        const char *name;
        const char *from;
        std::vector<Key> keys;
        std::int16_t shift;
        bool taken;
        std::vector<std::string> foci; // the focus after each key (and its repeats)
        std::vector<bool> selected; // the standard pair's values, or which ball shows image 6
        int repeats = 0;            // the key held: its repeats before it is let go
    };
    using K = Key;
    const Row rows[] = {
        {"the standard pair: Down selects the next", "Option1(0)", {K::Down}, 0, true, {"Option1(1)"}, {false, true}},
        {"the standard pair: Right as Down, round to the first", "Option1(0)", {K::Right, K::Right}, 0, true,
         {"Option1(1)", "Option1(0)"}, {true, false}},
        {"the standard pair: Up from the first goes round to the last", "Option1(0)", {K::Up}, 0, true, {"Option1(1)"},
         {false, true}},
        {"the standard pair: Left moves as well", "Option1(0)", {K::Left}, 0, true, {"Option1(1)"}, {false, true}},
        {"the standard pair: with Shift, not the form's", "Option1(0)", {K::Down}, ShiftKey::Shift, false,
         {"Option1(0)"}, {true, false}},
        {"the standard pair: Down held moves on every repeat", "Option1(0)", {K::Down}, 0, true, {"Option1(1)"},
         {false, true}, 2},
        {"the balls: Down held moves once", "Opt1(0)", {K::Down}, 0, true, {"Opt1(1)"}, {false, true, false}, 1},
        {"the balls: Down selects the next", "Opt1(0)", {K::Down}, 0, true, {"Opt1(1)"}, {false, true, false}},
        {"the balls: Right as Down", "Opt1(0)", {K::Right, K::Right}, 0, true, {"Opt1(1)", "Opt1(2)"},
         {false, false, true}},
        {"the balls: Up from the first goes round to the last", "Opt1(0)", {K::Up}, 0, true, {"Opt1(2)"},
         {false, false, true}},
        {"the balls: Down from the last goes round to the first", "Opt1(0)", {K::Down, K::Down, K::Down}, 0, true,
         {"Opt1(1)", "Opt1(2)", "Opt1(0)"}, {true, false, false}},
        {"the balls: Left as Up", "Opt1(0)", {K::Left, K::Left}, 0, true, {"Opt1(2)", "Opt1(1)"},
         {false, true, false}},
        {"the balls: Space on the selected ball changes nothing", "Opt1(0)", {K::Space}, 0, true, {"Opt1(0)"},
         {true, false, false}},
        {"a text box keeps its arrows", "Text2", {K::Down, K::Left}, 0, false, {"Text2", "Text2"}, {true, false, false}},
        {"the check box takes no arrow", "Chk1", {K::Down}, 0, false, {"Chk1"}, {true, false, false}},
    };
    for (const Row &r : rows) {
        CAPTURE(r.name);
        MainWindow w;
        Report::focusGained(w.named(r.from).view());
        REQUIRE(r.foci.size() == r.keys.size());
        for (std::size_t k = 0; k < r.keys.size(); ++k) {
            CHECK(w.press(r.keys[k], r.shift) == r.taken);
            for (int i = 0; i < r.repeats; ++i)
                CHECK(w.press(r.keys[k], r.shift, true) == r.taken);
            w.release(r.keys[k]);
            CHECK(w.focused() == r.foci[k]);
        }
        const bool standard = std::string(r.from).starts_with("Option1");
        for (std::size_t i = 0; i < r.selected.size(); ++i) {
            CAPTURE(i);
            if (standard) {
                const Control &option = w.form.control("Option1", int(i));
                CHECK(option.value() == r.selected[i]);
                CHECK(Fake::Backend::peerOf(option)->shownValue == r.selected[i]); // and its peer shows it
            } else {
                CHECK((w.form.OptIndex == std::int16_t(i)) == r.selected[i]);
                CHECK(w.face("Opt1(" + std::to_string(i) + ")") == (r.selected[i] ? "ImageList2-6" : "ImageList2-4"));
            }
        }
    }
}

TEST_CASE_FIXTURE(MainWindow, "an option button chosen, a check box clicked, text typed: the runtime keeps what the user did")
{
    const Control &first = form.control("Option1", 0), &second = form.control("Option1", 1);
    Report::optionChosen(second.view());
    CHECK_FALSE(first.value());
    CHECK(second.value());
    CHECK_FALSE(Fake::Backend::peerOf(first)->shownValue);
    CHECK(Fake::Backend::peerOf(second)->shownValue); // its own peer too: the platform's grouping is off
    Report::optionChosen(second.view()); // chosen again: still the one
    CHECK(second.value());
    CHECK_FALSE(first.value());
    // A check box clicked is toggled by the runtime, which tells its peer each time.
    const Control &check = form.control("Check1");
    const auto *checkPeer = Fake::Backend::peerOf(check);
    for (const bool expected : {true, false, true}) {
        Report::checkBoxClicked(check.view());
        CHECK(check.value() == expected);
        CHECK(checkPeer->shownValue == expected);
    }
    CHECK(checkPeer->valueChanges == 3);
    Report::checkBoxClicked(form.Text2->view()); // no check box: nothing to toggle
    CHECK(Fake::Backend::peerOf(*form.Text2)->valueChanges == 0);
    Report::textEdited(form.Text2->view(), "typed");
    CHECK(form.Text2->text() == "typed");
    CHECK(Fake::Backend::peerOf(*form.Text2)->textChanges == 0); // what the user typed is shown already
}

TEST_CASE("Escape closes a modally shown form, and nothing else")
{
    struct Row { const char *name; bool modal; std::int16_t shift; bool closes; };
    const Row rows[] = {
        {"About, shown modally", true, 0, true},
        {"About, with Shift", true, ShiftKey::Shift, true},
        {"About, with Ctrl: not the form's", true, ShiftKey::Ctrl, false},
        {"the main window", false, 0, false},
    };
    for (const Row &r : rows) {
        CAPTURE(r.name);
        MainWindow w;
        bool taken = false, stillOpen = false;
        w.backend.whileModal = [&](Fake::WindowPeer &about) {
            taken = Report::keyPressed(about.form, Key::Escape, r.shift, false);
            stillOpen = about.visible;
            Report::closeRequested(about.form); // the frame's close button, whatever Escape did
        };
        if (r.modal) {
            Fake::click(*w.form.Picture7, {45, 17});
        } else {
            taken = w.press(Key::Escape, r.shift);
            stillOpen = w.form.isVisible();
        }
        CHECK(taken == r.closes);
        CHECK(stillOpen == !r.closes);
        CHECK(w.form.isVisible());
        CHECK_FALSE(w.application.hasEnded());
    }
}

TEST_CASE_FIXTURE(MainWindow, "a control is named by the label beside it, else by its own name; a ball is linked to no label")
{
    // A ball is linked to none, as a standard option button: a screen reader reads the label of
    // a radio button as its group's name, which is the frame around the group.
    struct Row { const char *control, *name, *label, *description = ""; };
    const Row rows[] = {
        {"Text2", "Action:", "Label2"},        {"Text1", "Label1", "Label1"},
        {"Chk1", "qvCheck1", "Label3(3)"},     {"Opt1(1)", "qvOption1(1)", nullptr},
        {"Option1(1)", "Option1(1)", nullptr}, {"pic1", "Click here!", nullptr},
        {"Picture1", "Direction pad", nullptr, "Use the arrow keys and Home"},
        {"Picture4", "Exit", nullptr},         {"Command1", "Command1", nullptr},
        {"Frame2", "Zennorak Design Quorvel technics examples", nullptr},
    };
    for (const Row &r : rows) {
        CAPTURE(r.control);
        const ControlView view = named(r.control).view();
        CHECK(view.accessibleName() == r.name);
        CHECK(bool(view.labelledBy()) == (r.label != nullptr));
        if (r.label)
            CHECK(view.labelledBy().key() == r.label);
        CHECK(view.accessibleDescription() == r.description);
    }
}

TEST_CASE_FIXTURE(MainWindow, "a window of text alone is described by its labels, top down; any other by none")
{
    const Form2 about; // stored from the bottom up
    const Form dialog(kDialog);
    const auto lines = [](const Form &f) {
        std::vector<std::string> keys;
        for (const ControlView &line : f.view().describedBy())
            keys.push_back(line.key());
        return keys;
    };
    CHECK(lines(form).empty()); // its labels stand beside controls that take the focus
    CHECK(form.view().accessibleDescription().empty());
    CHECK(lines(dialog) == std::vector<std::string>{"Text"});
    CHECK(lines(about)
          == std::vector<std::string>{"Label1(0)", "Label1(1)", "Label1(2)", "Label1(3)", "Label1(4)", "Label1(5)"});
    CHECK(about.view().accessibleDescription()
          == "This is a sample of Quorvel technics applica-\nted to offen using MS standard custom controls.\n"
             "No limits to Your fantasy...\nIf You will find it usefull - please contact me at\n"
             "quorvel@zennorak.example\nCopyright (C) Zennorak Design. All rights reserved.");
}

TEST_CASE_FIXTURE(MainWindow, "the focus indicator shows once the keyboard is used, on the focused control only")
{
    const auto indicators = [this] {
        std::vector<std::string> shown;
        for (const auto &c : form.controls()) {
            if (c->view().focusIndicator())
                shown.push_back(c->key());
        }
        return shown;
    };
    Report::focusGained(form.pic1->view()); // the focus given without the keyboard
    CHECK(indicators().empty());
    const int told = Fake::Backend::peerOf(*form.pic1)->stateChanges;
    CHECK(press(Key::Space, ShiftKey::Ctrl) == false); // no key of the form's: still not used
    CHECK(indicators().empty());
    CHECK(press(Key::Tab));
    CHECK(indicators() == std::vector<std::string>{"Chk1"});
    CHECK(Fake::Backend::peerOf(*form.pic1)->stateChanges == told); // it never showed one
    Report::focusLost(form.Chk1->view()); // to another window
    CHECK(indicators().empty());
    Report::focusGained(form.pic1->view()); // back, by the pointer: the keyboard has been used
    CHECK(indicators() == std::vector<std::string>{"pic1"});
    CHECK(Fake::Backend::peerOf(*form.pic1)->stateChanges == told + 1);
}

TEST_CASE("a key presses a bitmap control through its own procedures: pressed while held, acting when let go")
{
    struct Row
    {
        const char *name;
        const char *control;
        Key key;
        bool taken;
        const char *held;  // the face while the key is down
        const char *after; // the face once it is up
        const char *effect;
    };
    const Row rows[] = {
        {"Space on the check box: nothing while held, checked when let go", "Chk1", Key::Space, true,
         "ImageList2-1", "ImageList2-3", "checked"},
        {"Enter is no key of the check box", "Chk1", Key::Enter, false, "ImageList2-1", "ImageList2-1", ""},
        {"Space on a ball that is not selected", "Opt1(2)", Key::Space, true, "ImageList2-5", "ImageList2-6",
         "ball 2"},
        {"Space on the oval: the question when let go", "pic1", Key::Space, true, "pic4", "pic3", "Is it pretty?"},
        {"Enter on the oval", "pic1", Key::Enter, true, "pic4", "pic3", "Is it pretty?"},
        {"Enter on About: the About window when let go", "Picture7", Key::Enter, true, "Picture6", "Picture5",
         "About..."},
        {"Space on About", "Picture7", Key::Space, true, "Picture6", "Picture5", "About..."},
        {"Space on Exit: the end when let go", "Picture4", Key::Space, true, "Picture3", "Picture8", "ended"},
        {"Enter on Exit", "Picture4", Key::Enter, true, "Picture3", "Picture8", "ended"},
        {"Up on the pad", "Picture1", Key::Up, true, "ImageList1-2", "ImageList1-1", "Up"},
        {"Right on the pad", "Picture1", Key::Right, true, "ImageList1-3", "ImageList1-1", "Right"},
        {"Down on the pad", "Picture1", Key::Down, true, "ImageList1-4", "ImageList1-1", "Down"},
        {"Left on the pad", "Picture1", Key::Left, true, "ImageList1-5", "ImageList1-1", "Left"},
        {"Home on the pad: the centre key", "Picture1", Key::Home, true, "ImageList1-6", "ImageList1-1", "Home"},
        {"Space is no key of the pad", "Picture1", Key::Space, false, "Picture1", "Picture1", ""},
    };
    for (const Row &r : rows) {
        CAPTURE(r.name);
        MainWindow w;
        std::string opened;
        w.backend.whileModal = [&](Fake::WindowPeer &window) {
            opened = window.form.caption();
            Report::closeRequested(window.form);
        };
        Report::focusGained(w.named(r.control).view());
        CHECK(w.press(r.key) == r.taken);
        CHECK(w.press(r.key, 0, true) == r.taken); // the key repeats while held
        CHECK(w.face(r.control) == r.held);
        CHECK(w.backend.boxes.empty());
        CHECK(opened.empty());
        CHECK_FALSE(w.application.hasEnded());
        w.release(r.key);
        CHECK(w.face(r.control) == r.after);
        const std::string effect = r.effect;
        CHECK(w.form.ChkState == (effect == "checked"));
        CHECK(w.form.OptIndex == (effect == "ball 2" ? 2 : 0));
        CHECK(w.backend.boxes.size() == (effect == "Is it pretty?" ? 1u : 0u));
        CHECK(opened == (effect == "About..." ? effect : ""));
        CHECK(w.application.hasEnded() == (effect == "ended"));
        CHECK(w.form.Text2->text() == (std::string(r.control) == "Picture1" ? effect : ""));
    }
}

TEST_CASE("a key's press that the focus leaves ends without acting")
{
    struct Row { const char *control; Key key; const char *held, *after; };
    const Row rows[] = {
        {"Picture4", Key::Space, "Picture3", "Picture8"},
        {"Picture1", Key::Up, "ImageList1-2", "ImageList1-1"},
        {"pic1", Key::Enter, "pic4", "pic3"},
        {"Chk1", Key::Space, "ImageList2-1", "ImageList2-1"},
    };
    for (const Row &r : rows) {
        CAPTURE(r.control);
        MainWindow w;
        Report::focusGained(w.named(r.control).view());
        CHECK(w.press(r.key));
        CHECK(w.face(r.control) == r.held);
        CHECK(w.press(Key::Tab));
        w.release(Key::Tab);
        CHECK(w.face(r.control) == r.after);
        w.release(r.key); // let go on the next control, which has no such press
        CHECK_FALSE(w.application.hasEnded());
        CHECK(w.form.Text2->text().empty());
        CHECK(w.backend.boxes.empty());
        CHECK_FALSE(w.form.ChkState);
    }
}

TEST_CASE("a key and the pointer on the pad: whichever presses first holds it")
{
    for (const bool keyFirst : {true, false}) {
        CAPTURE(keyFirst);
        MainWindow w;
        const PictureBox &pad = *w.form.Picture1;
        Report::focusGained(pad.view());
        if (keyFirst) {
            CHECK(w.press(Key::Up));
            Fake::move(pad, {85, 92});
            Fake::press(pad, {85, 92}); // the key's press ends off the pad; this one is the pointer's
        } else {
            Fake::move(pad, {85, 92});
            Fake::press(pad, {85, 92});
            CHECK(w.press(Key::Up)); // the pointer holds the pad: the key does nothing
        }
        CHECK(w.face("Picture1") == "ImageList1-4");
        w.release(Key::Up);
        Fake::release(pad, {85, 92});
        CHECK(w.form.Text2->text() == "Down");
        CHECK(w.face("Picture1") == "ImageList1-1");
        // And a key works again afterwards.
        CHECK(w.press(Key::Left));
        w.release(Key::Left);
        CHECK(w.form.Text2->text() == "Left");
    }
}

TEST_CASE_FIXTURE(MainWindow, "a peer made before the program gave its control a checked state is told of it")
{
    for (const PictureBox *c : {form.Chk1, form.Opt1[0], form.Opt1[1]}) {
        CAPTURE(c->key());
        CHECK(Fake::Backend::peerOf(*c)->shownState.checked == c->view().state().checked);
    }
}

TEST_CASE_FIXTURE(MainWindow, "assistive technology reads each bitmap control's state and does its default action")
{
    const ControlView chk = form.Chk1->view(), exit = form.Picture4->view(), pad = form.Picture1->view();
    CHECK(chk.state().checkable);
    CHECK_FALSE(chk.state().checked);
    CHECK(chk.defaultAction() == "Check");
    const int told = Fake::Backend::peerOf(*form.Chk1)->stateChanges;
    Report::actionRequested(chk);
    CHECK(form.ChkState);
    CHECK(chk.state().checked);
    CHECK(chk.defaultAction() == "Uncheck");
    CHECK(Fake::Backend::peerOf(*form.Chk1)->stateChanges == told + 1); // told once, after the procedure

    Report::actionRequested(form.Opt1[2]->view());
    CHECK(form.OptIndex == 2);
    CHECK(form.Opt1[2]->view().state().checked);
    CHECK_FALSE(form.Opt1[0]->view().state().checked);
    CHECK(form.Opt1[2]->view().defaultAction() == "Check");

    // A push button is pressed while held; the pad's key held is pressed, and stays its active
    // part until the focus leaves the pad.
    Report::focusGained(exit);
    CHECK(exit.defaultAction() == "Press");
    CHECK(press(Key::Space));
    CHECK(exit.state().pressed);
    CHECK(press(Key::Tab)); // on to the Action box: the press ends off the button
    CHECK_FALSE(exit.state().pressed);
    Report::focusGained(pad);
    CHECK(pad.activePart() == -1);
    CHECK(press(Key::Down));
    const std::vector<PartView> parts = pad.parts();
    REQUIRE(parts.size() == 5);
    CHECK(parts[2].name == "Down");
    CHECK(parts[2].pressed);
    CHECK(pad.activePart() == 2);
    release(Key::Down);
    CHECK_FALSE(pad.parts()[2].pressed);
    CHECK(pad.activePart() == 2);
    CHECK(form.Text2->text() == "Down");
    Report::actionRequested(pad); // the pad itself does nothing: its keys act
    Report::actionRequested(pad, 0);
    CHECK(form.Text2->text() == "Home");
    Report::focusLost(pad);
    CHECK(pad.activePart() == -1);
    CHECK_FALSE(application.hasEnded());
}

// ---- presentation: the final values a view gives every back end --------------------------

TEST_CASE("a control's colours: the surface under its text, and its text where it reads there")
{
    using S = Colour::Source;
    constexpr Rgb kWine{0xF5F5F5}, kGrey{0xC0C0C0}, kWhite{0xFFFFFF}, kBlack{0}, kRed{0xFF0000};
    struct Row
    {
        const char *name;
        const char *control;
        std::map<S, Rgb> platform; // the platform's system colours, where not the classic ones
        Rgb background, text;
    };
    const Row rows[] = {
        {"About's notice: white on the classic face reads", "About:Label1(5)", {}, kGrey, kWhite},
        {"white on Wine's face does not: the standard text colour", "About:Label1(5)", {{S::ButtonFace, kWine}}, kWine,
         kBlack},
        {"high contrast: white text on black faces, the highlight's text black", "About:Label1(5)",
         {{S::ButtonFace, kBlack}, {S::ButtonText, kWhite}, {S::HighlightText, kBlack}}, kBlack, kWhite},
        {"red reads on Wine's face", "About:Label1(4)", {{S::ButtonFace, kWine}}, kWine, kRed},
        {"a label of no colour of its own: the standard text", "About:Label1(2)", {{S::ButtonFace, kWine}}, kWine, kBlack},
        {"a label stands on its own face, not on the grey of the frame around it", "Main:Label3(0)",
         {{S::ButtonFace, kWine}}, kWine, kBlack},
        {"in high contrast a label in the grey frame: white on black", "Main:Label2",
         {{S::ButtonFace, kBlack}, {S::ButtonText, kWhite}}, kBlack, kWhite},
        {"a check box, as a label", "Main:Check1", {{S::ButtonFace, kWine}}, kWine, kBlack},
        {"a text box: its field is the window colour, its text the window's text colour", "Main:Text2",
         {{S::Window, Rgb{0x000080}}, {S::WindowText, kWhite}}, Rgb{0x000080}, kWhite},
        {"a command button: the button face, not its frame's", "Main:Command1", {{S::ButtonFace, kWine}}, kWine, kBlack},
        {"a picture box of its own colour", "Main:Opt1(0)", {{S::Window, Rgb{0x101010}}}, Rgb{0x101010}, kBlack},
    };
    for (const Row &r : rows) {
        CAPTURE(r.name);
        Fake::Backend backend = MainWindow::withPictures();
        backend.colours = r.platform;
        Application application(backend, "Rules");
        Form1 main;
        const Form2 about;
        const std::string name = r.control;
        const std::string form = name.substr(0, name.find(':')), key = name.substr(name.find(':') + 1);
        const auto open = key.find('(');
        const Form &f = form == "About" ? static_cast<const Form &>(about) : main;
        const ControlView view = open == std::string::npos
                ? f.control(key).view()
                : f.control(key.substr(0, open), std::stoi(key.substr(open + 1))).view();
        CHECK(view.background() == r.background);
        CHECK(view.textColour() == r.text);
    }
}

TEST_CASE_FIXTURE(MainWindow, "a control's font: as described, the default resolved to its description")
{
    const Form2 about;
    struct Row { const char *name; const Control &control; std::string family; double points; bool bold, italic, isDefault; };
    const Row rows[] = {
        {"no font described: the default", *form.Text2, "MS Sans Serif", 8.25, false, false, true},
        {"About's lines: the default face, bold, described", about.control("Label1", 0), "MS Sans Serif", 8.25, true,
         false, false},
        {"the address: Arial, larger, bold and italic", about.control("Label1", 4), "Arial", 9.75, true, true, false},
    };
    for (const Row &r : rows) {
        CAPTURE(r.name);
        const Font font = r.control.view().resolvedFont();
        CHECK(font.family == r.family);
        CHECK(font.points == r.points);
        CHECK(font.bold == r.bold);
        CHECK(font.italic == r.italic);
        CHECK(font.isDefault == r.isDefault);
    }
}

TEST_CASE_FIXTURE(MainWindow, "a label gives the controls it names; a ball's label and any other control none")
{
    struct Row { const char *label; std::vector<std::string> named; };
    const Row rows[] = {
        {"Label2", {"Text2"}}, {"Label1", {"Text1"}},
        {"Label3(3)", {"Chk1"}}, {"Label3(0)", {}},
        {"Text2", {}},         {"Command1", {}},
    };
    for (const Row &r : rows) {
        CAPTURE(r.label);
        std::vector<std::string> shown;
        for (const ControlView &c : named(r.label).view().namedControls())
            shown.push_back(c.key());
        CHECK(shown == r.named);
        for (const std::string &key : r.named)
            CHECK(named(key).view().labelledBy() == named(r.label).view()); // and each names it back
    }
}

TEST_CASE("the runtime tells a peer each change that assistive technology reads, as it makes it")
{
    // The steps: "focus X", "press K", "repeat K", "release K" (Down, Space, Tab), "click" and
    // "hold" (the pointer at the watched control's key point, or at X's: "click X"), "let go".
    // A key that a bitmap control takes is the keyboard's first use: the focus indicator shows.
    using C = Change;
    constexpr unsigned kKey = C::PartPressed | C::ActivePart;
    const Change shown{C::FocusIndicator};
    struct Row { const char *name; const char *control; std::vector<std::string> steps; std::vector<Change> told; };
    const Row rows[] = {
        {"a pad key: held and made the active part, then let go", "Picture1",
         {"focus Picture1", "press Down", "release Down"}, {shown, {kKey, 2}, {C::PartPressed, 2}}},
        {"the same pad key again is told again, so that a screen reader hears each press", "Picture1",
         {"focus Picture1", "press Down", "release Down", "press Down", "release Down"},
         {shown, {kKey, 2}, {C::PartPressed, 2}, {kKey, 2}, {C::PartPressed, 2}}},
        {"a held key's repeats tell nothing", "Picture1", {"focus Picture1", "press Down", "repeat Down", "release Down"},
         {shown, {kKey, 2}, {C::PartPressed, 2}}},
        {"the focus leaving the pad with a key held: let go, and no active part", "Picture1",
         {"focus Picture1", "press Down", "focus Text2"}, {shown, {kKey, 2}, {kKey, 2}, shown}},
        {"a push button held by a key, then let go", "pic1", {"focus pic1", "press Space", "release Space"},
         {shown, {C::Pressed}, {C::Pressed}}},
        {"a push button held by the pointer, then let go", "pic1", {"hold", "let go"}, {{C::Pressed}, {C::Pressed}}},
        {"a drawn check box held by the pointer tells nothing until it is checked", "Chk1", {"hold"}, {}},
        {"a drawn check box clicked: checked, and its default action now unchecks", "Chk1", {"click"},
         {{C::Checked | C::DefaultAction}}},
        {"a ball chosen: the ball chosen before is told it is not", "Opt1(0)", {"click Opt1(2)"}, {{C::Checked}}},
        {"the focus indicator, once the keyboard moves the focus onto a control", "Chk1", {"focus pic1", "press Tab"},
         {{C::FocusIndicator}}},
        {"and as the keyboard moves it on", "Chk1", {"focus pic1", "press Tab", "release Tab", "press Tab"},
         {{C::FocusIndicator}, {C::FocusIndicator}}},
    };
    const std::map<std::string, Key> keys = {{"Down", Key::Down}, {"Space", Key::Space}, {"Tab", Key::Tab}};
    for (const Row &r : rows) {
        CAPTURE(std::string(r.name));
        MainWindow w;
        auto *peer = Fake::Backend::peerOf(w.named(r.control));
        peer->changes.clear();
        for (const std::string &step : r.steps) {
            const auto space = step.find(' ');
            const std::string verb = step.substr(0, space);
            const std::string what = space == std::string::npos ? r.control : step.substr(space + 1);
            if (verb == "press" || verb == "repeat") {
                w.press(keys.at(what), 0, verb == "repeat");
                continue;
            }
            if (verb == "release") {
                w.release(keys.at(what));
                continue;
            }
            const Control &control = w.named(verb == "let" ? std::string(r.control) : what);
            const Pixel at = control.description().keyPoint;
            if (verb == "focus")
                Report::focusGained(control.view());
            else if (verb == "click")
                Fake::click(control, at);
            else if (verb == "hold")
                Fake::press(control, at);
            else if (verb == "let")
                Fake::release(control, at);
            else
                FAIL("unknown step: " << step);
        }
        REQUIRE(peer->changes.size() == r.told.size());
        for (std::size_t i = 0; i < r.told.size(); ++i) {
            CAPTURE(i);
            CHECK(peer->changes[i].bits == r.told[i].bits);
            CHECK(peer->changes[i].part == r.told[i].part);
        }
    }
}

TEST_CASE("a window activated again gives the focus back to the control that had it")
{
    struct Row { const char *name; std::vector<std::string> before; const char *focus; };
    const Row rows[] = {
        {"shown, its first stop has it, and keeps it", {}, "Command1"},
        {"the control the pointer focused, after the focus left for another window", {"focus Text2", "lose Text2"},
         "Text2"},
        {"the control the keyboard moved it to", {"Tab", "lose Check1"}, "Check1"},
        {"activated while a control has it: that control", {"focus Chk1"}, "Chk1"},
    };
    for (const Row &r : rows) {
        CAPTURE(r.name);
        MainWindow w;
        for (const std::string &step : r.before) {
            const std::string key = step.substr(step.find(' ') + 1);
            if (step == "Tab")
                w.press(Key::Tab);
            else if (step.starts_with("focus "))
                Report::focusGained(w.named(key).view());
            else
                Report::focusLost(w.named(key).view());
        }
        Report::windowActivated(w.form.view());
        CHECK(w.focused() == r.focus);
        CHECK(Fake::Backend::peerOf(w.named(r.focus))->focusRestored == 1);
    }
}

TEST_CASE_FIXTURE(Fixture, "a window activated that never had the focus gives it to its first stop")
{
    Form form(kTestForm);
    CHECK(form.focusedControl() == nullptr);
    Report::windowActivated(form.view());
    REQUIRE(form.focusedControl() != nullptr);
    CHECK(form.focusedControl()->key() == "Button"); // TabIndex 1
}

TEST_CASE_FIXTURE(MainWindow, "a modal form or a message box blocks every other window while it is shown")
{
    auto *main = Fake::Backend::windowOf(form);
    // About, shown modally: the main window is blocked, About is not; both free once it closes,
    // the main window before About's window goes, to take the activation from it.
    bool mainBlocked = false, aboutBlocked = true, mainBlockedAsAboutWent = true;
    backend.whileModal = [&](Fake::WindowPeer &about) {
        mainBlocked = main->blocked;
        aboutBlocked = about.blocked;
        about.whenHidden = [&] { mainBlockedAsAboutWent = main->blocked; };
        Report::closeRequested(about.form);
    };
    Fake::click(*form.Picture7, {45, 17});
    CHECK(mainBlocked);
    CHECK_FALSE(aboutBlocked);
    CHECK_FALSE(mainBlockedAsAboutWent);
    CHECK_FALSE(main->blocked);
    CHECK(main->blockChanges == 2);

    // A message box blocks every form; the pointer held on one is let go, and its release acts
    // no more.
    Fake::press(*form.pic1, {80, 25});
    CHECK(form.pic1->isPressed());
    bool blockedByBox = false;
    backend.whileBoxShown = [&] { blockedByBox = main->blocked; };
    MsgBox("Over everything");
    CHECK(blockedByBox);
    CHECK_FALSE(main->blocked);
    CHECK_FALSE(form.pic1->isPressed());
    Fake::release(*form.pic1, {80, 25});
    CHECK(backend.boxes.size() == 1); // the oval's question was never asked
}
