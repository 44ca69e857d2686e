#pragma once

#include "taskthread.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <type_traits>
#include <utility>

// One job on a thread of its own: Task::run(work)->then(done) runs work on a new thread
// and done(result) on the starting thread, once, after the work has finished and control
// is back in the starting thread's event loop. The job thread then deletes itself.
namespace Task {

template <typename T>
class ThreadHelper;

template <typename T>
class TaskHandle
{
public:
    using Completion = std::function<void(T)>;

    TaskHandle(const TaskHandle &) = delete;
    TaskHandle &operator=(const TaskHandle &) = delete;

    // Sets the completion callable and starts the job with the caller's priority.
    void then(Completion completion)
    {
        mCompletion = std::move(completion);
        mStart();
    }

    // The same, but the completion is skipped when guard has been destroyed by then, so
    // that a job never touches the object that started it after that object is gone.
    template <typename F>
    void then(QObject *guard, F completion)
    {
        QPointer<QObject> alive(guard);
        then(Completion([alive, completion](T result) mutable {
            if (alive)
                completion(std::move(result));
        }));
    }

    Thread *thread() const { return mOwner; }

private:
    friend class ThreadHelper<T>;

    TaskHandle(Thread *owner, std::function<void()> start)
        : mOwner(owner), mCompletion([](T) {}), mStart(std::move(start))
    { }

    Thread *mOwner;
    Completion mCompletion;
    std::function<void()> mStart;
};

template <typename T>
class ThreadHelper : public Thread
{
public:
    explicit ThreadHelper(std::function<T()> work)
        : mWork(std::move(work)), mHandle(this, [this]() { start(QThread::InheritPriority); }),
          mResult()
    {
        // Deletion is queued to the thread that created the job, which runs the completion.
        connect(this, &QThread::finished, this, &QObject::deleteLater);
    }

    ~ThreadHelper() override
    {
        wait(); // finished is emitted just before the thread has fully wound down
        mHandle.mCompletion(std::move(mResult));
    }

    TaskHandle<T> *handle() { return &mHandle; }

protected:
    void run() override { mResult = mWork(); }

private:
    std::function<T()> mWork;
    TaskHandle<T> mHandle;
    T mResult;
};

template <typename F>
TaskHandle<std::decay_t<std::invoke_result_t<F>>> *run(F work)
{
    using Result = std::decay_t<std::invoke_result_t<F>>;
    auto *thread = new ThreadHelper<Result>(std::function<Result()>(std::move(work)));
    return thread->handle();
}

} // namespace Task
