#include "reinforcecontroller.h"

#include "core/usermodel.h"
#include "service/apkdelete.h"
#include "service/requestqueue.h"
#include "tasks/apkinfo.h"
#include "tasks/apkrecords.h"

VaruReinforceController::VaruReinforceController(QObject *parent)
    : VaruBaseController(parent), mQueue(new VaruRequestQueue(this))
{ }

VaruApkRecords *VaruReinforceController::apkRecords() const
{
    return VaruUserModel::instance()->apkRecords();
}

int VaruReinforceController::selectionState(int taskState, int fileState)
{
    const VaruUserModel *user = VaruUserModel::instance();
    if (taskState == VaruApkInfo::TaskCompleted && fileState >= VaruApkInfo::FileDownloaded
        && !user->autoSign() && !user->autoPack())
        return Done;
    if (taskState == VaruApkInfo::TaskQueued || taskState == VaruApkInfo::TaskRunning)
        return Busy;
    return Startable;
}

void VaruReinforceController::addApk(const QString &path)
{
    mLastApkPath = path;
    const bool pending = std::any_of(mPending.cbegin(), mPending.cend(),
        [&path](const QSharedPointer<VaruApkInfo> &task) { return task->filePath() == path; });
    if (apkRecords()->containsFilePath(path) || pending) {
        emit sigAddApkFinish(false, QStringLiteral("请勿重复添加应用"));
        return;
    }
    // Owned by the shared pointers alone: the store and the table share it later.
    QSharedPointer<VaruApkInfo> task(new VaruApkInfo(path));
    int code = 0;
    QString tip;
    task->errorInfo(code, tip);
    if (code != 0) {
        emit sigAddApkFinish(false, tip);
        return;
    }
    mPending.append(task);
    connect(task.data(), &VaruApkInfo::sigApkParseResult, this,
        &VaruReinforceController::onApkParseResult);
}

void VaruReinforceController::onApkParseResult(
    const QString &path, int error, const QString &errorTip)
{
    const auto it = std::find_if(mPending.begin(), mPending.end(),
        [&path](const QSharedPointer<VaruApkInfo> &task) { return task->filePath() == path; });
    if (it == mPending.end())
        return;
    const QSharedPointer<VaruApkInfo> task = *it;
    mPending.erase(it);
    if (error == 0) {
        apkRecords()->updateRecord(task);
        mQueue->add(task, true);
    }
    emit sigAddApkFinish(error == 0, errorTip);
    disconnect(task.data(), &VaruApkInfo::sigApkParseResult, this,
        &VaruReinforceController::onApkParseResult);
}

int VaruReinforceController::selectCurrent()
{
    if (mCurrentTask)
        disconnect(mCurrentTask.data(), &VaruApkInfo::sigApkTaskStateChanged, this,
            &VaruReinforceController::onApkTaskStateChanged);
    if (mCurrentRow < 0 || mCurrentRow >= apkRecords()->rowCount()) {
        mCurrentTask.reset();
        return NoTask;
    }
    mCurrentTask = apkRecords()->recordAt(mCurrentRow);
    if (!mCurrentTask)
        return NoTask;
    connect(mCurrentTask.data(), &VaruApkInfo::sigApkTaskStateChanged, this,
        &VaruReinforceController::onApkTaskStateChanged);
    return selectionState(mCurrentTask->taskState(), mCurrentTask->fileState());
}

void VaruReinforceController::setCurrentRow(int row)
{
    if (row == mCurrentRow)
        return;
    mCurrentRow = row;
    emit sigCurSelStateChanged(selectCurrent());
}

void VaruReinforceController::toggleTask(int row)
{
    mCurrentRow = row;
    switch (selectCurrent()) {
    case Busy:
        mQueue->cancel(mCurrentTask->md5());
        emit sigCurSelStateChanged(Startable);
        break;
    case Startable:
        mQueue->add(mCurrentTask, true);
        emit sigCurSelStateChanged(Busy);
        break;
    case Done:
        emit sigCurSelStateChanged(Done);
        break;
    default:
        emit sigCurSelStateChanged(NoTask);
        break;
    }
}

void VaruReinforceController::deleteCurrentTask()
{
    const QSharedPointer<VaruApkInfo> task = apkRecords()->takeRecordAt(mCurrentRow);
    if (!task)
        return;
    mQueue->cancel(task->md5());
    auto *remote = new VaruApkDelete(task->md5()); // deletes itself
    remote->start();
    if (mCurrentTask)
        disconnect(mCurrentTask.data(), &VaruApkInfo::sigApkTaskStateChanged, this,
            &VaruReinforceController::onApkTaskStateChanged);
    mCurrentRow = -1;
    mCurrentTask.reset();
    emit sigCurSelStateChanged(NoTask);
}

void VaruReinforceController::onApkTaskStateChanged(int newState, int, int fileState)
{
    emit sigCurSelStateChanged(selectionState(newState, fileState));
}

void VaruReinforceController::afterUnloadUi()
{
    mQueue->stopAll();
    if (mCurrentTask)
        disconnect(mCurrentTask.data(), &VaruApkInfo::sigApkTaskStateChanged, this,
            &VaruReinforceController::onApkTaskStateChanged);
    mCurrentTask.reset();
    mCurrentRow = -1;
    mLastApkPath.clear();
}
