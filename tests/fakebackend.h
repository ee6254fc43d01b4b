// A back end of the tests' own, with no window system: windows and peers that remember what
// they were told, pictures drawn as ASCII art, a message box that answers as told and event
// loops that run a script. The tests reach the runtime through it as a platform does: what it
// is asked is recorded, and what a platform would report goes in through Report.
#pragma once

#include "runtime/backend.h"
#include "runtime/control.h"
#include "runtime/form.h"

#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace Fake {

// '#' white, '.' black, 'r' red (255, 0, 0).
class Bitmap final : public Runtime::Bitmap
{
public:
    explicit Bitmap(std::vector<std::string> rows) : m_rows(std::move(rows)) { }
    int width() const override { return m_rows.empty() ? 0 : int(m_rows.front().size()); }
    int height() const override { return int(m_rows.size()); }
    Runtime::Rgb colourAt(int x, int y) const override
    {
        switch (m_rows[std::size_t(y)][std::size_t(x)]) {
        case '#': return Runtime::Rgb::of(255, 255, 255);
        case 'r': return Runtime::Rgb::of(255, 0, 0);
        default: return {};
        }
    }

private:
    std::vector<std::string> m_rows;
};

inline Runtime::Picture picture(std::vector<std::string> rows)
{
    return Runtime::Picture(std::make_shared<Bitmap>(std::move(rows)));
}

// A w x h white picture.
inline Runtime::Picture white(int w, int h)
{
    return picture(std::vector<std::string>(std::size_t(h), std::string(std::size_t(w), '#')));
}

class Backend;

// Counts what it was told, and keeps each change of state it was told; the focus it is given is
// reported back, as a platform does.
class ControlPeer final : public Runtime::ControlPeer
{
public:
    explicit ControlPeer(Runtime::ControlView view) : view(view) { }
    void pictureChanged() override { ++pictureChanges; }
    void textChanged() override { ++textChanges; }
    void valueChanged() override
    {
        shownValue = view.value();
        ++valueChanges;
    }
    void stateChanged(Runtime::Change change) override
    {
        ++stateChanges;
        changes.push_back(change);
        shownState = view.state();
    }
    void setFocus() override { Runtime::Report::focusGained(view); }
    void restoreFocus() override
    {
        ++focusRestored;
        Runtime::Report::focusGained(view);
    }

    Runtime::ControlView view;
    int pictureChanges = 0, textChanges = 0, valueChanges = 0, stateChanges = 0, focusRestored = 0;
    std::vector<Runtime::Change> changes;
    bool shownValue = view.value();
    Runtime::AccessibleState shownState = view.state(); // as it read it last
};

class WindowPeer final : public Runtime::WindowPeer
{
public:
    WindowPeer(Backend &backend, Runtime::FormView form) : backend(backend), form(form) { }
    void show(Runtime::Point clientOrigin, bool isModal) override
    {
        client.x = clientOrigin.x;
        client.y = clientOrigin.y;
        visible = true;
        modal = isModal;
        ++shows;
    }
    void hide() override
    {
        visible = false;
        if (whenHidden)
            whenHidden();
    }
    bool isVisible() const override { return visible; }
    void runModal() override;
    void endModal() override { ended = true; }
    Runtime::Rect clientRect() const override { return client; }
    Runtime::Margins frameMargins() const override { return margins; }
    Runtime::Rect screenArea(Runtime::Point) const override { return screen; }
    void setBlocked(bool isBlocked) override
    {
        blocked = isBlocked;
        ++blockChanges;
    }

    Backend &backend;
    Runtime::FormView form;
    Runtime::Rect client{0, 0, 0, 0};
    Runtime::Margins margins{};
    Runtime::Rect screen{0, 0, 1024, 768};
    bool visible = false, modal = false, ended = false, blocked = false;
    int shows = 0, blockChanges = 0;
    std::function<void()> whenHidden;
};

class Backend final : public Runtime::Backend
{
public:
    std::unique_ptr<Runtime::WindowPeer> createWindow(Runtime::FormView form, Runtime::WindowPeer *) override
    {
        auto window = std::make_unique<WindowPeer>(*this, form);
        window->client = form.storedClient();
        return window;
    }
    std::unique_ptr<Runtime::ControlPeer> createControl(Runtime::ControlView control, Runtime::WindowPeer &,
                                                        Runtime::ControlPeer *) override
    {
        created.push_back(control.key());
        return std::make_unique<ControlPeer>(control);
    }
    Runtime::Picture loadPicture(const std::string &name) override
    {
        const auto it = pictures.find(name);
        return it == pictures.end() ? Runtime::Picture() : it->second;
    }
    Runtime::Rgb systemColour(Runtime::Colour::Source colour) const override
    {
        const auto it = colours.find(colour);
        return it == colours.end() ? Runtime::Backend::systemColour(colour) : it->second;
    }
    bool hasMessageBox() const override { return ownMessageBox; }
    // 6 pixels a character of the longest line, 13 a line.
    Runtime::Size measureText(const Runtime::Font &, const std::string &text) const override
    {
        int lines = 1, longest = 0, length = 0;
        for (const char c : text) {
            length = c == '\n' ? 0 : length + 1;
            lines += c == '\n' ? 1 : 0;
            longest = std::max(longest, length);
        }
        return {6 * longest, 13 * lines};
    }
    int messageBox(const Runtime::MessageBoxRequest &request) override
    {
        boxes.push_back(request);
        if (whileBoxShown)
            whileBoxShown();
        return answer;
    }
    int exec() override
    {
        running = true;
        quitStatus.reset();
        if (whileRunning)
            whileRunning();
        running = false;
        return quitStatus.value_or(-1);
    }
    void quit(int status) override { quitStatus = status; }
    bool inEventLoop() const override { return running; }

    static WindowPeer *windowOf(const Runtime::Form &form) { return static_cast<WindowPeer *>(form.peer()); }
    static ControlPeer *peerOf(const Runtime::Control &control) { return static_cast<ControlPeer *>(control.peer()); }

    std::map<std::string, Runtime::Picture> pictures;
    std::map<Runtime::Colour::Source, Runtime::Rgb> colours; // the platform's, where not the classic ones
    std::vector<std::string> created;
    std::vector<Runtime::MessageBoxRequest> boxes;
    bool ownMessageBox = true;           // false: the runtime shows its own
    int answer = 0;                      // what the message box returns
    std::function<void()> whileRunning;  // the event loop's script
    std::function<void()> whileBoxShown; // runs while the message box is shown
    std::function<void(WindowPeer &)> whileModal; // runs inside a modal window's loop
    std::optional<int> quitStatus;
    bool running = false;
};

inline void WindowPeer::runModal()
{
    // The user's part: whatever the test scripts, which must close the window.
    ended = false;
    if (backend.whileModal)
        backend.whileModal(*this);
}

// ---- what a user does, reported as a platform reports it --------------------------------

using Runtime::Pixel;

inline void press(const Runtime::Control &c, Pixel at, std::int16_t button = Runtime::Button::Left,
                  std::int16_t shift = 0)
{
    Runtime::Report::pointerPressed(c.view(), at, button, button, shift);
}

inline void move(const Runtime::Control &c, Pixel at, std::int16_t held = 0)
{
    Runtime::Report::pointerMoved(c.view(), at, held, 0);
}

inline void release(const Runtime::Control &c, Pixel at, std::int16_t button = Runtime::Button::Left)
{
    Runtime::Report::pointerReleased(c.view(), at, button, 0);
}

// A hand's click: onto the place, down, up.
inline void click(const Runtime::Control &c, Pixel at, std::int16_t button = Runtime::Button::Left)
{
    move(c, at);
    press(c, at, button);
    release(c, at, button);
}

} // namespace Fake
