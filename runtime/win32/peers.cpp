// Peers of the standard controls and the picture box window class.
#include "runtime/win32/peers.h"

#include "runtime/events.h"
#include "runtime/form.h"
#include "runtime/win32/bitmap.h"
#include "runtime/win32/look.h"
#include "runtime/win32/text.h"

#include <windowsx.h>

#include <map>
#include <optional>

namespace Runtime::Win32 {

namespace {

std::map<HWND, Win32Peer *> &peers()
{
    static std::map<HWND, Win32Peer *> all;
    return all;
}

Win32Peer *peerOf(HWND window)
{
    const auto it = peers().find(window);
    return it == peers().end() ? nullptr : it->second;
}

std::int16_t heldButtons(WPARAM keys)
{
    std::int16_t held = 0;
    if (keys & MK_LBUTTON) held |= Button::Left;
    if (keys & MK_RBUTTON) held |= Button::Right;
    if (keys & MK_MBUTTON) held |= Button::Middle;
    return held;
}

std::int16_t shiftKeys(WPARAM keys)
{
    std::int16_t shift = 0;
    if (keys & MK_SHIFT) shift |= ShiftKey::Shift;
    if (keys & MK_CONTROL) shift |= ShiftKey::Ctrl;
    if (GetKeyState(VK_MENU) < 0) shift |= ShiftKey::Alt;
    return shift;
}

// The keys that drive a bitmap control, as Windows names them.
std::optional<Key> keyOf(WPARAM vk)
{
    switch (vk) {
    case VK_SPACE: return Key::Space;
    case VK_RETURN: return Key::Enter;
    case VK_HOME: return Key::Home;
    case VK_LEFT: return Key::Left;
    case VK_UP: return Key::Up;
    case VK_RIGHT: return Key::Right;
    case VK_DOWN: return Key::Down;
    default: return std::nullopt;
    }
}

// ---- the picture box --------------------------------------------------------------------

class PictureBoxPeer final : public Win32Peer
{
public:
    PictureBoxPeer(PictureBox &box, HWND parent, HINSTANCE instance, int id) : m_box(box)
    {
        const Rect r = box.rect();
        // A bitmap control's window text is its name (the text of the label beside it, or its
        // own), which a screen reader reads; any other picture box's its stored name.
        const std::wstring name = wide(box.takesFocus() ? box.accessibleName() : box.key());
        m_hwnd = CreateWindowExW(0, kPictureBoxClass, name.c_str(), WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS,
                                 r.x, r.y, r.width, r.height, parent, reinterpret_cast<HMENU>(INT_PTR(id)),
                                 instance, this);
    }

    ~PictureBoxPeer() override
    {
        if (!m_hwnd)
            return;
        peers().erase(m_hwnd); // what Windows still sends it from now on is not ours
        if (IsWindow(m_hwnd))
            DestroyWindow(m_hwnd);
    }

    HWND hwnd() const override { return m_hwnd; }
    Control &control() const override { return m_box; }

    void pictureChanged() override { repaint(); }
    // The focus indicator, shown or not, and the checked state are drawn over the face.
    void stateChanged() override { repaint(); }
    void setFocus() override { SetFocus(m_hwnd); }
    bool hasFocus() const override { return GetFocus() == m_hwnd; }

    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);

private:
    RECT drawingArea() const
    {
        const Rect a = m_box.drawingArea();
        return {a.x, a.y, a.x + a.width, a.y + a.height};
    }

    Pixel pixelOf(LPARAM lParam) const
    {
        const Rect a = m_box.drawingArea();
        return {GET_X_LPARAM(lParam) - a.x, GET_Y_LPARAM(lParam) - a.y};
    }

    void repaint()
    {
        const RECT area = drawingArea();
        InvalidateRect(m_hwnd, &area, FALSE);
    }

    void paint();
    bool keyDown(WPARAM vk, LPARAM lParam);
    bool keyUp(WPARAM vk);
    void press(std::int16_t button, WPARAM wParam, LPARAM lParam);
    void release(std::int16_t button, WPARAM wParam, LPARAM lParam);

    PictureBox &m_box;
    HWND m_hwnd = nullptr;
    bool m_tracking = false;  // TrackMouseEvent asked for the pointer's leaving
    bool m_releasing = false; // inside our own ReleaseCapture
};

void PictureBoxPeer::paint()
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hwnd, &ps);
    RECT whole;
    GetClientRect(m_hwnd, &whole);
    if (m_box.hasBorder())
        DrawEdge(dc, &whole, EDGE_SUNKEN, BF_RECT);
    const RECT area = drawingArea();
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    const auto *bitmap = dynamic_cast<const Win32Bitmap *>(m_box.picture().bitmap());
    if (bitmap && bitmap->handle()) {
        HDC memory = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(memory, bitmap->handle());
        BitBlt(dc, area.left, area.top, bitmap->width(), bitmap->height(), memory, 0, 0, SRCCOPY);
        SelectObject(memory, old);
        DeleteDC(memory);
        ExcludeClipRect(dc, area.left, area.top, area.left + bitmap->width(), area.top + bitmap->height());
    }
    FillRect(dc, &area, Look::brush(Look::backColour(m_box)));
    RestoreDC(dc, saved);
    // The classic dotted focus rectangle around the drawing area, once the keyboard has been
    // used: a pointer user sees the faces exactly as they were drawn.
    if (GetFocus() == m_hwnd && keyboardUsed())
        DrawFocusRect(dc, &area);
    EndPaint(m_hwnd, &ps);
}

bool PictureBoxPeer::keyDown(WPARAM vk, LPARAM lParam)
{
    const auto key = keyOf(vk);
    if (!key || GetKeyState(VK_SHIFT) < 0 || GetKeyState(VK_CONTROL) < 0)
        return false;
    // A key held down repeats its WM_KEYDOWN (bit 30: it was down already); one press is one.
    if (lParam & (1L << 30))
        return true;
    return m_box.keyDown(*key);
}

bool PictureBoxPeer::keyUp(WPARAM vk)
{
    const auto key = keyOf(vk);
    return key && m_box.keyUp(*key);
}

void PictureBoxPeer::press(std::int16_t button, WPARAM wParam, LPARAM lParam)
{
    // Every move and release comes here until the last button is up, wherever the pointer goes.
    // The focus stays where it was: a bitmap control takes it from the keyboard only, so that a
    // pointer user sees exactly what was drawn.
    if (GetCapture() != m_hwnd)
        SetCapture(m_hwnd);
    m_box.pointer().press(pixelOf(lParam), button, heldButtons(wParam), shiftKeys(wParam));
}

void PictureBoxPeer::release(std::int16_t button, WPARAM wParam, LPARAM lParam)
{
    // The capture goes first: a procedure run by this release may open a window (a message
    // box, a modal form) that must have the pointer.
    if (heldButtons(wParam) == 0 && GetCapture() == m_hwnd) {
        m_releasing = true;
        ReleaseCapture();
        m_releasing = false;
    }
    const Pixel at = pixelOf(lParam);
    m_box.pointer().release(at, button, shiftKeys(wParam), m_box.contains(at));
}

LRESULT PictureBoxPeer::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        paint();
        return 0;
    case WM_ERASEBKGND:
        return 1; // WM_PAINT covers every pixel
    case WM_NCPAINT:
        return 0; // no frame: the border is drawn inside, by WM_PAINT
    case WM_LBUTTONDOWN: press(Button::Left, wParam, lParam); return 0;
    case WM_RBUTTONDOWN: press(Button::Right, wParam, lParam); return 0;
    case WM_MBUTTONDOWN: press(Button::Middle, wParam, lParam); return 0;
    case WM_LBUTTONUP: release(Button::Left, wParam, lParam); return 0;
    case WM_RBUTTONUP: release(Button::Right, wParam, lParam); return 0;
    case WM_MBUTTONUP: release(Button::Middle, wParam, lParam); return 0;
    case WM_MOUSEMOVE:
        if (!m_tracking) {
            TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, m_hwnd, 0};
            m_tracking = TrackMouseEvent(&track) != FALSE;
        }
        m_box.pointer().move(pixelOf(lParam), heldButtons(wParam), shiftKeys(wParam));
        return 0;
    case WM_MOUSELEAVE:
        m_tracking = false;
        m_box.pointer().leave();
        return 0;
    case WM_KEYDOWN:
        if (keyDown(wParam, lParam))
            return 0;
        break;
    case WM_KEYUP:
        if (keyUp(wParam))
            return 0;
        break;
    case WM_SETFOCUS:
        repaint();
        return 0;
    case WM_KILLFOCUS:
        // A key's press held when the focus goes ends as a release off the box.
        m_box.focusLost();
        repaint();
        return 0;
    case WM_CAPTURECHANGED:
        // Someone else took the pointer (a window opened, another program, the window system):
        // the held buttons' releases will go there.
        if (!m_releasing && m_box.pointer().held())
            m_box.pointer().cancel();
        return 0;
    }
    return DefWindowProcW(m_hwnd, message, wParam, lParam);
}

LRESULT CALLBACK pictureBoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    // The peer comes with the window's first message and is kept in the map of peers, not in
    // the window's own data: storing that is a round trip to the window system for every box.
    if (message == WM_NCCREATE)
        peers()[hwnd] = static_cast<PictureBoxPeer *>(reinterpret_cast<CREATESTRUCTW *>(lParam)->lpCreateParams);
    auto *peer = static_cast<PictureBoxPeer *>(peerOf(hwnd));
    if (message == WM_NCDESTROY)
        peers().erase(hwnd);
    if (!peer || message == WM_NCCREATE || message == WM_CREATE)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    return peer->handle(message, wParam, lParam);
}

// ---- standard controls ------------------------------------------------------------------

class StandardPeer final : public Win32Peer
{
public:
    StandardPeer(Control &control, HWND hwnd) : m_control(control), m_hwnd(hwnd) { peers()[m_hwnd] = this; }

    ~StandardPeer() override
    {
        peers().erase(m_hwnd);
        if (m_systemProc && IsWindow(m_hwnd))
            SetWindowLongPtrW(m_hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_systemProc));
        if (IsWindow(m_hwnd))
            DestroyWindow(m_hwnd);
    }

    HWND hwnd() const override { return m_hwnd; }
    Control &control() const override { return m_control; }

    void textChanged() override
    {
        // The program's text, which the control must not report back as the user's typing.
        m_settingText = true;
        SetWindowTextW(m_hwnd, wide(m_control.text()).c_str());
        m_settingText = false;
    }

    void valueChanged() override
    {
        SendMessageW(m_hwnd, BM_SETCHECK, m_control.value() ? BST_CHECKED : BST_UNCHECKED, 0);
    }

    void setFocus() override { SetFocus(m_hwnd); }
    bool hasFocus() const override { return GetFocus() == m_hwnd; }

    bool checked() const { return SendMessageW(m_hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED; }

    // Some of the window's messages come here before its class's procedure (controlProc): a
    // frame is a container, to which its controls' notifications and colour requests come, and
    // a control without a frame of its own skips the non-client painting.
    void subclass()
    {
        m_systemProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(m_hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&controlProc)));
    }

    void notified(WORD code);

private:
    static LRESULT CALLBACK controlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    Control &m_control;
    HWND m_hwnd;
    WNDPROC m_systemProc = nullptr;
    bool m_settingText = false;
};

void StandardPeer::notified(WORD code)
{
    switch (m_control.kind()) {
    case Kind::TextBox:
        if (code == EN_CHANGE && !m_settingText)
            m_control.userEditedText(windowText(m_hwnd));
        break;
    case Kind::CheckBox:
        if (code == BN_CLICKED)
            m_control.userChangedValue(checked());
        break;
    case Kind::OptionButton:
        // The button that was clicked checked itself and cleared the others of its group.
        if (code == BN_CLICKED) {
            for (const auto &other : m_control.form().controls()) {
                if (other->kind() != Kind::OptionButton || other->container() != m_control.container())
                    continue;
                if (auto *peer = dynamic_cast<StandardPeer *>(other->peer()))
                    other->userChangedValue(peer->checked());
            }
        }
        break;
    default:
        break;
    }
}

LRESULT CALLBACK StandardPeer::controlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto *peer = dynamic_cast<StandardPeer *>(peerOf(hwnd));
    if (!peer)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCPAINT)
        return 0; // only a text box has a frame (its sunken edge), and it is not subclassed
    if (peer->control().kind() == Kind::Frame) {
        LRESULT result = 0;
        if (handleControlMessage(message, wParam, lParam, result))
            return result;
        if (message == WM_ERASEBKGND) {
            // A group box draws only its line and caption: the inside is the frame's colour.
            RECT r;
            GetClientRect(hwnd, &r);
            FillRect(reinterpret_cast<HDC>(wParam), &r, Look::brush(Look::backColour(peer->control())));
            return 1;
        }
    }
    return CallWindowProcW(peer->m_systemProc, hwnd, message, wParam, lParam);
}

// The control stored just before `control` in the same container, if it is shown.
const Control *previousSibling(const Control &control)
{
    const Control *previous = nullptr;
    for (const auto &c : control.form().controls()) {
        if (c.get() == &control)
            break;
        if (c->container() == control.container() && c->isVisible())
            previous = c.get();
    }
    return previous;
}

} // namespace

bool registerPictureBoxClass(HINSTANCE instance)
{
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    // One device context for every picture box: each paints only inside BeginPaint and EndPaint,
    // and leaves the context as it found it. Windows would otherwise make a new one for each box
    // the first time it is painted.
    wc.style = CS_CLASSDC;
    wc.lpfnWndProc = pictureBoxProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kPictureBoxClass;
    return RegisterClassExW(&wc) != 0;
}

std::unique_ptr<ControlPeer> createPeer(Control &control, HWND parent, HINSTANCE instance)
{
    const ControlDescription &d = control.description();
    int id = 1;
    for (const auto &c : control.form().controls()) {
        if (c.get() == &control)
            break;
        ++id;
    }

    std::unique_ptr<Win32Peer> peer;
    if (d.kind == Kind::PictureBox) {
        peer = std::make_unique<PictureBoxPeer>(static_cast<PictureBox &>(control), parent, instance, id);
    } else {
        const wchar_t *cls = L"BUTTON";
        DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
        DWORD exStyle = 0;
        switch (d.kind) {
        case Kind::TextBox:
            cls = L"EDIT";
            style |= ES_AUTOHSCROLL | ES_LEFT | WS_TABSTOP;
            exStyle = WS_EX_CLIENTEDGE;
            break;
        case Kind::Label:
            cls = L"STATIC";
            style |= SS_LEFT | SS_NOPREFIX;
            break;
        case Kind::Frame: style |= BS_GROUPBOX | WS_CLIPCHILDREN; break;
        case Kind::CommandButton: style |= BS_PUSHBUTTON | WS_TABSTOP; break;
        case Kind::CheckBox: style |= BS_AUTOCHECKBOX | WS_TABSTOP; break;
        case Kind::OptionButton: style |= BS_AUTORADIOBUTTON | WS_TABSTOP; break;
        case Kind::PictureBox: break;
        }
        // Option buttons stored one after another in a container are one group: checking one
        // clears the others. Every other control starts a group of its own.
        const Control *previous = previousSibling(control);
        if (d.kind != Kind::OptionButton || !previous || previous->kind() != Kind::OptionButton)
            style |= WS_GROUP;
        const Rect r = control.rect();
        HWND hwnd = CreateWindowExW(exStyle, cls, wide(control.text()).c_str(), style, r.x, r.y, r.width, r.height,
                                    parent, reinterpret_cast<HMENU>(INT_PTR(id)), instance, nullptr);
        if (!hwnd)
            return nullptr;
        SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(Look::font(d.font)), FALSE);
        // A text box takes as much as the user types or pastes: an edit control alone would
        // cut it at 30,000 characters.
        if (d.kind == Kind::TextBox)
            SendMessageW(hwnd, EM_SETLIMITTEXT, 0, 0);
        auto standard = std::make_unique<StandardPeer>(control, hwnd);
        // Without a frame of its own, a control needs no non-client painting; Windows would make
        // a device context for the window's whole area only to draw nothing in it.
        if (d.kind != Kind::TextBox)
            standard->subclass();
        if (d.kind == Kind::CheckBox || d.kind == Kind::OptionButton)
            standard->valueChanged();
        peer = std::move(standard);
    }
    if (!peer->hwnd())
        return nullptr;
    // Within a container, a control stored earlier lies above one stored later: Windows puts a
    // new child window at the bottom of its siblings, and the controls are made in stored order.
    return peer;
}

HWND hwndOf(const Control &control)
{
    const auto *peer = dynamic_cast<const Win32Peer *>(control.peer());
    return peer ? peer->hwnd() : nullptr;
}

Control *controlOf(HWND window)
{
    Win32Peer *peer = peerOf(window);
    return peer ? &peer->control() : nullptr;
}

bool handleControlMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT &result)
{
    switch (message) {
    case WM_COMMAND:
        if (auto *peer = dynamic_cast<StandardPeer *>(peerOf(reinterpret_cast<HWND>(lParam)))) {
            peer->notified(HIWORD(wParam));
            result = 0;
            return true;
        }
        return false;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
        if (Win32Peer *peer = peerOf(reinterpret_cast<HWND>(lParam))) {
            auto dc = reinterpret_cast<HDC>(wParam);
            const COLORREF back = Look::backColour(peer->control());
            SetTextColor(dc, Look::foreColour(peer->control()));
            SetBkColor(dc, back);
            result = reinterpret_cast<LRESULT>(Look::brush(back));
            return true;
        }
        return false;
    }
    return false;
}

} // namespace Runtime::Win32
