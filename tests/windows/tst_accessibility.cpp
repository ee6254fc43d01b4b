// The bitmap controls as a screen reader reads them from outside: each control's window through
// Microsoft Active Accessibility (AccessibleObjectFromWindow), its WinEvents through an
// out-of-context hook. What the roles, names and states are is the runtime's (tests/tst_rules.cpp);
// here, what the back end turns them into, and what only Windows can get wrong: the objects
// across processes, screen places, actions run from the message loop, events raised once.
#include "doctest.h"
#include "quorvel.h"

#include <oleacc.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <tuple>
#include <vector>

using namespace quorvel;

namespace {

VARIANT child(LONG id)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

constexpr LONG kStates = STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_FOCUSED | STATE_SYSTEM_PRESSED | STATE_SYSTEM_CHECKED |
                         STATE_SYSTEM_UNAVAILABLE | STATE_SYSTEM_INVISIBLE;

// One control's object in the program, read as a screen reader reads it; -1 or "(failed)" for
// what it does not answer.
class Accessible {
public:
    explicit Accessible(HWND window)
    {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        AccessibleObjectFromWindow(window, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&object_));
    }
    ~Accessible()
    {
        if (object_)
            object_->Release();
        CoUninitialize();
    }
    explicit operator bool() const { return object_ != nullptr; }
    IAccessible* operator->() const { return object_; }

    LONG role(LONG id = CHILDID_SELF) const { return number(object_->get_accRole(child(id), &out_)); }
    LONG state(LONG id = CHILDID_SELF) const { return number(object_->get_accState(child(id), &out_)) & kStates; }
    LONG hit(POINT at) const { return number(object_->accHitTest(at.x, at.y, &out_)); }
    LONG focus() const { return number(object_->get_accFocus(&out_)); }
    std::string name(LONG id = CHILDID_SELF) const { return text(&IAccessible::get_accName, id); }
    std::string description() const { return text(&IAccessible::get_accDescription, CHILDID_SELF); }
    std::string action(LONG id = CHILDID_SELF) const { return text(&IAccessible::get_accDefaultAction, id); }
    RECT location(LONG id) const
    {
        long x = 0, y = 0, w = 0, h = 0;
        object_->accLocation(&x, &y, &w, &h, child(id));
        return {x, y, x + w, y + h};
    }
    // What a screen reader says of the role and the state, in the system's words.
    std::string said(LONG id = CHILDID_SELF) const
    {
        wchar_t t[64] = {};
        GetRoleTextW(static_cast<DWORD>(role(id)), t, 64);
        std::string out = narrow(t) + " \"" + name(id) + "\"";
        for (LONG bit = 1; bit; bit <<= 1) {
            if ((state(id) & bit) && GetStateTextW(static_cast<DWORD>(bit), t, 64))
                out += ", " + narrow(t);
        }
        return out;
    }

private:
    LONG number(HRESULT result) const { return SUCCEEDED(result) && out_.vt == VT_I4 ? out_.lVal : -1; }
    std::string text(HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*), LONG id) const
    {
        BSTR b = nullptr;
        if (FAILED((object_->*get)(child(id), &b)))
            return "(failed)";
        const std::string out = b ? narrow(std::wstring(b, SysStringLen(b))) : std::string();
        SysFreeString(b);
        return out;
    }

    IAccessible* object_ = nullptr;
    mutable VARIANT out_{};
};

// The WinEvents of the program's client objects, received as a screen reader receives them: out
// of context, through this thread's message queue.
class WinEvents {
public:
    explicit WinEvents(HWND window)
    {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        events().clear();
        hook_ = SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_DEFACTIONCHANGE, nullptr, &received, process, 0,
                                WINEVENT_OUTOFCONTEXT);
    }
    // Every other program's, as a screen reader that was running before the program started.
    WinEvents()
    {
        events().clear();
        hook_ = SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_DEFACTIONCHANGE, nullptr, &received, 0, 0,
                                WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
    }
    ~WinEvents() { UnhookWinEvent(hook_); }
    explicit operator bool() const { return hook_ != nullptr; }

    // How many have come, once the program has handled everything sent to it so far.
    int count(DWORD event, HWND window, LONG id, const Quorvel& q) const
    {
        settle(q.main());
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&m);
        return static_cast<int>(std::count(events().begin(), events().end(), Event{event, window, id}));
    }
    void clear(const Quorvel& q) const
    {
        count(0, nullptr, 0, q);
        events().clear();
    }

private:
    using Event = std::tuple<DWORD, HWND, LONG>;
    static std::vector<Event>& events()
    {
        static std::vector<Event> all;
        return all;
    }
    static void CALLBACK received(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG id, DWORD, DWORD)
    {
        if (object == OBJID_CLIENT)
            events().emplace_back(event, window, id);
    }

    HWINEVENTHOOK hook_ = nullptr;
};

// Whether the process that owns the window has loaded the library (a name in lower case).
bool hasLoaded(HWND window, const char* library)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, process);
    REQUIRE(snapshot != INVALID_HANDLE_VALUE);
    bool found = false;
    MODULEENTRY32W module{};
    module.dwSize = sizeof module;
    for (BOOL more = Module32FirstW(snapshot, &module); more && !found; more = Module32NextW(snapshot, &module)) {
        std::string name = narrow(module.szModule);
        std::transform(name.begin(), name.end(), name.begin(), [](char c) { return char(std::tolower(c)); });
        found = name == library;
    }
    CloseHandle(snapshot);
    return found;
}

const char* const kKeys[] = {"Home", "Up", "Down", "Left", "Right"};
// A point of each key, in the pad's drawing area, and one between keys.
constexpr POINT kKeyPoints[] = {{85, 52}, {85, 15}, {85, 92}, {20, 52}, {150, 52}};
constexpr POINT kGap = {43, 29};

} // namespace

// Also at 120, 144 and 192 dots per inch (tests/windows/scaled): the keys' places are the
// screen's pixels at every scale.
TEST_CASE("each bitmap control's window reads as what it is: role, name, state, default action, the pad's keys" *
          doctest::test_suite("scaled"))
{
    const struct {
        const char* control;
        LONG role;
        LONG state;
        const char* action;
        const char* description;
    } controls[] = {
        {"Chk1", ROLE_SYSTEM_CHECKBUTTON, STATE_SYSTEM_FOCUSABLE, "Check", ""},
        {"Opt1(0)", ROLE_SYSTEM_RADIOBUTTON, STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_CHECKED, "Check", ""},
        {"Opt1(1)", ROLE_SYSTEM_RADIOBUTTON, STATE_SYSTEM_FOCUSABLE, "Check", ""},
        {"Opt1(2)", ROLE_SYSTEM_RADIOBUTTON, STATE_SYSTEM_FOCUSABLE, "Check", ""},
        {"pic1", ROLE_SYSTEM_PUSHBUTTON, STATE_SYSTEM_FOCUSABLE, "Press", ""},
        {"Picture7", ROLE_SYSTEM_PUSHBUTTON, STATE_SYSTEM_FOCUSABLE, "Press", ""},
        {"Picture4", ROLE_SYSTEM_PUSHBUTTON, STATE_SYSTEM_FOCUSABLE, "Press", ""},
        {"Picture1", ROLE_SYSTEM_GROUPING, STATE_SYSTEM_FOCUSABLE, "", "Use the arrow keys and Home"},
    };
    Quorvel q;
    for (const auto& c : controls) {
        CAPTURE(c.control);
        const Accessible a(q.picture(c.control));
        REQUIRE(a);
        CHECK(a.role() == c.role);
        CHECK(a.name() == bitmapControlNames().at(c.control));
        CHECK(a.state() == c.state);
        CHECK(a.action() == c.action);
        CHECK(a.description() == c.description);
        std::printf("screen reader: %s: %s; description \"%s\"; default action \"%s\"\n", c.control,
                    a.said().c_str(), a.description().c_str(), a.action().c_str());
    }
    // The pad's keys: found at their places on the screen, in reading order.
    const Accessible pad(q.picture("Picture1"));
    long children = 0;
    REQUIRE(pad->get_accChildCount(&children) == S_OK);
    REQUIRE(children == 5);
    for (LONG id = 1; id <= 5; ++id) {
        CAPTURE(id);
        const POINT at = q.at("Picture1", kKeyPoints[id - 1]);
        const RECT r = pad.location(id);
        CHECK(pad.name(id) == kKeys[id - 1]);
        CHECK(pad.role(id) == ROLE_SYSTEM_PUSHBUTTON);
        CHECK(pad.action(id) == "Press");
        CHECK(PtInRect(&r, at));
        CHECK(pad.hit(at) == id);
        std::printf("screen reader:   child %ld: %s at (%ld, %ld) %ld x %ld; default action \"%s\"\n", id,
                    pad.said(id).c_str(), r.left, r.top, r.right - r.left, r.bottom - r.top, pad.action(id).c_str());
    }
    CHECK(pad.hit(q.at("Picture1", kGap)) == CHILDID_SELF);
    CHECK(pad.hit(q.at("Chk1", kBall)) == -1);
}

TEST_CASE("a default action does what the keyboard does, from the program's loop, and each change it makes is one "
          "state-change event")
{
    Quorvel q;
    const WinEvents events(q.main());
    REQUIRE(events);
    const Accessible check(q.picture("Chk1")), ball0(q.picture("Opt1(0)")), ball2(q.picture("Opt1(2)")),
        pad(q.picture("Picture1")), about(q.picture("Picture7"));
    for (const char* action : {"Check", "Uncheck"}) {
        CAPTURE(action);
        events.clear(q);
        REQUIRE(check.action() == action);
        REQUIRE(check->accDoDefaultAction(child(CHILDID_SELF)) == S_OK);
        const LONG checked = action == std::string("Check") ? STATE_SYSTEM_CHECKED : 0;
        CHECK(waitUntil([&] { return (check.state() & STATE_SYSTEM_CHECKED) == checked; }));
        CHECK(events.count(EVENT_OBJECT_STATECHANGE, q.picture("Chk1"), CHILDID_SELF, q) == 1);
    }
    events.clear(q);
    REQUIRE(ball2->accDoDefaultAction(child(CHILDID_SELF)) == S_OK);
    CHECK(waitUntil([&] { return ball2.state() & STATE_SYSTEM_CHECKED; }));
    CHECK((ball0.state() & STATE_SYSTEM_CHECKED) == 0);
    CHECK(events.count(EVENT_OBJECT_STATECHANGE, q.picture("Opt1(2)"), CHILDID_SELF, q) == 1);
    CHECK(events.count(EVENT_OBJECT_STATECHANGE, q.picture("Opt1(0)"), CHILDID_SELF, q) == 1);
    // A key of the pad is pressed as a click on it does; the pad itself has no action.
    REQUIRE(pad->accDoDefaultAction(child(4)) == S_OK);
    CHECK(q.waitForAction(L"Left"));
    CHECK(pad->accDoDefaultAction(child(CHILDID_SELF)) == DISP_E_MEMBERNOTFOUND);
    // About opens modally, and then the main window's controls take no action, as no input.
    REQUIRE(about->accDoDefaultAction(child(CHILDID_SELF)) == S_OK);
    HWND form2 = q.waitForOwned(L"QuorvelForm");
    REQUIRE(form2 != nullptr);
    // A dialog, described by its lines from the top down, as it opens.
    std::vector<std::pair<LONG, std::string>> lines;
    for (HWND w : descendants(form2))
        lines.emplace_back(screenRect(w).top, narrow(text(w)));
    std::sort(lines.begin(), lines.end());
    std::string shown;
    for (const auto& line : lines)
        shown += (shown.empty() ? "" : "\n") + line.second;
    const Accessible dialog(form2);
    CHECK(dialog.role() == ROLE_SYSTEM_DIALOG);
    CHECK(dialog.description() == shown);
    std::printf("screen reader: Form2: %s; description \"%s\"\n", dialog.said().c_str(), dialog.description().c_str());
    CHECK(check->accDoDefaultAction(child(CHILDID_SELF)) == E_FAIL);
    REQUIRE(tap(VK_ESCAPE));
    CHECK(waitUntil([&] { return !IsWindowVisible(form2); }));
    CHECK((check.state() & STATE_SYSTEM_CHECKED) == 0);
}

TEST_CASE("the pad's key pressed from the keyboard is its focused child, pressed while held, announced on every "
          "press")
{
    Quorvel q;
    HWND padWindow = q.picture("Picture1");
    const WinEvents events(q.main());
    const Accessible pad(padWindow);
    REQUIRE(pad);
    CHECK(pad.focus() == -1);
    REQUIRE(pad->accSelect(SELFLAG_TAKEFOCUS, child(CHILDID_SELF)) == S_OK);
    CHECK(guiThreadInfo(q.main()).hwndFocus == padWindow);
    CHECK(pad.focus() == CHILDID_SELF);
    const struct {
        WORD key;
        LONG id;
        int focusEvents; // the same key pressed again too: a reader that went elsewhere follows it
    } presses[] = {{VK_UP, 2, 1}, {VK_HOME, 1, 1}, {VK_HOME, 1, 1}};
    for (const auto& p : presses) {
        CAPTURE(p.id);
        events.clear(q);
        REQUIRE(keyDown(p.key));
        CHECK(waitUntil([&] { return pad.state(p.id) == (STATE_SYSTEM_PRESSED | STATE_SYSTEM_FOCUSED); }));
        CHECK(pad.focus() == p.id);
        REQUIRE(keyUp(p.key));
        CHECK(waitUntil([&] { return pad.state(p.id) == STATE_SYSTEM_FOCUSED; }));
        CHECK(q.waitForAction(widen(kKeys[p.id - 1])));
        CHECK(events.count(EVENT_OBJECT_FOCUS, padWindow, p.id, q) == p.focusEvents);
        CHECK(events.count(EVENT_OBJECT_STATECHANGE, padWindow, p.id, q) == 2); // pressed, let go
    }
    // Tab away: the pad holds the focus no more.
    REQUIRE(tap(VK_TAB));
    CHECK(waitUntil([&] { return pad.focus() == -1; }));
}

TEST_CASE("Exit by its default action ends the program with status 0 while a screen reader holds its objects")
{
    Quorvel q;
    const Accessible check(q.picture("Chk1")), exit(q.picture("Picture4"));
    REQUIRE(check.role() == ROLE_SYSTEM_CHECKBUTTON);
    DWORD id = 0;
    GetWindowThreadProcessId(q.main(), &id);
    REQUIRE(exit->accDoDefaultAction(child(CHILDID_SELF)) == S_OK);
    const DWORD status = q.waitForExitCode();
    CHECK(status == 0);
    // A program that did not end (a crash kept on the screen) is ended, so that letting go of its
    // objects does not wait for it.
    if (HANDLE process = status == 12345 ? OpenProcess(PROCESS_TERMINATE, FALSE, id) : nullptr) {
        TerminateProcess(process, 1);
        CloseHandle(process);
    }
}

TEST_CASE("the accessibility libraries are loaded on a screen reader's first request for a control, and a reader "
          "started before the program reads it and hears its changes")
{
    const WinEvents events; // running before the program starts
    REQUIRE(events);
    Quorvel q;
    // COM's own ole32 is not among them: Wine loads it by itself into a program with windows.
    const char* const libraries[] = {"oleacc.dll", "oleaut32.dll"};
    REQUIRE(hasLoaded(q.main(), "user32.dll"));
    for (const char* library : libraries)
        CHECK_MESSAGE(!hasLoaded(q.main(), library), (std::string(library) + " loaded at start"));
    // The main window is the system's alone: reading it needs none of them in the program.
    {
        const Accessible main(q.main());
        REQUIRE(main);
        CHECK(main.role() == ROLE_SYSTEM_CLIENT);
    }
    for (const char* library : libraries)
        CHECK_MESSAGE(!hasLoaded(q.main(), library), (std::string(library) + " loaded for the main window"));
    const Accessible check(q.picture("Chk1"));
    REQUIRE(check);
    CHECK(check.role() == ROLE_SYSTEM_CHECKBUTTON);
    CHECK(check.name() == bitmapControlNames().at("Chk1"));
    for (const char* library : libraries)
        CHECK_MESSAGE(hasLoaded(q.main(), library), (std::string(library) + " not loaded for a control's object"));
    events.clear(q);
    REQUIRE(check->accDoDefaultAction(child(CHILDID_SELF)) == S_OK);
    CHECK(waitUntil([&] { return check.state() & STATE_SYSTEM_CHECKED; }));
    CHECK(events.count(EVENT_OBJECT_STATECHANGE, q.picture("Chk1"), CHILDID_SELF, q) == 1);
}
