#pragma once

#include <QObject>
#include <QString>
#include <QVariantMap>

// Reads what a task needs from an APK: file name and size, the file's MD5 and, through
// aapt, the package and version names. Hashing and aapt run on a worker thread; the
// result comes back on the thread that started the read.
class VaruApkParser : public QObject
{
    Q_OBJECT

public:
    enum Error { NoError = 0, FileMissing = -1, ReaderUnavailable = -2, ParseFailed = -3 };

    explicit VaruApkParser(QObject *parent = nullptr);

    // Starts reading an APK. True when a read was started, or the data for this path is
    // already complete (then no signal follows). False with the error code set otherwise.
    bool parse(const QString &path);
    // Takes a stored record; true (and a synchronous signal) when its data is complete.
    bool fromStored(const QVariantMap &stored);

    QString path() const { return mPath; }
    QString fileName() const { return mFileName; }
    qint64 fileSize() const { return mFileSize; }
    QString packageName() const { return mPackageName; }
    QString versionName() const { return mVersionName; }
    QString md5() const { return mMd5; }
    qint64 time() const { return mTime; }
    int errorCode() const { return mErrorCode; }
    QString errorText() const { return errorText(mErrorCode); }
    static QString errorText(int code);

    // The upper-case hexadecimal MD5 of a file, read in 4096-byte chunks; empty when the
    // file cannot be opened.
    static QString fileMd5(const QString &path);
    // Takes the package and version names out of "aapt dump badging" output. False when
    // no package name is found; the version name is only set when found.
    static bool parseBadging(const QString &output, QString *packageName, QString *versionName);

signals:
    void sigApkParseResult(bool succeed);

private:
    bool isComplete() const;
    void onReadFinished(const QString &md5, const QString &output);

    QString mAaptPath;
    QString mPath;
    QString mFileName;
    QString mPackageName;
    qint64 mFileSize = 0;
    QString mVersionName;
    QString mMd5;
    qint64 mTime = 0;
    int mErrorCode = NoError;
};
