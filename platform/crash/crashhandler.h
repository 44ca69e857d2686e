#pragma once

#include <QString>

// The in-process crash handler: a fatal signal on any thread has a dedicated dump thread
// write a crash report "<uuid>.dmp" into the dump folder (the signal, the faulting
// address, the crashing thread's stack trace, the threads and the loaded modules), after
// which the process dies by that signal. When no report can be written, the handlers that
// were installed before take over. Only the first handler object of a process installs.
class VaruCrashHandler
{
public:
    explicit VaruCrashHandler(const QString &dumpFolder);
    ~VaruCrashHandler() = default;
    VaruCrashHandler(const VaruCrashHandler &) = delete;
    VaruCrashHandler &operator=(const VaruCrashHandler &) = delete;

    bool isInstalled() const { return mInstalled; }

private:
    bool mInstalled = false;
};
