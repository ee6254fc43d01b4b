// The Win32 back end itself: windows, peers, pictures, the message box and the message loops.
#pragma once

#include "runtime/backend.h"

#include <windows.h>

#include <optional>
#include <string>

namespace Runtime::Win32 {

class Win32Backend final : public Runtime::Backend
{
public:
    // Registers the window classes and becomes the runtime's back end; problem() says what
    // went wrong when that failed.
    explicit Win32Backend(HINSTANCE instance);
    ~Win32Backend() override;
    Win32Backend(const Win32Backend &) = delete;
    Win32Backend &operator=(const Win32Backend &) = delete;

    std::optional<std::string> problem() const { return m_problem; }
    HINSTANCE instance() const { return m_instance; }

    std::unique_ptr<WindowPeer> createWindow(Form &form) override;
    std::unique_ptr<ControlPeer> createControl(Control &control) override;
    Picture loadPicture(const std::string &name) override;
    int messageBox(const MessageBoxRequest &request) override;
    int exec() override;
    void quit(int status) override;
    bool inEventLoop() const override { return m_loops > 0; }

    // Runs messages until `done` turns true (or at once returns when it is); false when
    // WM_QUIT came first, which is posted again for the loop outside.
    bool runUntil(const bool &done);

private:
    // One message: the form's keyboard rules first, then its window.
    void deliver(MSG &message);

    HINSTANCE m_instance;
    HICON m_icon = nullptr;
    HICON m_smallIcon = nullptr;
    int m_loops = 0;
    std::optional<std::string> m_problem;
};

} // namespace Runtime::Win32
