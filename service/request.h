#pragma once

#include "platform/logger/classlogger.h"

#include <QElapsedTimer>
#include <QObject>
#include <QSharedPointer>
#include <QString>

class QHttpPart;
class QNetworkAccessManager;
class QNetworkReply;
class VaruApkInfo;
namespace Log4Qt {
class Logger;
class Level;
} // namespace Log4Qt

// One step of a task's pipeline: its network access, the task record it works on, its
// status and error code, and the message of each error code.
class VaruRequest : public QObject
{
    Q_OBJECT

public:
    enum RequestType {
        TypeUpload = 1,
        TypeReinforce = 2,
        TypeDownload = 4,
        TypePackAndSign = 5,
        TypeDelete = 6
    };
    enum RequestStatus {
        StatusFailed = -1,
        StatusNone = 0,
        StatusPending = 1,
        StatusRunning = 2,
        StatusCanceled = 3,
        StatusFinished = 4
    };
    enum RequestError {
        ErrorNone = 0,
        ErrorServerConnection = 1,
        ErrorServerUnreachable = 2,
        ErrorNetwork = 3,
        ErrorBadReply = 4,
        ErrorNotLoggedIn = 100,
        ErrorFileNotFound = 101,
        ErrorFileSizeLimit = 102,
        ErrorUploadRequest = 103,
        ErrorUploadFailed = 104,
        ErrorReinforceRequest = 105,
        ErrorReinforceTimeout = 106,
        ErrorReinforceFailed = 107,
        ErrorServerReinforce = 108,
        ErrorOutputDirMissing = 109,
        ErrorDirMissing = 110,
        ErrorDownloadRequest = 111,
        ErrorDownloadFailed = 112,
        ErrorDeleteRequest = 113,
        ErrorDeleteFailed = 114,
        ErrorApkUnsigned = 115,
        ErrorApkRisk = 116,
        ErrorSessionExpired = 117,
        ErrorNotRegistered = 118,
        ErrorPackOpenApk = 119,
        ErrorPackAliasPassword = 120,
        ErrorPackChannelConfig = 122,
        ErrorPackSign = 123,
        ErrorPackChannels = 124,
        ErrorUploadTooLarge = 125
    };

    explicit VaruRequest(QObject *parent = nullptr);
    ~VaruRequest() override;

    virtual bool start();
    virtual void cancel();
    virtual void setStatus(int status);
    virtual int status() const { return mStatus; }
    virtual void setApkInfo(const QSharedPointer<VaruApkInfo> &info) { mApkInfo = info; }
    virtual QSharedPointer<VaruApkInfo> apkInfo() const { return mApkInfo; }
    virtual void setErrorCode(int code);
    virtual int errorCode() const { return mErrorCode; }

    QString errorString() const { return errorString(mErrorCode); }
    static QString errorString(int code);
    int seq() const { return mSeq; }
    // How many request objects exist now, to prove that none is left behind.
    static int liveCount();
    int type() const { return mType; }
    QString path() const { return mPath; }

signals:
    void sigRequestStatusChanged(int seq, int newStatus, int oldStatus);
    void sigRequestErrorCodeChanged(int seq, uint code);

protected slots:
    virtual void doRequest() { }
    virtual void onFinished() { }

protected:
    Log4Qt::Logger *logger();
    void log(Log4Qt::Level level, const QString &message);
    bool replyInFlight() const;
    // Aborts a reply still in flight and lets it go.
    void dropReply();
    // "<verb>...(45.3%) 速度: 1.20 MB/s" as the task's status text.
    void showProgress(const QString &verb, qint64 done, qint64 total);
    void restartProgressClock();
    // A form part with only a Content-Disposition header.
    static QHttpPart formPart(const QByteArray &disposition, const QByteArray &body);

    QNetworkAccessManager *mNetworkManager;
    QNetworkReply *mReply = nullptr;
    QString mPath;
    int mType = 0;
    int mSeq;
    int mStatus = StatusNone;
    int mErrorCode = ErrorNone;
    QSharedPointer<VaruApkInfo> mApkInfo;
    QElapsedTimer mElapsedTimer;
    qint64 mLastElapsed = 0;

private:
    Log4Qt::ClassLogger mLogger;
};

// A transfer speed in bytes per second as "1.50 KB/s".
QString speedText(double bytesPerSecond);
