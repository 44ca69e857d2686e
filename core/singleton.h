#pragma once

#include <QMutex>
#include <QMutexLocker>

#include <atomic>

// The process-wide objects are made on first use: a set pointer is returned without a
// lock; the first creation is serialised by the class's own mutex. They are never destroyed.
template <typename T, typename Make>
T *lazyInstance(std::atomic<T *> &slot, QMutex &mutex, Make make)
{
    T *object = slot.load(std::memory_order_acquire);
    if (object)
        return object;
    QMutexLocker lock(&mutex);
    object = slot.load(std::memory_order_relaxed);
    if (!object) {
        object = make();
        slot.store(object, std::memory_order_release);
    }
    return object;
}
