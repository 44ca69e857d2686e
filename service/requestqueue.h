#pragma once

#include "platform/logger/classlogger.h"

#include <QList>
#include <QObject>
#include <QSharedPointer>
#include <deque>
#include <functional>

class VaruApkInfo;
class VaruRequest;
namespace Log4Qt {
class Logger;
}

// Runs the pipeline of every task, one request at a time: upload, hardening, download
// and sign-and-pack; a step that succeeds puts the task's next step ahead of all waiting
// work. Keeps each record's task state in step with its request.
class VaruRequestQueue : public QObject
{
    Q_OBJECT

public:
    // How the queue asks the user about an account problem; the default shows real
    // message boxes. Tests and the product go through the same calls.
    struct Prompts {
        std::function<void()> sessionExpired; // information box, OK
        std::function<bool()> askToRegister; // question box, true for Yes
        std::function<void(const QUrl &)> open; // the desktop's web browser
        std::function<void()> signOut; // the login page's sign-out
    };

    explicit VaruRequestQueue(QObject *parent = nullptr);
    ~VaruRequestQueue() override;

    bool add(const QSharedPointer<VaruApkInfo> &apk, bool toBack);
    bool cancel(const QString &md5);
    void stopAll();

    void setPrompts(const Prompts &prompts) { mPrompts = prompts; }
    int pendingCount() const { return int(mPending.size()); }
    int runningCount() const { return mRunning.size(); }

public slots:
    void handleRequestStatusChanged(int seq, int status);

private:
    Log4Qt::Logger *logger();
    void log(const QString &message);
    void runNext();
    QSharedPointer<VaruRequest> findRequest(const QString &md5, bool skipCanceled, int where) const;
    QSharedPointer<VaruRequest> takeRunning(int seq);
    static Prompts defaultPrompts();

    Log4Qt::ClassLogger mLogger;
    std::deque<QSharedPointer<VaruRequest>> mPending;
    QList<QSharedPointer<VaruRequest>> mRunning;
    const int mMaxRunning = 1;
    Prompts mPrompts;
};
