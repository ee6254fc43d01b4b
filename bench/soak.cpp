// The soak: a long run of the pointer storm of the test suite (tests/storm.h) through the main
// window, every invariant checked after every event, with the memory in use read every 100,000
// events, each time in the same state: no button held, the main window just opened afresh.
//   soak [EVENTS]      1,000,000 events by default; QUORVEL_MONKEY_SEED replays a run
// Exits 1, with what did not hold, when the storm finds a fault.
#include "mainwindow.h"
#include "storm.h"

#include <QElapsedTimer>
#include <QFile>

#include <cstdio>
#include <cstdlib>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {

// Memory in use: resident set size and the bytes the allocator has handed out, in KiB.
struct Memory
{
    long long rssKiB = -1;
    long long heapKiB = -1;
};

Memory memoryNow()
{
    Memory m;
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("VmRSS:"))
                m.rssKiB = line.mid(6).trimmed().split(' ').value(0).toLongLong();
        }
    }
#if defined(__GLIBC__)
    m.heapKiB = static_cast<long long>(mallinfo2().uordblks / 1024);
#endif
    return m;
}

} // namespace

int main(int argc, char *argv[])
{
    const long long count = argc > 1 ? std::atoll(argv[1]) : 1000000;
    if (count <= 0) {
        std::fprintf(stderr, "usage: soak [EVENTS]\n");
        return 2;
    }
    int toolkitArgc = 1;
    char *toolkitArgv[] = {argv[0], nullptr};
    Runtime::QtUi::Look::prepare();
    QApplication app(toolkitArgc, toolkitArgv);
    Runtime::QtUi::QtBackend backend;
    testBackend() = &backend;
    const auto loud = Storm::quietToolkitMessages();

    const quint64 seed = Storm::seedFromEnvironment();
    std::printf("soak: seed %llu, %lld events (replay with QUORVEL_MONKEY_SEED=%llu)\n",
                static_cast<unsigned long long>(seed), count, static_cast<unsigned long long>(seed));
    QElapsedTimer clock;
    clock.start();
    Storm::Monkey monkey(seed);
    const bool ok = monkey.run(count, [&](qint64 events) {
        const Memory m = memoryNow();
        std::printf("soak: events %lld rss_kib %lld heap_kib %lld seconds %.1f\n", static_cast<long long>(events),
                    m.rssKiB, m.heapKiB, double(clock.elapsed()) / 1000.0);
        std::fflush(stdout);
    });
    std::printf("soak: %s\n", qPrintable(monkey.summary()));
    loud();
    if (!ok) {
        std::fprintf(stderr, "%s\n", qPrintable(monkey.problem()));
        return 1;
    }
    return 0;
}
