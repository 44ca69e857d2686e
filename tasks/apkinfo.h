#pragma once

#include "platform/logger/classlogger.h"

#include <QJsonObject>
#include <QObject>
#include <QString>

class VaruApkParser;
namespace Log4Qt {
class Logger;
}

// One APK task: what was read from the file, its progress through the pipeline as a
// file state and a task state, the texts the task table shows, and its stored form.
class VaruApkInfo : public QObject
{
    Q_OBJECT

public:
    enum FileState {
        FileNone = 0,
        FileWaiting = 1,
        FileUploaded = 10,
        FileReinforced = 20,
        FileDownloaded = 30,
        FileCompleted = 40
    };
    enum TaskState {
        TaskFailed = -1,
        TaskIdle = 0,
        TaskQueued = 1,
        TaskRunning = 2,
        TaskPaused = 3,
        TaskCompleted = 4
    };

    // Starts reading the APK at path. When the reader refuses at once no signal follows;
    // errorInfo() tells why.
    VaruApkInfo(const QString &path, QObject *parent = nullptr);
    // Restores a record from its stored form; an incomplete form gives an empty record.
    VaruApkInfo(const QJsonObject &stored, QObject *parent = nullptr);

    // The stored form as compact JSON; false (and out untouched) without an md5.
    bool toJson(QString &out) const;

    int fileState() const { return mFileState; }
    int taskState() const { return mTaskState; }
    QString stateText() const { return mStateText; }
    QString md5() const { return mMd5; }
    QString filePath() const { return mFilePath; }
    QString fileName() const { return mFileName; }
    qint64 fileSize() const { return mFileSize; }
    QString packageName() const { return mPackageName; }
    QString edition() const { return mEdition; }
    qint64 time() const { return mTime; }
    QString uploadAppName() const { return mUploadAppName; }
    QString uploadRovan() const { return mUploadRovan; }
    QString reinforcedFilePath() const { return mReinforcedFilePath; }

    void setFileState(int state);
    void setTaskState(int state, const QString &text = QString());
    void setReinforcedFilePath(const QString &path);
    void setUploadAppName(const QString &value) { mUploadAppName = value; }
    void setUploadRovan(const QString &value) { mUploadRovan = value; }
    void errorInfo(int &code, QString &tip) const;

    QString displayStateText() const;
    QString sizeText() const;
    QString timeText() const;

signals:
    void sigApkParseResult(const QString &path, int error, const QString &errorTip);
    void sigApkTaskStateChanged(int newState, int oldState, int fileState);

public slots:
    void onApkParseResult(bool succeed);

private:
    Log4Qt::Logger *logger();

    Log4Qt::ClassLogger mLogger;
    int mFileState = FileNone;
    int mTaskState = TaskIdle;
    QString mStateText;
    VaruApkParser *mParser;
    QString mMd5;
    QString mFilePath;
    QString mFileName;
    qint64 mFileSize = 0;
    QString mPackageName;
    QString mEdition;
    qint64 mTime = 0;
    QString mUploadAppName;
    QString mUploadRovan;
    QString mReinforcedFilePath;
};
