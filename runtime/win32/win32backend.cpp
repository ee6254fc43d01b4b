// The Win32 back end: windows, peers, pictures, the message box and the message loops, and
// the start-up.
#include "runtime/win32/win32backend.h"

#include "runtime/form.h"
#include "runtime/runtimeerror.h"
#include "runtime/win32/backendimpl.h"
#include "runtime/win32/bitmap.h"
#include "runtime/win32/formwindow.h"
#include "runtime/win32/peers.h"
#include "runtime/win32/text.h"

#include <cstdio>

namespace Runtime::Win32 {

namespace {
// The program's icon group, by the name its resource script gives it.
constexpr wchar_t kIconName[] = L"IDI_ICON1";
} // namespace

Win32Backend::Win32Backend(HINSTANCE instance) : m_instance(instance)
{
    m_icon = static_cast<HICON>(LoadImageW(instance, kIconName, IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                                           GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR));
    m_smallIcon = static_cast<HICON>(LoadImageW(instance, kIconName, IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    if (!FormWindow::registerClass(instance, m_icon, m_smallIcon) || !registerPictureBoxClass(instance))
        m_problem = "cannot register the window classes (error " + std::to_string(GetLastError()) + ")";
    setBackend(this);
}

Win32Backend::~Win32Backend()
{
    setBackend(nullptr);
    UnregisterClassW(kFormClass, m_instance);
    UnregisterClassW(kPictureBoxClass, m_instance);
    if (m_icon)
        DestroyIcon(m_icon);
    if (m_smallIcon)
        DestroyIcon(m_smallIcon);
}

std::unique_ptr<WindowPeer> Win32Backend::createWindow(Form &form)
{
    FormWindow *owner = form.owner() ? dynamic_cast<FormWindow *>(form.owner()->peer()) : nullptr;
    auto window = std::make_unique<FormWindow>(*this, form, owner);
    if (!window->hwnd())
        throw RuntimeError(Err::Internal, "Cannot create the window " + form.name());
    return window;
}

std::unique_ptr<ControlPeer> Win32Backend::createControl(Control &control)
{
    HWND parent = control.container() ? hwndOf(*control.container()) : nullptr;
    if (!parent) {
        auto *window = dynamic_cast<FormWindow *>(control.form().peer());
        parent = window ? window->hwnd() : nullptr;
    }
    return createPeer(control, parent, m_instance);
}

Picture Win32Backend::loadPicture(const std::string &name)
{
    auto bitmap = Win32Bitmap::load(m_instance, wide(name));
    if (!bitmap)
        throw RuntimeError(Err::InvalidPicture, "Invalid picture: " + name);
    return Picture(std::move(bitmap));
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

    // Over the active window of ours, else the last one shown; with none, over every window of
    // the program.
    HWND owner = nullptr;
    if (FormWindow *active = FormWindow::of(GetActiveWindow()))
        owner = active->hwnd();
    if (!owner) {
        for (Form *form : Form::all()) {
            auto *window = dynamic_cast<FormWindow *>(form->peer());
            if (window && form->isVisible() && IsWindowEnabled(window->hwnd()))
                owner = window->hwnd();
        }
    }
    style |= owner ? MB_APPLMODAL : MB_TASKMODAL;
    const int answer = MessageBoxW(owner, wide(request.prompt).c_str(), wide(request.title).c_str(), style);

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
    if (FormWindow *window = FormWindow::of(message.hwnd)) {
        if (window->takeKey(message))
            return;
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

// ---- start-up ---------------------------------------------------------------------------

namespace {

// The fewest bits of colour a screen needs for the pictures to show as they are.
constexpr int kLeastDepth = 15;

void say(const char *programName, const std::string &line)
{
    // A Windows program has no console to say it on: a message box says it as well.
    std::fprintf(stderr, "%s: %s\n", programName, line.c_str());
    std::fflush(stderr);
    MessageBoxW(nullptr, wide(line).c_str(), wide(programName).c_str(), MB_OK | MB_ICONHAND | MB_TASKMODAL);
}

} // namespace

int run(char **, const char *programName, const std::function<int()> &program)
{
    HDC screen = GetDC(nullptr);
    const int depth = screen ? GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES) : 0;
    if (screen)
        ReleaseDC(nullptr, screen);
    if (!screen) {
        say(programName, "there is no screen to open a window on");
        return 1;
    }
    if (depth < kLeastDepth) {
        say(programName, "the screen shows " + std::to_string(depth) + "-bit colour; Quorvel needs " +
                             std::to_string(kLeastDepth) + "-bit colour or more");
        return 1;
    }
    Win32Backend backend(GetModuleHandleW(nullptr));
    if (const auto problem = backend.problem()) {
        say(programName, *problem);
        return 1;
    }
    return program();
}

} // namespace Runtime::Win32
