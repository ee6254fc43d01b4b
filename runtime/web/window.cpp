// A form's window in the page, and what the page reports of it: keys, the close button, the
// window activated, the page hidden.
#include "runtime/web/window.h"

#include "runtime/web/backend.h"
#include "runtime/web/page.h"
#include "runtime/web/peers.h"

#include <emscripten.h>

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Runtime::Web {

namespace {

std::map<int, FormWindow *> g_windows;
int g_nextId = 1;

// The forms whose windows are shown, in the order the windows were made.
std::vector<FormView> shownForms()
{
    std::vector<FormView> shown;
    for (const auto &[id, window] : g_windows) {
        if (window->isVisible())
            shown.push_back(window->form());
    }
    return shown;
}

FormWindow *windowById(int id)
{
    const auto it = g_windows.find(id);
    return it == g_windows.end() ? nullptr : it->second;
}

// The runtime's key for a key the browser names (KeyboardEvent.key; the short names are older
// browsers'); none for a key the runtime has no use for.
std::optional<Key> keyNamed(std::string_view name)
{
    static constexpr std::pair<std::string_view, Key> kKeys[] = {
        {"Tab", Key::Tab}, {"Escape", Key::Escape}, {"Esc", Key::Escape}, {" ", Key::Space},
        {"Spacebar", Key::Space}, {"Enter", Key::Enter}, {"Home", Key::Home},
        {"ArrowLeft", Key::Left}, {"Left", Key::Left}, {"ArrowUp", Key::Up}, {"Up", Key::Up},
        {"ArrowRight", Key::Right}, {"Right", Key::Right}, {"ArrowDown", Key::Down},
        {"Down", Key::Down}};
    for (const auto &[keyName, key] : kKeys) {
        if (keyName == name)
            return key;
    }
    return std::nullopt;
}

} // namespace

FormWindow::FormWindow(FormView form)
    : m_form(form), m_id(g_nextId++), m_width(form.storedClient().width), m_height(form.storedClient().height)
{
    g_windows[m_id] = this;
    const char *role = form.isAlert() ? "alertdialog" : form.isDialog() ? "dialog" : "region";
    qv_window_create(m_id, role, form.name().c_str(), form.caption().c_str(), m_width, m_height);
}

FormWindow::~FormWindow()
{
    endModal();
    g_windows.erase(m_id);
    qv_window_destroy(m_id);
}

void FormWindow::show(Point clientOrigin, bool modal)
{
    if (!m_visible) {
        // The controls that describe the window, read as it opens: all there by now.
        std::string lines;
        for (const ControlView &line : m_form.describedBy())
            lines += (lines.empty() ? "" : " ") + domId(line);
        qv_window_describe(m_id, lines.c_str());
    }
    m_visible = true;
    qv_window_show(m_id, clientOrigin.x, clientOrigin.y, modal);
    // Framed as soon as it is in the page.
    Report::windowShown(m_form);
}

void FormWindow::hide()
{
    if (!m_visible)
        return;
    m_visible = false;
    qv_window_hide(m_id);
    Report::windowHidden(m_form);
}

void FormWindow::runModal()
{
    // The program waits here while the browser runs on. With a pause waiting already there is
    // no second one: the window stays up, modal, and this returns at once.
    if (isPaused() || !m_visible)
        return;
    m_modalToken = newPauseToken();
    pause(m_modalToken);
    m_modalToken = 0;
}

void FormWindow::endModal()
{
    if (m_modalToken)
        resume(m_modalToken, 0);
}

Rect FormWindow::clientRect() const
{
    int xy[2] = {0, 0};
    qv_window_origin(m_id, xy);
    return {xy[0], xy[1], m_width, m_height};
}

Margins FormWindow::frameMargins() const
{
    int margins[4] = {0, 0, 0, 0};
    qv_frame_margins(margins);
    return {margins[0], margins[1], margins[2], margins[3]};
}

void FormWindow::setBlocked(bool blocked)
{
    qv_window_set_blocked(m_id, blocked);
}

Rect FormWindow::screenArea(Point) const
{
    // The part of the page in view: a window is placed where it is seen, the page scrolled or not.
    int area[4] = {0, 0, 0, 0};
    qv_visible_area(area);
    return {area[0], area[1], area[2], area[3]};
}

} // namespace Runtime::Web

// ---- what the page reports of windows ----------------------------------------------------

extern "C" {

// A key down (down = 1) or up in `window`, named as the browser names it, with the modifiers
// held; 1 when the runtime took it.
EMSCRIPTEN_KEEPALIVE int qv_report_key(int window, const char *name, int shift, int ctrl, int alt,
                                       int repeat, int down)
{
    using namespace Runtime::Web;
    FormWindow *w = windowById(window);
    const std::optional<Runtime::Key> key = keyNamed(name);
    if (!w || !key)
        return 0;
    const std::int16_t modifiers = modifiersHeld(shift, ctrl, alt);
    return down ? Runtime::Report::keyPressed(w->form(), *key, modifiers, repeat != 0)
                : Runtime::Report::keyReleased(w->form(), *key, modifiers);
}

EMSCRIPTEN_KEEPALIVE void qv_report_close(int window)
{
    if (Runtime::Web::FormWindow *w = Runtime::Web::windowById(window))
        Runtime::Report::closeRequested(w->form());
}

// The window came to the front and takes the keyboard: the runtime gives the focus back.
EMSCRIPTEN_KEEPALIVE void qv_report_activated(int window)
{
    if (Runtime::Web::FormWindow *w = Runtime::Web::windowById(window))
        Runtime::Report::windowActivated(w->form());
}

// The page went out of sight (another tab, the browser minimised): as a window minimised.
EMSCRIPTEN_KEEPALIVE void qv_report_page_hidden()
{
    for (const auto &form : Runtime::Web::shownForms())
        Runtime::Report::windowMinimised(form);
}

} // extern "C"
