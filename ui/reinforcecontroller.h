#pragma once

#include "basecontroller.h"
#include "platform/logger/classlogger.h"

#include <QSharedPointer>
#include <QVector>

class VaruApkInfo;
class VaruApkRecords;
class VaruRequestQueue;

// The hardening page's logic: adding APKs (read, stored, queued), starting and pausing a
// task, deleting one here and on the service, and the state of the current row.
class VaruReinforceController : public VaruBaseController
{
    Q_OBJECT

public:
    enum SelectionState { NoTask = -1, Startable = 0, Busy = 1, Done = 2 };

    explicit VaruReinforceController(QObject *parent = nullptr);

    VaruApkRecords *apkRecords() const;
    QString lastApkPath() const { return mLastApkPath; }
    void addApk(const QString &path);
    void setCurrentRow(int row);
    int currentRow() const { return mCurrentRow; }
    void toggleTask(int row);
    void toggleCurrentTask() { toggleTask(mCurrentRow); }
    void deleteCurrentTask();
    VaruRequestQueue *queue() const { return mQueue; }

    static int selectionState(int taskState, int fileState);

signals:
    void sigAddApkFinish(bool succeed, const QString &tip);
    void sigCurSelStateChanged(int state);

public slots:
    void onApkParseResult(const QString &path, int error, const QString &errorTip);
    void onApkTaskStateChanged(int newState, int oldState, int fileState);

protected:
    void afterUnloadUi() override;

private:
    int selectCurrent();

    Log4Qt::ClassLogger mLogger;
    QString mLastApkPath;
    QVector<QSharedPointer<VaruApkInfo>> mPending;
    VaruRequestQueue *mQueue;
    int mCurrentRow = -1;
    QSharedPointer<VaruApkInfo> mCurrentTask;
};
