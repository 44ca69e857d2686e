#pragma once

#include "platform/logger/classlogger.h"

#include <QHash>
#include <QObject>
#include <QString>

namespace Log4Qt {
class Logger;
}

// Signs an APK with the user's key (SHA-1 digests, the key's own algorithm) and aligns
// it. The result is "<outputDir><base>_signed_zipalign.apk" and carries exactly one
// signature, the user's: old signature files are dropped from the copy that is signed.
class VaruSignTool : public QObject
{
    Q_OBJECT

public:
    enum Error {
        NoError = 0,
        Busy = 1,
        SignFailed = -1,
        BadArguments = -2,
        ToolMissing = -3,
        ToolFailure = -4,
        WrongPassword = -5,
        CannotOpenApk = -6,
        SignedBefore = -7,
        AlignFailed = -8
    };

    explicit VaruSignTool(QObject *parent = nullptr);

    // Starts signing on a worker thread; 0 when started, otherwise the refusal code (also
    // reported through the signal).
    int sign(const QString &apkPath, const QString &outputDir, const QString &keystorePath,
        const QString &keystorePass, const QString &alias, const QString &aliasPass);
    // The same on the calling thread, without the signal; returns the final code.
    int signSync(const QString &apkPath, const QString &outputDir, const QString &keystorePath,
        const QString &keystorePass, const QString &alias, const QString &aliasPass);

    int errorCode() const { return mErrorCode; }
    QString errorText() const { return errorText(mErrorCode); }
    static QString errorText(int code);
    bool isBusy() const { return mBusy; }
    // Deletes the tool now, or, while a job of its runs, takes it from its parent and
    // deletes it when the job has ended: the job still uses it.
    void disposeWhenIdle();

    // The code that jarsigner's output stands for.
    static int classifyJarsigner(const QString &output);
    // "SHA1with" and the key algorithm, read from a "keytool -list -v" listing.
    static QString signatureAlgorithm(const QString &listing);

signals:
    void sigApkSignCallback(const QString &apkPath, const QString &outputPath, int errorCode,
        const QString &errorString);

private:
    Log4Qt::Logger *logger();
    void log(const QString &message);
    int check(const QString &apkPath, const QString &outputDir, const QString &keystorePath,
        const QString &keystorePass, const QString &alias, const QString &aliasPass);
    int work(const QString &apkPath, const QString &intermediate, const QString &keystorePath,
        const QString &keystorePass, const QString &alias, const QString &aliasPass);
    int align(const QString &intermediate);
    static QString intermediatePath(const QString &apkPath, const QString &outputDir);

    Log4Qt::ClassLogger mLogger;
    QString mJarsignerPath;
    QString mZipalignPath;
    QString mKeytoolPath;
    bool mBusy = false;
    bool mDisposeWhenIdle = false;
    // The key algorithm per keystore, password and alias: keytool is asked once, not for
    // every channel of a run. Only the job that holds the signer (busy) touches it.
    QHash<QString, QString> mAlgorithms;
    int mErrorCode = NoError;
};
