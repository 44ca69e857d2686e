#pragma once

#include "platform/logger/classlogger.h"

#include <QMap>
#include <QObject>
#include <QString>

class QNetworkAccessManager;
class QNetworkReply;
namespace Log4Qt {
class Logger;
class Level;
} // namespace Log4Qt

// Polls the service's status list while APKs wait for their hardening verdict, ends
// waits that last too long, and gives up on every waiting APK after repeated failed polls.
class VaruApkScanner : public QObject
{
    Q_OBJECT

public:
    enum ScanResult { ScanFailed = -1, ScanTimeout = 0, ScanRunning = 1, ScanSucceeded = 2 };

    static VaruApkScanner *instance();

    bool waitForReinforce(const QString &md5, unsigned int timeout);
    void removeWaiting(const QString &md5);

    bool isBusy() const { return mBusy; }
    QStringList waitingMd5s() const { return mWaiting.keys(); }
    // Tests only: how often a poll tick comes; the waiting time still counts down by the
    // 5-second interval per tick.
    void setTickMillisecondsForTesting(int ms) { mTickMs = ms; }

signals:
    void sigScanResult(const QString &md5, int result);

public slots:
    void onFinished(QNetworkReply *reply);

protected:
    void timerEvent(QTimerEvent *event) override;

private:
    VaruApkScanner();
    Log4Qt::Logger *logger();
    void log(Log4Qt::Level level, const QString &message);
    void scan();
    void expireWaiting();

    Log4Qt::ClassLogger mLogger;
    QMap<QString, unsigned int> mWaiting;
    bool mBusy = false;
    int mErrorCount = 0;
    int mInterval = 5;
    int mTickMs = 5000;
    int mTimerId = 0;
    QNetworkAccessManager *mNetworkManager;
};
