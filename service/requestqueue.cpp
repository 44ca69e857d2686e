#include "requestqueue.h"

#include "apkdownloader.h"
#include "apkpackandsignrequest.h"
#include "apkreinforce.h"
#include "apkuploader.h"
#include "core/usermodel.h"
#include "platform/logger/logger.h"
#include "serviceurl.h"
#include "tasks/apkinfo.h"
#include "ui/controllerset.h"
#include "ui/logincontroller.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>

using Log4Qt::Level;

namespace {
constexpr int kPending = 1;
constexpr int kRunning = 2;
} // namespace

VaruRequestQueue::VaruRequestQueue(QObject *parent)
    : QObject(parent), mPrompts(defaultPrompts()) { }

VaruRequestQueue::~VaruRequestQueue()
{
    stopAll();
}

VaruRequestQueue::Prompts VaruRequestQueue::defaultPrompts()
{
    Prompts prompts;
    prompts.sessionExpired = [] {
        QMessageBox::information(nullptr, QStringLiteral("Varu"),
            QStringLiteral("操作已过期，请重新登录。"), QMessageBox::Ok);
    };
    prompts.askToRegister = [] {
        return QMessageBox::question(nullptr, QStringLiteral("Varu"),
                   QStringLiteral("未注册Kestrin云账户,前往注册？"),
                   QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes)
            == QMessageBox::Yes;
    };
    prompts.open = [](const QUrl &url) { QDesktopServices::openUrl(url); };
    prompts.signOut
        = [] { VaruControllerSet::instance()->controller<VaruLoginController>()->signOut(); };
    return prompts;
}

Log4Qt::Logger *VaruRequestQueue::logger()
{
    return mLogger.logger(this);
}

void VaruRequestQueue::log(const QString &message)
{
    if (logger()->isEnabledFor(Level::INFO_INT))
        logger()->forcedLog(Level::INFO_INT, message);
}

QSharedPointer<VaruRequest> VaruRequestQueue::findRequest(
    const QString &md5, bool skipCanceled, int where) const
{
    auto matches = [&](const QSharedPointer<VaruRequest> &request) {
        const QSharedPointer<VaruApkInfo> apk = request->apkInfo();
        return apk && !(skipCanceled && request->status() == VaruRequest::StatusCanceled)
            && apk->md5().compare(md5, Qt::CaseInsensitive) == 0;
    };
    if (where & kPending) {
        for (const auto &request : mPending) {
            if (matches(request))
                return request;
        }
    }
    if (where & kRunning) {
        for (const auto &request : mRunning) {
            if (matches(request))
                return request;
        }
    }
    return {};
}

QSharedPointer<VaruRequest> VaruRequestQueue::takeRunning(int seq)
{
    for (int i = 0; i < mRunning.size(); ++i) {
        if (mRunning[i]->seq() == seq)
            return mRunning.takeAt(i);
    }
    return {};
}

bool VaruRequestQueue::add(const QSharedPointer<VaruApkInfo> &apk, bool toBack)
{
    if (!apk)
        return false;
    if (findRequest(apk->md5(), true, kPending | kRunning)) {
        log(QStringLiteral("Add request failed, An Identical apk is already EXISTED. MD5 = %1")
                .arg(apk->md5()));
        return false;
    }
    // A request is often let go from inside one of its own calls (its status signal):
    // it is deleted once that call has returned.
    QSharedPointer<VaruRequest> request;
    switch (apk->fileState()) {
    case VaruApkInfo::FileWaiting:
        request.reset(new VaruApkUploader, &QObject::deleteLater);
        break;
    case VaruApkInfo::FileUploaded:
        request.reset(new VaruApkReinforce, &QObject::deleteLater);
        break;
    case VaruApkInfo::FileReinforced:
        request.reset(new VaruApkDownloader, &QObject::deleteLater);
        break;
    case VaruApkInfo::FileDownloaded:
        if (VaruUserModel::instance()->autoPack() || VaruUserModel::instance()->autoSign())
            request.reset(new VaruApkPackAndSignRequest, &QObject::deleteLater);
        break;
    default:
        break;
    }
    if (request) {
        request->setApkInfo(apk);
        apk->setTaskState(VaruApkInfo::TaskQueued, QString());
        connect(request.data(), &VaruRequest::sigRequestStatusChanged, this,
            [this](int seq, int status, int) { handleRequestStatusChanged(seq, status); });
        request->setStatus(VaruRequest::StatusPending);
        if (toBack)
            mPending.push_back(request);
        else
            mPending.push_front(request);
    }
    runNext();
    return !request.isNull();
}

// Starts the front request. One that cannot start is dropped and the next one is tried,
// so that a cancelled request at the front never holds up the tasks behind it.
void VaruRequestQueue::runNext()
{
    while (mRunning.size() < mMaxRunning && !mPending.empty()) {
        const QSharedPointer<VaruRequest> request = mPending.front();
        mPending.pop_front();
        const QSharedPointer<VaruApkInfo> apk = request->apkInfo();
        if (request->status() == VaruRequest::StatusPending && request->start()) {
            request->setStatus(VaruRequest::StatusRunning);
            if (apk)
                apk->setTaskState(VaruApkInfo::TaskRunning, QString());
            // A step may end inside its start (a tool that answers at once): only a step
            // still running is kept.
            if (request->status() == VaruRequest::StatusRunning)
                mRunning.append(request);
            log(QStringLiteral("Pop the front pending request and run it. MD5 = %1")
                    .arg(apk ? apk->md5() : QString()));
            continue;
        }
        if (request->errorCode() != 0 && apk)
            apk->setTaskState(VaruApkInfo::TaskFailed, request->errorString());
        log(QStringLiteral("Delete a request, coz is NOT in PENDING or start FAILED."));
    }
}

void VaruRequestQueue::handleRequestStatusChanged(int seq, int status)
{
    if (status != VaruRequest::StatusFinished && status != VaruRequest::StatusCanceled
        && status != VaruRequest::StatusFailed)
        return;
    // Held here until the end of this call, even when the queue lets go of it meanwhile.
    const QSharedPointer<VaruRequest> request = takeRunning(seq);
    if (!request)
        return;
    const QSharedPointer<VaruApkInfo> apk = request->apkInfo();
    const QString md5 = apk ? apk->md5() : QString();
    if (status == VaruRequest::StatusFinished) {
        if (add(apk, false)) {
            runNext();
        } else if (apk) {
            apk->setTaskState(VaruApkInfo::TaskCompleted, QString());
            log(QStringLiteral("The request of Apk( %1 ) is FINISHED. FileStatus = %2")
                    .arg(md5)
                    .arg(apk->fileState()));
        }
        return;
    }
    if (status == VaruRequest::StatusCanceled) {
        if (apk)
            apk->setTaskState(VaruApkInfo::TaskPaused, QString());
        log(QStringLiteral("The request of Apk( %1 ) is CANCELED. FileStatus = %2")
                .arg(md5)
                .arg(apk ? apk->fileState() : 0));
        runNext();
        return;
    }
    const int code = request->errorCode();
    if (code == VaruRequest::ErrorSessionExpired) {
        mPrompts.sessionExpired();
        mPrompts.signOut();
    } else if (code == VaruRequest::ErrorNotRegistered) {
        if (mPrompts.askToRegister())
            mPrompts.open(registrationUrl());
        mPrompts.signOut();
    }
    if (apk)
        apk->setTaskState(VaruApkInfo::TaskFailed, request->errorString());
    log(QStringLiteral("The request of Apk( %1 ) is FAILED. FileStatus = %2")
            .arg(md5)
            .arg(apk ? apk->fileState() : 0));
    runNext();
}

bool VaruRequestQueue::cancel(const QString &md5)
{
    if (md5.isEmpty())
        return false;
    const QSharedPointer<VaruRequest> request = findRequest(md5, true, kPending | kRunning);
    if (!request)
        return false;
    log(QStringLiteral("Cancel the Apk( %1 )'s request. Status = %2")
            .arg(md5)
            .arg(request->status()));
    request->cancel();
    return true;
}

void VaruRequestQueue::stopAll()
{
    const QList<QSharedPointer<VaruRequest>> running = mRunning;
    for (const auto &request : running)
        request->cancel();
    mRunning.clear();
    const std::deque<QSharedPointer<VaruRequest>> pending = mPending;
    for (const auto &request : pending)
        request->cancel();
    mPending.clear();
}
