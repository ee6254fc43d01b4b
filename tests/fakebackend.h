// A back end of the tests' own, with no window system: windows and peers that only remember
// what they were told, pictures drawn as ASCII art, a message box that answers as told and an
// event loop that runs a script. The runtime's rules are tested over it.
#pragma once

#include "runtime/backend.h"
#include "runtime/control.h"
#include "runtime/form.h"
#include "runtime/runtimeerror.h"
#include "runtime/units.h"

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
    std::uint32_t colourAt(int x, int y) const override
    {
        switch (m_rows[std::size_t(y)][std::size_t(x)]) {
        case '#': return 0xFFFFFF;
        case 'r': return 0x0000FF; // red in the low byte
        default: return 0;
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

class ControlPeer final : public Runtime::ControlPeer
{
public:
    void pictureChanged() override { ++pictureChanges; }
    void textChanged() override { }
    void valueChanged() override { }
    void setFocus() override { focused = true; }
    bool hasFocus() const override { return focused; }
    int pictureChanges = 0;
    bool focused = false;
};

class Backend;

class WindowPeer final : public Runtime::WindowPeer
{
public:
    WindowPeer(Backend &backend, Runtime::Form &form) : m_backend(backend), form(form) { }
    void show(Runtime::Point clientOrigin, bool isModal) override
    {
        client.x = clientOrigin.x;
        client.y = clientOrigin.y;
        visible = true;
        modal = isModal;
        ++shows;
    }
    void hide() override { visible = false; }
    bool isVisible() const override { return visible; }
    void runModal() override;
    void endModal() override { ended = true; }
    Runtime::Rect clientRect() const override { return client; }
    Runtime::Margins frameMargins() const override { return margins; }
    Runtime::Rect screenArea(Runtime::Point) const override { return screen; }
    void setTabOrder(const std::vector<Runtime::Control *> &order) override { tabOrder = order; }

    Backend &m_backend;
    Runtime::Form &form;
    Runtime::Rect client{0, 0, 0, 0};
    Runtime::Margins margins{};
    Runtime::Rect screen{0, 0, 1024, 768};
    bool visible = false, modal = false, ended = false;
    int shows = 0;
    std::vector<Runtime::Control *> tabOrder;
};

class Backend final : public Runtime::Backend
{
public:
    Backend() { Runtime::setBackend(this); }
    ~Backend() override { Runtime::setBackend(nullptr); }

    std::unique_ptr<Runtime::WindowPeer> createWindow(Runtime::Form &form) override
    {
        auto window = std::make_unique<WindowPeer>(*this, form);
        const auto &d = form.description();
        window->client = {Runtime::twipsToPixels(d.client.left), Runtime::twipsToPixels(d.client.top),
                          Runtime::twipsToPixels(d.client.width), Runtime::twipsToPixels(d.client.height)};
        return window;
    }
    std::unique_ptr<Runtime::ControlPeer> createControl(Runtime::Control &control) override
    {
        created.push_back(control.key());
        return std::make_unique<ControlPeer>();
    }
    Runtime::Picture loadPicture(const std::string &name) override
    {
        const auto it = pictures.find(name);
        if (it == pictures.end())
            throw Runtime::RuntimeError(Runtime::Err::InvalidPicture, "Invalid picture: " + name);
        return it->second;
    }
    int messageBox(const Runtime::MessageBoxRequest &request) override
    {
        boxes.push_back(request);
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

    WindowPeer *windowOf(const Runtime::Form &form) const { return static_cast<WindowPeer *>(form.peer()); }
    static ControlPeer *peerOf(const Runtime::Control &control) { return static_cast<ControlPeer *>(control.peer()); }

    std::map<std::string, Runtime::Picture> pictures;
    std::vector<std::string> created;
    std::vector<Runtime::MessageBoxRequest> boxes;
    int answer = 0;                      // what the message box returns
    std::function<void()> whileRunning;  // the event loop's script
    std::function<void(WindowPeer &)> whileModal; // runs inside a modal window's loop
    std::optional<int> quitStatus;
    bool running = false;
};

inline void WindowPeer::runModal()
{
    // The user's part: whatever the test scripts, which must close the window.
    ended = false;
    if (m_backend.whileModal)
        m_backend.whileModal(*this);
}

} // namespace Fake
