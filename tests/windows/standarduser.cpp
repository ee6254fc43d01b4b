// Starts a command as a user without administrator rights would start it, from an
// administrator's session: with a restricted copy of this process's token in which the
// Administrators group is for deny only, so that the command, and every process it starts,
// finds itself outside that group. Waits for the command and ends with its exit code.
//
//   quorvel_standarduser.exe COMMAND [ARGUMENTS...]
//
// The command line after this program's own name is passed on exactly as written (NSIS reads
// /D= and _?= only unquoted, spaces and all). Ends with 125 when the command cannot be started.
#include <windows.h>

#include <cstdio>

namespace {

constexpr int kNotStarted = 125;

// The rest of the command line after its first argument, which may be quoted.
const wchar_t* afterProgramName(const wchar_t* line)
{
    if (*line == L'"') {
        ++line;
        while (*line && *line != L'"')
            ++line;
        if (*line)
            ++line;
    } else {
        while (*line && *line != L' ' && *line != L'\t')
            ++line;
    }
    while (*line == L' ' || *line == L'\t')
        ++line;
    return line;
}

int fail(const char* what)
{
    std::fprintf(stderr, "quorvel_standarduser: %s failed (error %lu)\n", what, GetLastError());
    return kNotStarted;
}

} // namespace

int main()
{
    const wchar_t* command = afterProgramName(GetCommandLineW());
    if (!*command) {
        std::fprintf(stderr, "usage: quorvel_standarduser COMMAND [ARGUMENTS...]\n");
        return kNotStarted;
    }

    HANDLE own = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_DUPLICATE | TOKEN_QUERY | TOKEN_ASSIGN_PRIMARY, &own))
        return fail("OpenProcessToken");
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID administrators = nullptr;
    if (!AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0,
                                  0, &administrators))
        return fail("AllocateAndInitializeSid");
    SID_AND_ATTRIBUTES denyOnly = {administrators, 0};
    HANDLE restricted = nullptr;
    const BOOL made = CreateRestrictedToken(own, 0, 1, &denyOnly, 0, nullptr, 0, nullptr, &restricted);
    FreeSid(administrators);
    CloseHandle(own);
    if (!made)
        return fail("CreateRestrictedToken");

    // CreateProcessAsUserW may write into the command line: a copy of its own.
    const size_t length = wcslen(command);
    wchar_t* line = new wchar_t[length + 1];
    wcscpy(line, command);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    const BOOL started = CreateProcessAsUserW(restricted, nullptr, line, nullptr, nullptr, FALSE, 0, nullptr,
                                              nullptr, &startup, &process);
    delete[] line;
    CloseHandle(restricted);
    if (!started)
        return fail("CreateProcessAsUserW");

    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = kNotStarted;
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(status);
}
