// Start to first painted frame of Windows programs, from outside: the time from CreateProcess
// to the moment the program first waits for input with nothing left to do (WaitForInputIdle),
// which a GUI program reaches once its window and every control in it have been painted:
// Windows hands out WM_PAINT only when no other message is waiting, and the program is idle
// only when no paint is left. The program is then ended and the next one started.
//
//   firstframe RUNS PROGRAM...
//
// Runs each program RUNS times, interleaved (A B, B A, A B, ...), after one warm-up run each,
// and prints every program's median, quartiles and fastest run, and the ratios of each median
// and fastest run to the first program's (the fastest runs are the ones least disturbed by
// other work on the machine):
// wall time, and the processor time the program itself used until then (user and kernel, as
// GetProcessTimes counts it; the X server's and wineserver's share is not in it), which other
// work on a busy machine disturbs much less.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

double now()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return double(t.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

struct Sample
{
    double wall = -1; // milliseconds from start to idle; negative when it failed
    double cpu = 0;   // milliseconds of the program's processor time until then
};

double milliseconds(const FILETIME &t)
{
    return double((ULONGLONG(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000.0;
}

Sample firstFrame(const std::string &program)
{
    std::string commandLine = "\"" + program + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    const double start = now();
    if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info))
        return {};
    const DWORD idle = WaitForInputIdle(info.hProcess, 20000);
    Sample sample;
    sample.wall = idle == 0 ? now() - start : -1;
    FILETIME created, exited, kernel, user;
    if (GetProcessTimes(info.hProcess, &created, &exited, &kernel, &user))
        sample.cpu = milliseconds(kernel) + milliseconds(user);
    TerminateProcess(info.hProcess, 0);
    WaitForSingleObject(info.hProcess, 10000);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    // Wine tears a process down after it has ended (its windows, its X resources): the next
    // start must not pay for that.
    Sleep(250);
    return sample;
}

double quantile(std::vector<double> v, double q)
{
    std::sort(v.begin(), v.end());
    const double at = q * double(v.size() - 1);
    const std::size_t low = std::size_t(at);
    const std::size_t high = std::min(low + 1, v.size() - 1);
    return v[low] + (v[high] - v[low]) * (at - double(low));
}

std::string baseName(const std::string &path)
{
    const auto slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: firstframe RUNS PROGRAM...\n");
        return 2;
    }
    const int runs = std::atoi(argv[1]);
    std::vector<std::string> programs(argv + 2, argv + argc);
    std::vector<std::vector<double>> walls(programs.size()), cpus(programs.size());
    for (const auto &p : programs) {
        if (firstFrame(p).wall < 0) {
            std::fprintf(stderr, "firstframe: %s did not start or never became idle\n", p.c_str());
            return 1;
        }
    }
    for (int run = 0; run < runs; ++run) {
        for (std::size_t k = 0; k < programs.size(); ++k) {
            const std::size_t i = run % 2 == 0 ? k : programs.size() - 1 - k;
            const Sample s = firstFrame(programs[i]);
            if (s.wall < 0) {
                std::fprintf(stderr, "firstframe: %s failed on run %d\n", programs[i].c_str(), run + 1);
                return 1;
            }
            walls[i].push_back(s.wall);
            cpus[i].push_back(s.cpu);
        }
    }
    for (const auto &[what, times] : {std::pair{"wall time", &walls}, std::pair{"processor time", &cpus}}) {
        const double first = quantile((*times)[0], 0.5);
        for (std::size_t i = 0; i < programs.size(); ++i) {
            const auto &t = (*times)[i];
            const double median = quantile(t, 0.5);
            std::printf("%-15s %-12s median %6.1f ms (quartiles %.1f to %.1f ms, fastest %.1f ms, %d runs), "
                        "ratio of medians %.3f, of fastest %.3f\n",
                        what, baseName(programs[i]).c_str(), median, quantile(t, 0.25), quantile(t, 0.75),
                        quantile(t, 0.0), runs, median / first, quantile(t, 0.0) / quantile((*times)[0], 0.0));
        }
    }
    return 0;
}
