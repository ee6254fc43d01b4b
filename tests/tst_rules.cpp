// The forms runtime's rules, without any window: values and conversions, text contrast, Point,
// image lists, control lookup, the pointer rules, placement, modal shows, the message box's
// style, End, run-time errors and the exit status. Runs over a back end of its own
// (fakebackend.h).
#define DOCTEST_CONFIG_IMPLEMENT_WITH_MAIN
#define DOCTEST_CONFIG_NO_MULTITHREADING
#include <doctest/doctest.h>

#include "fakebackend.h"
#include "testform.h"
#include "runtime/application.h"
#include "runtime/contrast.h"
#include "runtime/imagelist.h"
#include "runtime/pointer.h"
#include "runtime/units.h"
#include "runtime/values.h"

#include <sstream>

using namespace Runtime;

namespace {


const std::vector<std::string> kSmall = {"....", ".##.", ".#r.", "...."};

using TestForm::kDialog;
const FormDescription &kTestForm = TestForm::kForm;

// A back end with the test pictures, and the runtime started afresh.
struct Fixture
{
    Fixture()
    {
        resetForTests();
        setEndHandler(nullptr);
        setErrorReporter(nullptr);
        setTitle("Rules");
        backend.pictures = {{"small", Fake::picture(kSmall)},   {"white20", Fake::white(20, 20)},
                            {"white30x20", Fake::white(30, 20)}, {"white20x10", Fake::white(20, 10)},
                            {"white10", Fake::white(10, 10)}};
    }
    ~Fixture()
    {
        setEndHandler(nullptr);
        setErrorReporter(nullptr);
        resetForTests();
    }
    Fake::Backend backend;
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
// "press 1 held 1 at 3 4", "move held 1 at 5 5", "release 1 at 5 5 inside", "leave", "cancel".
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

TEST_CASE("a text in a colour of its own keeps it only where it reads")
{
    constexpr std::uint32_t kWhite = 0xFFFFFF, kBlack = 0x000000, kFallback = 0x123456;
    struct Row { const char *name; std::uint32_t text, surface; bool kept; };
    const Row rows[] = {
        {"white on the classic face, 192 grey", kWhite, 0xC0C0C0, true},
        {"white on 210 grey, the last grey it reads on", kWhite, 0xD2D2D2, true},
        {"white on 211 grey", kWhite, 0xD3D3D3, false},
        {"white on 240 grey, the face of every Windows since 7", kWhite, 0xF0F0F0, false},
        {"white on 245 grey, Wine's face", kWhite, 0xF5F5F5, false},
        {"white on a high-contrast black face", kWhite, kBlack, true},
        {"black on that black face", kBlack, kBlack, false},
        {"red on 240 grey", 0xFF0000, 0xF0F0F0, true},
    };
    for (const Row &r : rows) {
        CAPTURE(r.name);
        CHECK(readableTextColour(r.text, r.surface, kFallback) == (r.kept ? r.text : kFallback));
    }
    CHECK(contrastRatio(kWhite, kBlack) == doctest::Approx(21.0));
    CHECK(contrastRatio(kBlack, kWhite) == doctest::Approx(21.0));
    CHECK(contrastRatio(kWhite, 0xC0C0C0) == doctest::Approx(1.82).epsilon(0.005));
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
    // The keyboard goes by TabIndex: Button 1, Check 2, Edit 3; no picture box, label or frame.
    std::vector<std::string> order;
    for (Control *c : backend.windowOf(form)->tabOrder)
        order.push_back(c->key());
    CHECK(order == std::vector<std::string>{"Button", "Check", "Edit"});
    // A stored picture that does not exist fails the building.
    const ControlDescription broken[] = {{.kind = Kind::PictureBox, .name = "P", .picture = "nowhere"}};
    CHECK_THROWS_AS(Form(FormDescription{"Broken", "", {}, broken}), RuntimeError);
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
    box->pointer().press({3, 4}, Button::Left, Button::Left, ShiftKey::Shift);
    box->setScaleMode(Scale::Pixels);
    box->pointer().press({3, 4}, Button::Right, Button::Left | Button::Right, 0);
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
            window.form.closeRequested();
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
    main.frameKnown();
    CHECK(window.client.x == 100);
    CHECK(window.client.y == 240 - 150 - 4);
    // Known once: a later framing does not move a window the user placed.
    window.client.y = 3;
    main.frameKnown();
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
    box->pointer().press({5, 5}, Button::Left, Button::Left, 0);
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
        main.pointerLost();
        CHECK_FALSE(window.ended);
        window.form.closeRequested();
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

TEST_CASE_FIXTURE(Fixture, "End stops every further procedure")
{
    Form form(kTestForm);
    auto *box = form.control<PictureBox>("Box");
    int clicks = 0, ends = 0;
    setEndHandler([&] { ++ends; });
    box->Click = [&] {
        ++clicks;
        End();
    };
    for (int i = 0; i < 2; ++i) {
        box->pointer().press({5, 5}, Button::Left, Button::Left, 0);
        box->pointer().release({5, 5}, Button::Left, 0, true);
    }
    CHECK(clicks == 1);
    CHECK(ends == 1);
    CHECK(hasEnded());
    CHECK(exitStatus() == 0);
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
    box->pointer().press({5, 5}, Button::Left, Button::Left, 0);
    box->pointer().release({5, 5}, Button::Left, 0, true);
    CHECK_FALSE(after);
    CHECK(clicks == 0); // nothing runs after the end
    REQUIRE(backend.boxes.size() == 1);
    CHECK(backend.boxes.front().prompt == "Run-time error '13':\n\nType mismatch");
    CHECK(backend.boxes.front().title == "Rules");
    CHECK(backend.boxes.front().icon == MessageBoxRequest::Icon::Critical);
    CHECK(hasEnded());
    CHECK(exitStatus() == 1);
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
        resetForTests();
        backend.boxes.clear();
        Form main(kTestForm);
        const std::string ending = r.ending;
        if (ending == "load error")
            main.setLoadProcedure([] { textToBool("maybe"); });
        bool everShown = false;
        backend.whileRunning = [&] {
            everShown = main.isVisible();
            if (ending == "end")
                dispatch([] { End(); });
            else if (ending == "close")
                main.closeRequested();
            else if (ending == "procedure error")
                dispatch([] { ImageList().picture(1); });
        };
        CHECK(runMainForm(main) == r.status);
        CHECK(everShown == r.shown);
        CHECK_FALSE(main.isVisible());
        CHECK(backend.boxes.size() == (r.status == 0 ? 0u : 1u));
        CHECK(hasEnded() == (ending != "close")); // closing runs no procedure, End included
    }
}
