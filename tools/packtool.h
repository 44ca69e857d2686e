#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class VaruSignTool;

// Makes one APK per channel from a source APK by rewriting the channel value in its
// binary manifest; optionally signs and aligns each one.
class VaruPackTool : public QObject
{
    Q_OBJECT

public:
    enum Error {
        NoError = 0,
        Busy = 1,
        PackFailed = -1,
        BadArguments = -2,
        ChannelConfig = -5,
        CannotOpenApk = -6,
        KeyMissing = -7,
        SignFailed = -8
    };

    explicit VaruPackTool(QObject *parent = nullptr);

    int pack(const QString &apkPath, const QString &androidName, const QString &params,
        const QString &outputDir);
    int packAndSign(const QString &apkPath, const QString &androidName, const QString &params,
        const QString &outputDir, const QString &keystorePath, const QString &keystorePass,
        const QString &alias, const QString &aliasPass);

    int errorCode() const { return mErrorCode; }
    QString errorText() const { return errorText(mErrorCode); }
    static QString errorText(int code);
    bool isBusy() const { return mBusy; }
    // Deletes the tool now, or, while a job of its runs, takes it from its parent and
    // deletes it when the job has ended: the job still uses it.
    void disposeWhenIdle();

    // "kestrin;xiaomi;baidu;" gives baidu, xiaomi, kestrin; false without any ";".
    static bool parseChannels(const QString &params, QStringList *channels);

signals:
    void sigApkPackCallback(const QString &apkPath, const QString &outputPath, int errorCode,
        const QString &errorString);
    void sigApkPackSignCallback(const QString &apkPath, const QString &outputPath, int errorCode,
        const QString &errorString);

private:
    struct Signing {
        bool enabled = false;
        QString keystorePath;
        QString keystorePass;
        QString alias;
        QString aliasPass;
    };

    int start(const QString &apkPath, const QString &androidName, const QString &params,
        const QString &outputDir, const Signing &signing);
    int work(const QString &apkPath, const QString &androidName, const QString &params,
        const QString &outputDir, const Signing &signing);
    void report(bool signing, const QString &apkPath, const QString &outputDir, int code);

    const QString mSeparator = QStringLiteral("/");
    QStringList mChannels;
    QString mApkPath;
    QString mOutputDir;
    VaruSignTool *mSigner;
    bool mBusy = false;
    bool mDisposeWhenIdle = false;
    int mErrorCode = NoError;
};
