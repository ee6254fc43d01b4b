// The Win32 back end: windows, peers, pictures, the message box and the message loops.
#include "runtime/win32/backend.h"

#include "runtime/win32/com.h"
#include "runtime/win32/dpi.h"
#include "runtime/win32/look.h"
#include "runtime/win32/peers.h"
#include "runtime/win32/pictures.h"
#include "runtime/win32/text.h"
#include "runtime/win32/window.h"

#include <optional>

namespace Runtime::Win32 {

namespace {

// The program's icon group, by the name its resource script gives it.
constexpr wchar_t kIconName[] = L"IDI_ICON1";

// The keys the runtime's rules know, as Windows names them.
std::optional<Key> runtimeKey(WPARAM vk)
{
    switch (vk) {
    case VK_TAB: return Key::Tab;
    case VK_ESCAPE: return Key::Escape;
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

std::int16_t shiftKeys()
{
    std::int16_t shift = 0;
    if (GetKeyState(VK_SHIFT) < 0) shift |= ShiftKey::Shift;
    if (GetKeyState(VK_CONTROL) < 0) shift |= ShiftKey::Ctrl;
    if (GetKeyState(VK_MENU) < 0) shift |= ShiftKey::Alt;
    return shift;
}

} // namespace

Win32Backend::Win32Backend(HINSTANCE instance) : m_instance(instance)
{
    // The window class's icons are at the system's scale; a window at another sets its own.
    const Icons &icons = this->icons(systemDpi());
    if (!FormWindow::registerClass(instance, icons.large, icons.small) || !registerPictureBoxClass(instance))
        m_problem = "cannot register the window classes (error " + std::to_string(GetLastError()) + ")";
}

Win32Backend::~Win32Backend()
{
    endCom();
    UnregisterClassW(kFormClass, m_instance);
    UnregisterClassW(kPictureBoxClass, m_instance);
    for (const auto &[dpi, icons] : m_icons) {
        if (icons.large)
            DestroyIcon(icons.large);
        if (icons.small)
            DestroyIcon(icons.small);
    }
}

const Win32Backend::Icons &Win32Backend::icons(int dpi)
{
    auto it = m_icons.find(dpi);
    if (it == m_icons.end()) {
        // The 32- and 16-pixel images of the icon group at that scale: Windows scales the one
        // nearest in size as it loads it.
        auto load = [this, dpi](int size) {
            const int scaled = device(size, dpi);
            return static_cast<HICON>(LoadImageW(m_instance, kIconName, IMAGE_ICON, scaled, scaled, LR_DEFAULTCOLOR));
        };
        it = m_icons.emplace(dpi, Icons{load(32), load(16)}).first;
    }
    return it->second;
}

std::unique_ptr<WindowPeer> Win32Backend::createWindow(FormView form, WindowPeer *owner)
{
    auto window = std::make_unique<FormWindow>(*this, form, dynamic_cast<FormWindow *>(owner));
    if (!window->hwnd())
        return nullptr; // the runtime says it could not be made
    return window;
}

std::unique_ptr<ControlPeer> Win32Backend::createControl(ControlView control, WindowPeer &window,
                                                         ControlPeer *container)
{
    auto *frame = dynamic_cast<Win32Peer *>(container);
    auto &form = static_cast<FormWindow &>(window);
    return createPeer(control, frame ? frame->hwnd() : form.hwnd(), m_instance, form.dpi());
}

Picture Win32Backend::loadPicture(const std::string &name)
{
    auto bitmap = Win32Bitmap::load(m_instance, wide(name));
    return bitmap ? Picture(std::move(bitmap)) : Picture();
}

Rgb Win32Backend::systemColour(Colour::Source colour) const
{
    return Rgb::fromLowRed(Look::systemColour(colour));
}

int Win32Backend::messageBox(const MessageBoxRequest &request)
{
    using Choice = MessageBoxRequest::Choice;
    using Icon = MessageBoxRequest::Icon;
    // The buttons: the one of Windows' sets that holds exactly these choices in this order.
    struct Set
    {
        UINT style;
        std::vector<Choice> choices;
    };
    static const Set kSets[] = {
        {MB_OK, {Choice::Ok}},
        {MB_OKCANCEL, {Choice::Ok, Choice::Cancel}},
        {MB_ABORTRETRYIGNORE, {Choice::Abort, Choice::Retry, Choice::Ignore}},
        {MB_YESNOCANCEL, {Choice::Yes, Choice::No, Choice::Cancel}},
        {MB_YESNO, {Choice::Yes, Choice::No}},
        {MB_RETRYCANCEL, {Choice::Retry, Choice::Cancel}},
    };
    UINT style = MB_OK;
    for (const Set &set : kSets) {
        if (set.choices == request.choices)
            style = set.style;
    }
    switch (request.icon) {
    case Icon::Critical: style |= MB_ICONHAND; break;
    case Icon::Question: style |= MB_ICONQUESTION; break;
    case Icon::Exclamation: style |= MB_ICONEXCLAMATION; break;
    case Icon::Information: style |= MB_ICONASTERISK; break;
    case Icon::None: break;
    }
    static const UINT kDefaults[] = {MB_DEFBUTTON1, MB_DEFBUTTON2, MB_DEFBUTTON3};
    if (request.defaultChoice > 0 && request.defaultChoice < 3)
        style |= kDefaults[request.defaultChoice];

    // Over its owner's window, which takes no input meanwhile; with none, over every window of
    // the program.
    const auto *owner = dynamic_cast<const FormWindow *>(request.owner);
    style |= owner ? MB_APPLMODAL : MB_TASKMODAL;
    const int answer = MessageBoxW(owner ? owner->hwnd() : nullptr, wide(request.prompt).c_str(),
                                   wide(request.title).c_str(), style);

    static const struct
    {
        int id;
        Choice choice;
    } kAnswers[] = {{IDOK, Choice::Ok},       {IDCANCEL, Choice::Cancel}, {IDABORT, Choice::Abort},
                    {IDRETRY, Choice::Retry}, {IDIGNORE, Choice::Ignore}, {IDYES, Choice::Yes},
                    {IDNO, Choice::No}};
    for (const auto &a : kAnswers) {
        if (a.id != answer)
            continue;
        for (std::size_t i = 0; i < request.choices.size(); ++i) {
            if (request.choices[i] == a.choice)
                return int(i);
        }
    }
    return -1;
}

void Win32Backend::deliver(MSG &message)
{
    const bool down = message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN;
    const bool up = message.message == WM_KEYUP || message.message == WM_SYSKEYUP;
    if (down || up) {
        const auto key = runtimeKey(message.wParam);
        if (FormWindow *window = key ? FormWindow::of(message.hwnd) : nullptr) {
            // Bit 30: the key was down already, the keyboard repeats it.
            const bool taken = down ? Report::keyPressed(window->form(), *key, shiftKeys(), (message.lParam & (1L << 30)) != 0)
                                    : Report::keyReleased(window->form(), *key, shiftKeys());
            if (taken)
                return;
        }
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

int Win32Backend::exec()
{
    ++m_loops;
    MSG message{};
    int status = 0;
    for (;;) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            status = int(message.wParam);
            break;
        }
        if (got < 0) {
            status = 1;
            break;
        }
        deliver(message);
    }
    --m_loops;
    return status;
}

bool Win32Backend::runUntil(const bool &done)
{
    ++m_loops;
    MSG message{};
    bool quitting = false;
    while (!done) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            // Every loop is left: the one outside gets its own WM_QUIT.
            PostQuitMessage(int(message.wParam));
            quitting = true;
            break;
        }
        if (got < 0)
            break;
        deliver(message);
    }
    --m_loops;
    return !quitting;
}

void Win32Backend::quit(int status)
{
    PostQuitMessage(status);
}

} // namespace Runtime::Win32
