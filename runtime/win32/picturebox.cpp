// The picture box: a window class of our own that paints the control's picture, its border and
// the focus rectangle, and turns Windows' pointer messages into the runtime's raw input.
#include "runtime/win32/peers.h"

#include "runtime/win32/accessibility.h"
#include "runtime/win32/dpi.h"
#include "runtime/win32/look.h"
#include "runtime/win32/pictures.h"
#include "runtime/win32/text.h"

#include <windowsx.h>

namespace Runtime::Win32 {

namespace {

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

// The sunken border of a picture box inside `r`: two lines, each as wide as a logical pixel
// at the scale.
void drawSunkenBorder(HDC dc, RECT r, int dpi)
{
    if (dpi == Dpi::Logical) {
        DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT);
        return;
    }
    const int outer = device(1, dpi);
    const int width = device(2, dpi);
    for (int line = 0; line < width; ++line) {
        DrawEdge(dc, &r, line < outer ? BDR_SUNKENOUTER : BDR_SUNKENINNER, BF_RECT);
        InflateRect(&r, -1, -1);
    }
}

class PictureBoxPeer final : public Win32Peer
{
public:
    PictureBoxPeer(ControlView box, HWND parent, HINSTANCE instance, int id, int dpi)
        : Win32Peer(box, dpi), m_area(box.drawingArea())
    {
        const RECT r = device(box.rect(), dpi);
        // The window text is the control's accessible name, which a screen reader reads.
        CreateWindowExW(0, kPictureBoxClass, wide(box.accessibleName()).c_str(), WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS,
                        r.left, r.top, r.right - r.left, r.bottom - r.top, parent,
                        reinterpret_cast<HMENU>(INT_PTR(id)), instance, this);
    }

    ~PictureBoxPeer() override
    {
        if (!m_hwnd)
            return;
        forgetPeer(m_hwnd); // what Windows still sends it from now on is not ours
        if (IsWindow(m_hwnd))
            DestroyWindow(m_hwnd);
    }

    // Its first message: from now on the window's messages come here (pictureBoxProc).
    void attach(HWND hwnd)
    {
        m_hwnd = hwnd;
        rememberPeer(hwnd, this);
        // A control that assistive technology knows by its role; a bare picture has none.
        if (m_view.role() != Role::None)
            m_accessibility = std::make_unique<Accessibility>(hwnd, m_view);
    }

    void pictureChanged() override { repaint(); }
    // The focus indicator, shown or not, and the checked state are drawn over the face; what
    // changed for assistive technology is told to it.
    void stateChanged(Change change) override
    {
        repaint();
        if (m_accessibility)
            m_accessibility->stateChanged(change);
    }
    void setFocus() override { SetFocus(m_hwnd); }
    void rescale(int dpi) override
    {
        Win32Peer::rescale(dpi);
        InvalidateRect(m_hwnd, nullptr, FALSE);
    }

    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);

    // Pixels of the control and device pixels of the window, by the mapping it draws with.
    RECT deviceRect(Rect pixels) const
    {
        const RECT area = drawingArea();
        const int left = pixels.x - m_area.x;
        const int top = pixels.y - m_area.y;
        return {area.left + device(left, m_dpi), area.top + device(top, m_dpi),
                area.left + device(left + pixels.width, m_dpi), area.top + device(top + pixels.height, m_dpi)};
    }
    Point controlPixel(POINT at) const
    {
        const Pixel p = pixelOf(MAKELPARAM(at.x, at.y));
        return {m_area.x + p.x, m_area.y + p.y};
    }

private:
    // The drawing area in device pixels of the window: its border as wide on each side.
    RECT drawingArea() const
    {
        const Rect box = m_view.rect();
        const int width = device(box.width, m_dpi);
        const int height = device(box.height, m_dpi);
        return {device(m_area.x, m_dpi), device(m_area.y, m_dpi),
                width - device(box.width - m_area.x - m_area.width, m_dpi),
                height - device(box.height - m_area.y - m_area.height, m_dpi)};
    }
    // The stored pixel drawn under the pointer (runtime/scale.h), in pixels of the drawing area.
    Pixel pixelOf(LPARAM lParam) const
    {
        const RECT area = drawingArea();
        return {logical(GET_X_LPARAM(lParam) - area.left, m_dpi), logical(GET_Y_LPARAM(lParam) - area.top, m_dpi)};
    }

    void repaint()
    {
        const RECT area = drawingArea();
        InvalidateRect(m_hwnd, &area, FALSE);
    }

    void paint();
    void press(std::int16_t button, WPARAM wParam, LPARAM lParam);
    void release(std::int16_t button, WPARAM wParam, LPARAM lParam);

    const Rect m_area;        // the drawing area, in pixels of the control
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
        drawSunkenBorder(dc, whole, m_dpi);
    const RECT area = drawingArea();
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    const auto *bitmap = dynamic_cast<const Win32Bitmap *>(m_view.picture().bitmap());
    if (HBITMAP face = bitmap ? bitmap->scaled(m_dpi) : nullptr) {
        const int width = device(bitmap->width(), m_dpi);
        const int height = device(bitmap->height(), m_dpi);
        HDC memory = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(memory, face);
        BitBlt(dc, area.left, area.top, width, height, memory, 0, 0, SRCCOPY);
        SelectObject(memory, old);
        DeleteDC(memory);
        ExcludeClipRect(dc, area.left, area.top, area.left + width, area.top + height);
    }
    FillRect(dc, &area, Look::brush(m_view.background().lowRed()));
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
        forgetPeer(hwnd);
    if (!peer || message == WM_NCCREATE || message == WM_CREATE)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    return peer->handle(message, wParam, lParam);
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

RECT deviceRect(HWND pictureBox, Rect pixels)
{
    if (const auto *box = dynamic_cast<const PictureBoxPeer *>(peerOf(pictureBox)))
        return box->deviceRect(pixels);
    return {pixels.x, pixels.y, pixels.x + pixels.width, pixels.y + pixels.height};
}

Point controlPixel(HWND pictureBox, POINT device)
{
    if (const auto *box = dynamic_cast<const PictureBoxPeer *>(peerOf(pictureBox)))
        return box->controlPixel(device);
    return {int(device.x), int(device.y)};
}

std::unique_ptr<Win32Peer> createPictureBox(ControlView box, HWND parent, HINSTANCE instance, int id, int dpi)
{
    auto peer = std::make_unique<PictureBoxPeer>(box, parent, instance, id, dpi);
    if (!peer->hwnd())
        return nullptr;
    return peer;
}

} // namespace Runtime::Win32
