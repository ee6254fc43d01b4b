// Peers of the standard controls and the picture box window class.
#include "runtime/win32/peers.h"

#include "runtime/win32/accessibility.h"
#include "runtime/win32/look.h"
#include "runtime/win32/pictures.h"
#include "runtime/win32/text.h"

#include <windowsx.h>

#include <map>

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

// ---- the picture box --------------------------------------------------------------------

class PictureBoxPeer final : public Win32Peer
{
public:
    PictureBoxPeer(ControlView box, HWND parent, HINSTANCE instance, int id)
        : Win32Peer(box), m_area(box.drawingArea())
    {
        const Rect r = box.rect();
        // The window text is the control's accessible name, which a screen reader reads.
        CreateWindowExW(0, kPictureBoxClass, wide(box.accessibleName()).c_str(), WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS,
                        r.x, r.y, r.width, r.height, parent, reinterpret_cast<HMENU>(INT_PTR(id)), instance, this);
    }

    ~PictureBoxPeer() override
    {
        if (!m_hwnd)
            return;
        peers().erase(m_hwnd); // what Windows still sends it from now on is not ours
        if (IsWindow(m_hwnd))
            DestroyWindow(m_hwnd);
    }

    // Its first message: from now on the window's messages come here (pictureBoxProc).
    void attach(HWND hwnd)
    {
        m_hwnd = hwnd;
        peers()[hwnd] = this;
        // A control that assistive technology knows by its role; a bare picture has none.
        if (m_view.role() != Role::None)
            m_accessibility = std::make_unique<Accessibility>(hwnd, m_view);
    }

    void pictureChanged() override { repaint(); }
    // The focus indicator, shown or not, and the checked state are drawn over the face; what
    // assistive technology reads of it may have changed.
    void stateChanged(Change) override
    {
        repaint();
        if (m_accessibility)
            m_accessibility->changed();
    }
    void setFocus() override { SetFocus(m_hwnd); }

    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);

private:
    RECT drawingArea() const { return {m_area.x, m_area.y, m_area.x + m_area.width, m_area.y + m_area.height}; }
    Pixel pixelOf(LPARAM lParam) const { return {GET_X_LPARAM(lParam) - m_area.x, GET_Y_LPARAM(lParam) - m_area.y}; }

    void repaint()
    {
        const RECT area = drawingArea();
        InvalidateRect(m_hwnd, &area, FALSE);
    }

    void paint();
    void press(std::int16_t button, WPARAM wParam, LPARAM lParam);
    void release(std::int16_t button, WPARAM wParam, LPARAM lParam);

    const Rect m_area;        // the drawing area, in pixels of the window
    bool m_tracking = false;  // TrackMouseEvent asked for the pointer's leaving
    bool m_releasing = false; // inside our own ReleaseCapture
    std::unique_ptr<Accessibility> m_accessibility; // what a screen reader reads of it
};

void PictureBoxPeer::paint()
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hwnd, &ps);
    RECT whole;
    GetClientRect(m_hwnd, &whole);
    if (m_view.hasBorder())
        DrawEdge(dc, &whole, EDGE_SUNKEN, BF_RECT);
    const RECT area = drawingArea();
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    const auto *bitmap = dynamic_cast<const Win32Bitmap *>(m_view.picture().bitmap());
    if (bitmap && bitmap->handle()) {
        HDC memory = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(memory, bitmap->handle());
        BitBlt(dc, area.left, area.top, bitmap->width(), bitmap->height(), memory, 0, 0, SRCCOPY);
        SelectObject(memory, old);
        DeleteDC(memory);
        ExcludeClipRect(dc, area.left, area.top, area.left + bitmap->width(), area.top + bitmap->height());
    }
    FillRect(dc, &area, Look::brush(Look::backColour(m_view)));
    RestoreDC(dc, saved);
    // The classic dotted focus rectangle around the drawing area.
    if (m_view.focusIndicator())
        DrawFocusRect(dc, &area);
    EndPaint(m_hwnd, &ps);
}

void PictureBoxPeer::press(std::int16_t button, WPARAM wParam, LPARAM lParam)
{
    // Every move and release comes here until the last button is up, wherever the pointer goes.
    // The focus stays where it was: Windows gives it to no window of this class on a click.
    if (GetCapture() != m_hwnd)
        SetCapture(m_hwnd);
    Report::pointerPressed(m_view, pixelOf(lParam), button, heldButtons(wParam), shiftKeys(wParam));
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
    Report::pointerReleased(m_view, pixelOf(lParam), button, shiftKeys(wParam));
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
        Report::pointerMoved(m_view, pixelOf(lParam), heldButtons(wParam), shiftKeys(wParam));
        return 0;
    case WM_MOUSELEAVE:
        m_tracking = false;
        Report::pointerLeft(m_view);
        return 0;
    case WM_SETFOCUS:
        Report::focusGained(m_view);
        return 0;
    case WM_KILLFOCUS:
        Report::focusLost(m_view);
        return 0;
    case WM_CAPTURECHANGED:
        // Someone else took the pointer (a window opened, another program, the window system):
        // the held buttons' releases will go there.
        if (!m_releasing)
            Report::pointerCancelled(m_view);
        return 0;
    case WM_GETOBJECT:
        if (LRESULT result = 0; m_accessibility && m_accessibility->getObject(wParam, lParam, result))
            return result;
        break;
    case Accessibility::kActionMessage:
        if (m_accessibility)
            m_accessibility->runAction(wParam);
        return 0;
    case WM_NCDESTROY:
        m_accessibility.reset(); // what clients hold of it reads nothing from now on
        break;
    }
    return DefWindowProcW(m_hwnd, message, wParam, lParam);
}

LRESULT CALLBACK pictureBoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    // The peer comes with the window's first message and is kept in the map of peers, not in
    // the window's own data: storing that is a round trip to the window system for every box.
    if (message == WM_NCCREATE)
        static_cast<PictureBoxPeer *>(reinterpret_cast<CREATESTRUCTW *>(lParam)->lpCreateParams)->attach(hwnd);
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
    StandardPeer(ControlView control, HWND hwnd) : Win32Peer(control)
    {
        m_hwnd = hwnd;
        peers()[m_hwnd] = this;
    }

    ~StandardPeer() override
    {
        peers().erase(m_hwnd);
        if (m_systemProc && IsWindow(m_hwnd))
            SetWindowLongPtrW(m_hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_systemProc));
        if (IsWindow(m_hwnd))
            DestroyWindow(m_hwnd);
    }

    void textChanged() override
    {
        // The program's text, which the control must not report back as the user's typing.
        m_settingText = true;
        SetWindowTextW(m_hwnd, wide(m_view.text()).c_str());
        m_settingText = false;
    }

    void valueChanged() override
    {
        SendMessageW(m_hwnd, BM_SETCHECK, m_view.value() ? BST_CHECKED : BST_UNCHECKED, 0);
    }

    void setFocus() override
    {
        SetFocus(m_hwnd);
        if (m_view.kind() == Kind::TextBox)
            SendMessageW(m_hwnd, EM_SETSEL, 0, -1); // the whole text, ready to be typed over
    }

    // Some of the window's messages come here before its class's procedure (controlProc): the
    // focus, which an edit control reports by notification instead; a frame is a container, to
    // which its controls' notifications and colour requests come; and a control without a
    // frame of its own skips the non-client painting.
    void subclass()
    {
        m_systemProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(m_hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&controlProc)));
    }

    void notified(WORD code);

private:
    static LRESULT CALLBACK controlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    WNDPROC m_systemProc = nullptr;
    bool m_settingText = false;
};

void StandardPeer::notified(WORD code)
{
    switch (code) {
    case EN_SETFOCUS:
        Report::focusGained(m_view);
        break;
    case EN_KILLFOCUS:
        Report::focusLost(m_view);
        break;
    case EN_CHANGE:
        if (!m_settingText)
            Report::textEdited(m_view, windowText(m_hwnd));
        break;
    case BN_CLICKED:
        // A check box checks itself, and the runtime toggles it the same way; an option button
        // is chosen, and the runtime selects it.
        if (m_view.kind() == Kind::CheckBox)
            Report::checkBoxClicked(m_view);
        else if (m_view.kind() == Kind::OptionButton)
            Report::optionChosen(m_view);
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
    switch (message) {
    case WM_NCPAINT:
        return 0; // only a text box has a frame (its sunken edge), and it is not subclassed
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
        const LRESULT result = CallWindowProcW(peer->m_systemProc, hwnd, message, wParam, lParam);
        if (message == WM_SETFOCUS)
            Report::focusGained(peer->view());
        else
            Report::focusLost(peer->view());
        return result;
    }
    default:
        break;
    }
    if (peer->view().kind() == Kind::Frame) {
        LRESULT result = 0;
        if (handleControlMessage(message, wParam, lParam, result))
            return result;
        if (message == WM_ERASEBKGND) {
            // A group box draws only its line and caption: the inside is the frame's colour.
            RECT r;
            GetClientRect(hwnd, &r);
            FillRect(reinterpret_cast<HDC>(wParam), &r, Look::brush(Look::backColour(peer->view())));
            return 1;
        }
    }
    return CallWindowProcW(peer->m_systemProc, hwnd, message, wParam, lParam);
}

// The window class and style of a standard control.
struct Native
{
    const wchar_t *cls;
    DWORD style;
    DWORD exStyle;
};

Native nativeOf(Kind kind)
{
    switch (kind) {
    case Kind::TextBox: return {L"EDIT", ES_AUTOHSCROLL | ES_LEFT | WS_TABSTOP, WS_EX_CLIENTEDGE};
    case Kind::Label: return {L"STATIC", SS_LEFT | SS_NOPREFIX, 0};
    case Kind::Frame: return {L"BUTTON", BS_GROUPBOX | WS_CLIPCHILDREN, 0};
    case Kind::CommandButton: return {L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0};
    case Kind::CheckBox: return {L"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, 0};
    // Not an automatic one: a click reports the choice, and the runtime selects it and clears
    // the others of its group.
    case Kind::OptionButton: return {L"BUTTON", BS_RADIOBUTTON | WS_TABSTOP, 0};
    case Kind::PictureBox: break;
    }
    return {L"STATIC", 0, 0};
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

std::unique_ptr<ControlPeer> createPeer(ControlView control, HWND parent, HINSTANCE instance)
{
    // Its window's id: its place in stored order, from 1.
    int id = 1;
    for (const ControlView &c : control.form().controls()) {
        if (c == control)
            break;
        ++id;
    }
    // Within a container, a control stored earlier lies above one stored later: Windows puts a
    // new child window at the bottom of its siblings, and the controls are made in stored order.
    if (control.kind() == Kind::PictureBox) {
        auto box = std::make_unique<PictureBoxPeer>(control, parent, instance, id);
        if (!box->hwnd())
            return nullptr;
        return box;
    }
    const Native native = nativeOf(control.kind());
    const Rect r = control.rect();
    HWND hwnd = CreateWindowExW(native.exStyle, native.cls, wide(control.text()).c_str(),
                                WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | native.style, r.x, r.y, r.width,
                                r.height, parent, reinterpret_cast<HMENU>(INT_PTR(id)), instance, nullptr);
    if (!hwnd)
        return nullptr;
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(Look::font(control.font())), FALSE);
    // A text box takes as much as the user types or pastes: an edit control alone would cut it
    // at 30,000 characters.
    if (control.kind() == Kind::TextBox)
        SendMessageW(hwnd, EM_SETLIMITTEXT, 0, 0);
    auto standard = std::make_unique<StandardPeer>(control, hwnd);
    // Without a frame of its own, a control needs no non-client painting; Windows would make a
    // device context for the window's whole area only to draw nothing in it.
    if (control.kind() != Kind::TextBox)
        standard->subclass();
    if (control.kind() == Kind::CheckBox || control.kind() == Kind::OptionButton)
        standard->valueChanged();
    return standard;
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
            const COLORREF back = Look::backColour(peer->view());
            SetTextColor(dc, Look::foreColour(peer->view()));
            SetBkColor(dc, back);
            result = reinterpret_cast<LRESULT>(Look::brush(back));
            return true;
        }
        return false;
    }
    return false;
}

} // namespace Runtime::Win32
