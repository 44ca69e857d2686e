#pragma once

#include "request.h"

#include <QFile>

// Fetches the hardened APK through the service's redirect into the output folder, under
// a name that never overwrites an existing file. The file is written as "<name>.part" and
// takes its name only when the whole file has arrived; a failed or cancelled download
// leaves nothing behind.
class VaruApkDownloader : public VaruRequest
{
    Q_OBJECT

public:
    explicit VaruApkDownloader(QObject *parent = nullptr);
    ~VaruApkDownloader() override;

    bool start() override;
    QString outputPath() const { return mOutputPath; }

public slots:
    void onDownloadReadyRead();
    void onDownloadProgress(qint64 bytesReceived, qint64 bytesTotal);

protected:
    void doRequest() override;
    void onFinished() override;

private:
    bool prepareOutputPath();
    QNetworkReply *get(const QUrl &url, const QString &cookie);
    QString partPath() const;
    void discardPart();

    QString mOutputPath;
    // Bytes of the current answer's body written to the file, to tell a cut-off transfer
    // from a whole one.
    qint64 mWritten = 0;
    bool mWriteFailed = false; // a chunk could not be written: the file is not whole
    // Open for the whole transfer: a folder removed and made again midway cannot give the
    // file a new beginning.
    QFile mPart;
};
