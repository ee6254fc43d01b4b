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
// other work on the machine).
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

// Milliseconds from start to idle; negative when the program did not start or never idled.
double firstFrame(const std::string &program)
{
    std::string commandLine = "\"" + program + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    const double start = now();
    if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info))
        return -1;
    const DWORD idle = WaitForInputIdle(info.hProcess, 20000);
    const double took = idle == 0 ? now() - start : -1;
    TerminateProcess(info.hProcess, 0);
    WaitForSingleObject(info.hProcess, 10000);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    // Wine tears a process down after it has ended (its windows, its X resources): the next
    // start must not pay for that.
    Sleep(250);
    return took;
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
    std::vector<std::vector<double>> times(programs.size());
    for (const auto &p : programs) {
        if (firstFrame(p) < 0) {
            std::fprintf(stderr, "firstframe: %s did not start or never became idle\n", p.c_str());
            return 1;
        }
    }
    for (int run = 0; run < runs; ++run) {
        for (std::size_t k = 0; k < programs.size(); ++k) {
            const std::size_t i = run % 2 == 0 ? k : programs.size() - 1 - k;
            const double t = firstFrame(programs[i]);
            if (t < 0) {
                std::fprintf(stderr, "firstframe: %s failed on run %d\n", programs[i].c_str(), run + 1);
                return 1;
            }
            times[i].push_back(t);
        }
    }
    const double firstMedian = quantile(times[0], 0.5), firstFastest = quantile(times[0], 0.0);
    for (std::size_t i = 0; i < programs.size(); ++i) {
        const auto &t = times[i];
        const double median = quantile(t, 0.5), fastest = quantile(t, 0.0);
        std::printf("%-12s median %6.1f ms (quartiles %.1f to %.1f ms), fastest %.1f ms, %d runs; "
                    "ratio of medians %.3f, of fastest runs %.3f\n",
                    baseName(programs[i]).c_str(), median, quantile(t, 0.25), quantile(t, 0.75), fastest, runs,
                    median / firstMedian, fastest / firstFastest);
    }
    return 0;
}
