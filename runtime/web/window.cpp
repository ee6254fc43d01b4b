// A form's window in the page, and what the page reports of it: keys, the close button,
// the page hidden.
#include "runtime/web/window.h"

#include "runtime/web/backend.h"
#include "runtime/web/page.h"
#include "runtime/web/peers.h"

#include <emscripten.h>

#include <map>
#include <string>
#include <vector>

namespace Runtime::Web {

namespace {

std::map<int, FormWindow *> g_windows;
int g_nextId = 1;

// The page draws every window's frame alike (page.css): a 3-pixel border around it, and an
// 18-pixel caption bar with a 1-pixel gap above the client area.
constexpr Margins kFrame{3, 22, 3, 3};

} // namespace

FormWindow::FormWindow(FormView form, FormWindow *owner)
    : m_form(form), m_id(g_nextId++), m_width(form.storedClient().width), m_height(form.storedClient().height)
{
    g_windows[m_id] = this;
    qv_window_create(m_id, owner ? owner->id() : 0, form.isDialog(), form.name().c_str(),
                     form.caption().c_str(), m_width, m_height);
}

FormWindow::~FormWindow()
{
    endModal();
    g_windows.erase(m_id);
    qv_window_destroy(m_id);
}

std::vector<FormView> FormWindow::shownForms()
{
    std::vector<FormView> shown;
    for (const auto &[id, window] : g_windows) {
        if (window->isVisible())
            shown.push_back(window->form());
    }
    return shown;
}

FormWindow *FormWindow::byId(int id)
{
    const auto it = g_windows.find(id);
    return it == g_windows.end() ? nullptr : it->second;
}

void FormWindow::show(Point clientOrigin, bool modal)
{
    if (!m_visible) {
        Element::refreshWindow(*this);
        // The controls that describe the window, read as it opens: all there by now.
        std::string lines;
        for (const ControlView &line : m_form.describedBy())
            lines += (lines.empty() ? "" : " ") + domId(line);
        qv_window_describe(m_id, lines.c_str());
    }
    m_visible = true;
    qv_window_show(m_id, clientOrigin.x, clientOrigin.y, modal);
    if (modal) {
        for (const FormView &other : shownForms()) {
            if (other != m_form)
                Report::windowBlocked(other);
        }
    }
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
    return kFrame;
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

using Runtime::Web::FormWindow;

extern "C" {

// A key down (down = 1) or up in `window`, in the runtime's key numbers (runtime/types.h);
// 1 when the runtime took it.
EMSCRIPTEN_KEEPALIVE int qv_report_key(int window, int key, int shift, int repeat, int down)
{
    FormWindow *w = FormWindow::byId(window);
    if (!w || key < 0 || key > int(Runtime::Key::Down))
        return 0;
    const auto k = Runtime::Key(key);
    const auto s = std::int16_t(shift);
    return down ? Runtime::Report::keyPressed(w->form(), k, s, repeat != 0)
                : Runtime::Report::keyReleased(w->form(), k, s);
}

EMSCRIPTEN_KEEPALIVE void qv_report_close(int window)
{
    if (FormWindow *w = FormWindow::byId(window))
        Runtime::Report::closeRequested(w->form());
}

// The page went out of sight (another tab, the browser minimised): as a window minimised.
EMSCRIPTEN_KEEPALIVE void qv_report_page_hidden()
{
    for (const auto &form : FormWindow::shownForms())
        Runtime::Report::windowMinimised(form);
}

} // extern "C"
