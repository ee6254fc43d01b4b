// A form's window: a top-level window of our own class, of a fixed size, placed by its client
// area; the modal show and its nested message loop.
#pragma once

#include "runtime/backend.h"

#include <windows.h>

#include <memory>

namespace Runtime::Win32 {

class FormAccessibility;
class Win32Backend;

inline constexpr wchar_t kFormClass[] = L"QuorvelForm";

class FormWindow final : public WindowPeer
{
public:
    FormWindow(Win32Backend &backend, FormView form, FormWindow *owner);
    ~FormWindow() override;
    FormWindow(const FormWindow &) = delete;
    FormWindow &operator=(const FormWindow &) = delete;

    static bool registerClass(HINSTANCE instance, HICON icon, HICON smallIcon);
    // The form window `window` is, or lies in; nullptr for any other window.
    static FormWindow *of(HWND window);

    HWND hwnd() const { return m_hwnd; }
    FormView form() const { return m_form; }
    // The dots per inch it is laid out at.
    int dpi() const { return m_dpi; }

    void show(Point clientOrigin, bool modal) override;
    void hide() override;
    bool isVisible() const override;
    void runModal() override;
    void endModal() override;
    // In logical pixels, as the runtime has every place and size: converted here from the
    // window's device pixels, and back.
    Rect clientRect() const override;
    Margins frameMargins() const override;
    void setBlocked(bool blocked) override;
    Rect screenArea(Point point) const override;

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);

    // The window rectangle with its client area at `clientOrigin` (logical pixels).
    RECT frameFor(Point clientOrigin) const;
    RECT deviceMargins() const;
    // The program's icon at the window's scale.
    void setIcons();
    // At another scale: fonts, controls and icons made again at it, the window at `suggested`.
    void rescale(int dpi, const RECT &suggested);
    // The window of ours that blocks this one takes over: activated, and restored if minimised.
    void activatePopup();
    // Whether this is a modal window over its owner, which the runtime keeps from input.
    bool blocksOwner() const { return m_owner && !IsWindowEnabled(m_owner->m_hwnd) && IsWindowEnabled(m_hwnd); }
    // The windows shown over this one go down with it when it is minimised, and come back.
    void hideOwned();
    void showOwned();

    Win32Backend &m_backend;
    FormView m_form;
    FormWindow *m_owner;
    HWND m_hwnd = nullptr;
    DWORD m_style;
    int m_dpi = 96;
    bool m_endModal = false;
    bool m_hiddenWithOwner = false; // shown, and hidden while its owner is minimised
    bool m_closing = false;
    std::unique_ptr<FormAccessibility> m_accessibility; // made when a screen reader first asks
};

} // namespace Runtime::Win32
