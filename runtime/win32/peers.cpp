// Peers of the standard controls, the system's BUTTON, EDIT and STATIC windows, and the map from
// every control's window to its peer.
#include "runtime/win32/peers.h"

#include "runtime/win32/dpi.h"
#include "runtime/win32/look.h"
#include "runtime/win32/text.h"

#include <map>

namespace Runtime::Win32 {

namespace {

std::map<HWND, Win32Peer *> &peers()
{
    static std::map<HWND, Win32Peer *> all;
    return all;
}

class StandardPeer final : public Win32Peer
{
public:
    StandardPeer(ControlView control, HWND hwnd, int dpi) : Win32Peer(control, dpi)
    {
        m_hwnd = hwnd;
        rememberPeer(m_hwnd, this);
    }

    ~StandardPeer() override
    {
        forgetPeer(m_hwnd);
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
    void restoreFocus() override { SetFocus(m_hwnd); } // an edit control keeps its selection

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
        // Neither checks itself: the runtime toggles a check box and selects an option button,
        // and the peer shows the new value (valueChanged).
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
            FillRect(reinterpret_cast<HDC>(wParam), &r, Look::brush(peer->view().background().lowRed()));
            return 1;
        }
    }
    return CallWindowProcW(peer->m_systemProc, hwnd, message, wParam, lParam);
}

// The window class and style of a standard control. No WS_TABSTOP or WS_GROUP: Tab and the arrows
// are the runtime's, and no dialog manager (IsDialogMessage) reads those styles here.
struct Native
{
    const wchar_t *cls;
    DWORD style;
    DWORD exStyle;
};

Native nativeOf(Kind kind)
{
    switch (kind) {
    case Kind::TextBox: return {L"EDIT", ES_AUTOHSCROLL | ES_LEFT, WS_EX_CLIENTEDGE};
    case Kind::Label: return {L"STATIC", SS_LEFT | SS_NOPREFIX, 0};
    case Kind::Frame: return {L"BUTTON", BS_GROUPBOX | WS_CLIPCHILDREN, 0};
    case Kind::CommandButton: return {L"BUTTON", BS_PUSHBUTTON, 0};
    // Not automatic ones: a click is reported, and the runtime decides the new value.
    case Kind::CheckBox: return {L"BUTTON", BS_CHECKBOX, 0};
    case Kind::OptionButton: return {L"BUTTON", BS_RADIOBUTTON, 0};
    case Kind::PictureBox: break;
    }
    return {L"STATIC", 0, 0};
}

BOOL CALLBACK rescaleChild(HWND child, LPARAM dpi)
{
    if (Win32Peer *peer = peerOf(child))
        peer->rescale(int(dpi));
    return TRUE;
}

} // namespace

void Win32Peer::rescale(int dpi)
{
    m_dpi = dpi;
    const RECT r = device(m_view.rect(), dpi);
    SetWindowPos(m_hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    if (m_view.kind() != Kind::PictureBox)
        SendMessageW(m_hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(Look::font(m_view.resolvedFont(), dpi)), TRUE);
}

void rescaleControls(HWND window, int dpi)
{
    EnumChildWindows(window, rescaleChild, LPARAM(dpi)); // every descendant, a frame's controls too
}

Win32Peer *peerOf(HWND window)
{
    const auto it = peers().find(window);
    return it == peers().end() ? nullptr : it->second;
}

void rememberPeer(HWND window, Win32Peer *peer)
{
    peers()[window] = peer;
}

void forgetPeer(HWND window)
{
    peers().erase(window);
}

std::unique_ptr<ControlPeer> createPeer(ControlView control, HWND parent, HINSTANCE instance, int dpi)
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
    if (control.kind() == Kind::PictureBox)
        return createPictureBox(control, parent, instance, id, dpi);
    const Native native = nativeOf(control.kind());
    const RECT r = device(control.rect(), dpi);
    HWND hwnd = CreateWindowExW(native.exStyle, native.cls, wide(control.text()).c_str(),
                                WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | native.style, r.left, r.top,
                                r.right - r.left, r.bottom - r.top, parent, reinterpret_cast<HMENU>(INT_PTR(id)),
                                instance, nullptr);
    if (!hwnd)
        return nullptr;
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(Look::font(control.resolvedFont(), dpi)), FALSE);
    // A text box takes as much as the user types or pastes: an edit control alone would cut it
    // at 30,000 characters.
    if (control.kind() == Kind::TextBox)
        SendMessageW(hwnd, EM_SETLIMITTEXT, 0, 0);
    auto standard = std::make_unique<StandardPeer>(control, hwnd, dpi);
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
            const COLORREF back = peer->view().background().lowRed();
            SetTextColor(dc, peer->view().textColour().lowRed());
            SetBkColor(dc, back);
            result = reinterpret_cast<LRESULT>(Look::brush(back));
            return true;
        }
        return false;
    }
    return false;
}

} // namespace Runtime::Win32
