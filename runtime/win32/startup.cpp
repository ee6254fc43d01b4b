// Start-up on Windows: the screen checked, the back end made, the program run over it.
#include "runtime/win32/backend.h"

#include "runtime/win32/text.h"

#include <cstdio>

namespace Runtime::Win32 {

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

int run(char **, const char *programName, const std::function<int(Runtime::Backend &)> &program)
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
    return program(backend);
}

} // namespace Runtime::Win32
