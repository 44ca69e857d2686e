#include "taskthread.h"

namespace Task {

Thread::Thread() : QThread(nullptr) { }

void Thread::run() { }

} // namespace Task
