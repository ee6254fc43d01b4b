// The program as its setup program installs it: the Start-menu shortcut points at the installed
// Quorvel.exe, and the program started through it, as the Start menu starts it, shows its main
// window and ends with status 0 on Exit. tests/windows/installer runs this case after each
// install, naming the shortcut and the program in QUORVEL_SHORTCUT and QUORVEL_INSTALLED;
// without them it is skipped.
#include "quorvel.h"

#include "doctest.h"

#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdlib>

namespace {

using namespace quorvel;

std::wstring environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? widen(value) : std::wstring();
}

bool sameFile(const std::wstring& a, const std::wstring& b)
{
    return _wcsicmp(a.c_str(), b.c_str()) == 0;
}

struct Shortcut {
    bool read = false;
    std::wstring target, arguments, folder;
};

// What the shell reads from a shortcut file.
Shortcut readShortcut(const std::wstring& path)
{
    Shortcut out;
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link))))
        return out;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        wchar_t text[MAX_PATH * 2] = {};
        if (SUCCEEDED(file->Load(path.c_str(), STGM_READ))) {
            out.read = link->GetPath(text, MAX_PATH * 2, nullptr, SLGP_RAWPATH) == S_OK;
            out.target = text;
            text[0] = 0;
            link->GetArguments(text, MAX_PATH * 2);
            out.arguments = text;
            text[0] = 0;
            link->GetWorkingDirectory(text, MAX_PATH * 2);
            out.folder = text;
        }
        file->Release();
    }
    link->Release();
    return out;
}

// The full path of the program that process `id` runs ("" when it cannot be read).
std::wstring programOf(DWORD id)
{
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
    wchar_t path[MAX_PATH * 2];
    DWORD size = MAX_PATH * 2;
    const bool read = process && QueryFullProcessImageNameW(process, 0, path, &size);
    if (process)
        CloseHandle(process);
    return read ? std::wstring(path, size) : std::wstring();
}

// Enumeration callbacks must be stdcall on i686, which lambdas are not.
struct MainWindowSearch {
    std::wstring program;
    DWORD found = 0;
};

BOOL CALLBACK matchMainWindow(HWND window, LPARAM lp)
{
    auto* search = reinterpret_cast<MainWindowSearch*>(lp);
    if (!IsWindowVisible(window) || className(window) != L"QuorvelForm")
        return TRUE;
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    if (sameFile(programOf(id), search->program)) {
        search->found = id;
        return FALSE;
    }
    return TRUE;
}

// The process of `program` that shows a main window, once one does.
Process showingMainWindow(const std::wstring& program)
{
    MainWindowSearch search{program};
    waitUntil([&] {
        EnumWindows(matchMainWindow, reinterpret_cast<LPARAM>(&search));
        return search.found != 0;
    }, 10s, 20ms);
    return Process::attach(search.found);
}

} // namespace

TEST_CASE("the installed program, started through its Start-menu shortcut, ends with status 0"
          * doctest::skip(environment("QUORVEL_SHORTCUT").empty()))
{
    const std::wstring shortcut = environment("QUORVEL_SHORTCUT");
    const std::wstring program = environment("QUORVEL_INSTALLED");
    const std::wstring folder = program.substr(0, program.rfind(L'\\'));
    CAPTURE(narrow(shortcut));
    REQUIRE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));

    const Shortcut link = readShortcut(shortcut);
    REQUIRE_MESSAGE(link.read, "the shortcut cannot be read");
    CHECK_MESSAGE(sameFile(link.target, program), "the shortcut points at ", narrow(link.target));
    CHECK_MESSAGE(link.arguments.empty(), "the shortcut passes ", narrow(link.arguments));
    CHECK_MESSAGE(sameFile(link.folder, folder), "the shortcut starts in ", narrow(link.folder));

    // Opened as the Start menu opens it. The shell may start the program through a process of
    // its own (Wine's does) and give no handle: the program is found by its main window.
    SHELLEXECUTEINFOW open{};
    open.cbSize = sizeof open;
    open.fMask = SEE_MASK_FLAG_NO_UI;
    open.lpFile = shortcut.c_str();
    open.nShow = SW_SHOWNORMAL;
    REQUIRE_MESSAGE(ShellExecuteExW(&open), "the shell cannot open the shortcut: error ", GetLastError());
    Process started = showingMainWindow(program);
    REQUIRE_MESSAGE(started.started(), "no main window of ", narrow(program), " showed");
    {
        Quorvel q(std::move(started), narrow(shortcut));
        REQUIRE(click(q.at("Picture4", kButtonMiddle)));
        CHECK(q.waitForExitCode() == 0);
    }
    CoUninitialize();
}
