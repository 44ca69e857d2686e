#include "crashhandler.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>

#include <dirent.h>
#include <execinfo.h>
#include <fcntl.h>
#include <pthread.h>
#include <sys/syscall.h>
#include <ucontext.h>
#include <unistd.h>

// Everything the crashing thread and the dump thread touch is static and preallocated:
// after a crash the heap may be corrupt, so no allocation happens on that path.
namespace {

constexpr int kSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGSYS};
constexpr int kMaxFrames = 128;
constexpr size_t kPathSize = 4096;
constexpr size_t kAltStackSize = 64 * 1024;
constexpr size_t kDumpThreadStackSize = 64 * 1024;

struct sigaction gPreviousActions[NSIG];
char gDumpFolder[kPathSize];
char gNextDumpPath[kPathSize];
int gRequestPipe[2] = {-1, -1};
int gReplyPipe[2] = {-1, -1};
std::atomic<pid_t> gCrashingThread{0};
std::atomic<bool> gInstalled{false};

// What the crashing thread hands to the dump thread.
int gSignal = 0;
int gSignalCode = 0;
void *gFaultAddress = nullptr;
void *gInstructionPointer = nullptr;
pid_t gThreadId = 0;
void *gFrames[kMaxFrames];
int gFrameCount = 0;

pid_t currentThreadId()
{
    return static_cast<pid_t>(syscall(SYS_gettid));
}

// A small writer that formats into a fixed buffer and never allocates.
class DumpWriter
{
public:
    explicit DumpWriter(int fd) : mFd(fd) { }
    ~DumpWriter() { flush(); }

    DumpWriter &text(const char *s) { return bytes(s, strlen(s)); }
    DumpWriter &bytes(const char *data, size_t size)
    {
        for (size_t i = 0; i < size; ++i)
            put(data[i]);
        return *this;
    }
    DumpWriter &number(long long value)
    {
        char digits[24];
        int n = 0;
        const bool negative = value < 0;
        unsigned long long v = negative ? 0ULL - static_cast<unsigned long long>(value)
                                        : static_cast<unsigned long long>(value);
        do {
            digits[n++] = static_cast<char>('0' + v % 10);
            v /= 10;
        } while (v);
        if (negative)
            put('-');
        while (n)
            put(digits[--n]);
        return *this;
    }
    DumpWriter &hex(const void *pointer)
    {
        const auto v = reinterpret_cast<uintptr_t>(pointer);
        text("0x");
        for (int shift = static_cast<int>(sizeof(v)) * 8 - 4; shift >= 0; shift -= 4)
            put("0123456789abcdef"[(v >> shift) & 0xf]);
        return *this;
    }
    void flush()
    {
        size_t done = 0;
        while (done < mUsed) {
            const ssize_t n = ::write(mFd, mBuffer + done, mUsed - done);
            if (n <= 0 && errno != EINTR)
                break;
            if (n > 0)
                done += static_cast<size_t>(n);
        }
        mUsed = 0;
    }

private:
    void put(char c)
    {
        if (mUsed == sizeof(mBuffer))
            flush();
        mBuffer[mUsed++] = c;
    }

    int mFd;
    char mBuffer[1024];
    size_t mUsed = 0;
};

const char *signalName(int sig)
{
    switch (sig) {
    case SIGSEGV:
        return "SIGSEGV";
    case SIGBUS:
        return "SIGBUS";
    case SIGFPE:
        return "SIGFPE";
    case SIGILL:
        return "SIGILL";
    case SIGABRT:
        return "SIGABRT";
    case SIGSYS:
        return "SIGSYS";
    default:
        return "signal";
    }
}

// Copies a whole file (a /proc entry) into the dump.
void copyFile(DumpWriter &out, const char *path)
{
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return;
    char buffer[512];
    ssize_t n;
    while ((n = ::read(fd, buffer, sizeof(buffer))) > 0 || (n < 0 && errno == EINTR)) {
        if (n > 0)
            out.bytes(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
}

void appendText(char *dest, size_t size, const char *src)
{
    const size_t used = strnlen(dest, size);
    size_t i = 0;
    while (used + i + 1 < size && src[i]) {
        dest[used + i] = src[i];
        ++i;
    }
    dest[used + i] = 0;
}

// The next dump name: the folder, a fresh version-4 UUID in lower-case 8-4-4-4-12 form,
// and ".dmp".
void prepareNextDumpPath()
{
    unsigned char bytes[16] = {};
    const int fd = ::open("/dev/urandom", O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        ssize_t got = 0;
        while (got < 16) {
            const ssize_t n = ::read(fd, bytes + got, sizeof(bytes) - static_cast<size_t>(got));
            if (n <= 0 && errno != EINTR)
                break;
            if (n > 0)
                got += n;
        }
        ::close(fd);
    }
    bytes[6] = static_cast<unsigned char>((bytes[6] & 0x0f) | 0x40);
    bytes[8] = static_cast<unsigned char>((bytes[8] & 0x3f) | 0x80);
    char uuid[37];
    int pos = 0;
    for (int i = 0; i < 16; ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10)
            uuid[pos++] = '-';
        uuid[pos++] = "0123456789abcdef"[bytes[i] >> 4];
        uuid[pos++] = "0123456789abcdef"[bytes[i] & 0xf];
    }
    uuid[pos] = 0;
    gNextDumpPath[0] = 0;
    appendText(gNextDumpPath, kPathSize, gDumpFolder);
    appendText(gNextDumpPath, kPathSize, "/");
    appendText(gNextDumpPath, kPathSize, uuid);
    appendText(gNextDumpPath, kPathSize, ".dmp");
}

bool writeDump()
{
    const int fd = ::open(gNextDumpPath, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    {
        DumpWriter out(fd);
        out.text("Crash report\n");
        out.text("Process: ").number(getpid()).text("\n");
        out.text("Crashing thread: ").number(gThreadId).text("\n");
        out.text("Signal: ").number(gSignal).text(" (").text(signalName(gSignal)).text(")");
        out.text(" code ").number(gSignalCode).text("\n");
        out.text("Fault address: ").hex(gFaultAddress).text("\n");
        out.text("Instruction pointer: ").hex(gInstructionPointer).text("\n");
        out.text("\nStack trace of the crashing thread:\n");
        out.flush();
        backtrace_symbols_fd(gFrames, gFrameCount, fd);

        out.text("\nThreads:\n");
        if (DIR *dir = opendir("/proc/self/task")) {
            while (dirent *entry = readdir(dir)) {
                if (entry->d_name[0] == '.')
                    continue;
                char commPath[64] = "/proc/self/task/";
                appendText(commPath, sizeof(commPath), entry->d_name);
                appendText(commPath, sizeof(commPath), "/comm");
                out.text("  ").text(entry->d_name).text(" ");
                copyFile(out, commPath);
            }
            closedir(dir);
        }
        out.text("\nLoaded modules:\n");
        copyFile(out, "/proc/self/maps");
    }
    ::fsync(fd);
    ::close(fd);
    return true;
}

void *dumpThreadMain(void *)
{
    for (;;) {
        char request = 0;
        const ssize_t n = ::read(gRequestPipe[0], &request, 1);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return nullptr;
        const char reply = writeDump() ? 1 : 0;
        prepareNextDumpPath();
        while (::write(gReplyPipe[1], &reply, 1) < 0 && errno == EINTR) { }
    }
}

void *instructionPointer(void *context)
{
#if defined(__x86_64__)
    return reinterpret_cast<void *>(static_cast<ucontext_t *>(context)->uc_mcontext.gregs[REG_RIP]);
#elif defined(__aarch64__)
    return reinterpret_cast<void *>(static_cast<ucontext_t *>(context)->uc_mcontext.pc);
#else
    (void)context;
    return nullptr;
#endif
}

void restoreHandlers(bool previous)
{
    for (int sig : kSignals) {
        if (previous) {
            sigaction(sig, &gPreviousActions[sig], nullptr);
        } else {
            signal(sig, SIG_DFL);
        }
    }
}

void onFatalSignal(int sig, siginfo_t *info, void *context)
{
    const pid_t self = currentThreadId();
    pid_t expected = 0;
    if (!gCrashingThread.compare_exchange_strong(expected, self)) {
        if (expected == self) {
            // The handler itself crashed: die the plain way.
            signal(sig, SIG_DFL);
            raise(sig);
            return;
        }
        // Another thread is writing its report; the process ends when that is done.
        for (;;)
            pause();
    }

    gSignal = sig;
    gSignalCode = info ? info->si_code : 0;
    gFaultAddress = info ? info->si_addr : nullptr;
    gInstructionPointer = instructionPointer(context);
    gThreadId = self;
    gFrameCount = backtrace(gFrames, kMaxFrames);

    char reply = 0;
    const char request = 1;
    bool written = false;
    if (::write(gRequestPipe[1], &request, 1) == 1) {
        ssize_t n;
        do {
            n = ::read(gReplyPipe[0], &reply, 1);
        } while (n < 0 && errno == EINTR);
        written = n == 1 && reply == 1;
    }

    // With a report written the process dies by its signal; without one the earlier
    // handlers (or the system's default) take over. The signal is sent again to this
    // thread and is delivered with the restored disposition once this handler returns.
    restoreHandlers(!written);
    syscall(SYS_tgkill, getpid(), self, sig);
}

} // namespace

VaruCrashHandler::VaruCrashHandler(const QString &dumpFolder)
{
    bool expected = false;
    if (!gInstalled.compare_exchange_strong(expected, true))
        return;

    const QByteArray folder = dumpFolder.toLocal8Bit();
    if (static_cast<size_t>(folder.size()) + 64 >= kPathSize || pipe2(gRequestPipe, O_CLOEXEC) != 0
        || pipe2(gReplyPipe, O_CLOEXEC) != 0) {
        gInstalled = false;
        return;
    }
    memcpy(gDumpFolder, folder.constData(), static_cast<size_t>(folder.size()) + 1);
    prepareNextDumpPath();

    // backtrace() loads its unwinder on first use; do that now, not in the handler.
    void *warmUp[2];
    backtrace(warmUp, 2);

    // The dump thread blocks every signal so that none of the fatal ones lands there.
    sigset_t all, previousMask;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &previousMask);
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, kDumpThreadStackSize);
    pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
    pthread_t thread;
    const bool started = pthread_create(&thread, &attributes, dumpThreadMain, nullptr) == 0;
    pthread_attr_destroy(&attributes);
    pthread_sigmask(SIG_SETMASK, &previousMask, nullptr);
    if (!started) {
        gInstalled = false;
        return;
    }
    pthread_setname_np(thread, "crash-dump");

    // An alternate stack for the installing thread, so that a stack overflow there is
    // still reported. Other threads' handlers run on their own stacks.
    static char altStack[kAltStackSize];
    stack_t stack = {};
    stack.ss_sp = altStack;
    stack.ss_size = sizeof(altStack);
    sigaltstack(&stack, nullptr);

    struct sigaction action = {};
    action.sa_sigaction = onFatalSignal;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    for (int sig : kSignals)
        sigaction(sig, &action, &gPreviousActions[sig]);
    mInstalled = true;
}
