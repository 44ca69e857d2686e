// Installs the crash handler the way start-up does and then crashes as told:
//   crashchild MODE     MODE is segv, segv-thread, abort, overflow, two-threads or chain.
// "chain" first installs a handler of its own that exits with 42, to show that earlier
// handlers take over when no dump can be written.
#include "app/startup.h"

#include <QCoreApplication>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <unistd.h>

extern "C" {

void earlierHandler(int)
{
    _exit(42);
}

// Exported so that the dump's stack trace can name it.
__attribute__((noinline)) void crashOnPurpose(volatile int *where)
{
    *where = 1;
}

// Recurses until the stack is gone; the limit is never reached in practice.
__attribute__((noinline)) int recurseDeeply(int depth)
{
    volatile char pad[4096];
    pad[0] = static_cast<char>(depth);
    if (depth > 100000000)
        return pad[0];
    return recurseDeeply(depth + 1) + pad[0];
}
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QByteArray mode = argc > 1 ? QByteArray(argv[1]) : QByteArray("segv");
    if (mode == "chain")
        signal(SIGSEGV, earlierHandler);
    initCrashHandler();

    if (mode == "segv" || mode == "chain") {
        crashOnPurpose(nullptr);
    } else if (mode == "segv-thread") {
        std::thread([] { crashOnPurpose(nullptr); }).join();
    } else if (mode == "two-threads") {
        std::thread a([] { crashOnPurpose(nullptr); });
        std::thread b([] { crashOnPurpose(nullptr); });
        a.join();
        b.join();
    } else if (mode == "abort") {
        abort();
    } else if (mode == "overflow") {
        return recurseDeeply(0);
    }
    return 0;
}
