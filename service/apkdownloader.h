#pragma once

#include "request.h"

// Fetches the hardened APK through the service's redirect into the output folder, under
// a name that never overwrites an existing file.
class VaruApkDownloader : public VaruRequest
{
    Q_OBJECT

public:
    explicit VaruApkDownloader(QObject *parent = nullptr);

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

    QString mOutputPath;
    // Bytes of the current answer's body written to the file, to tell a cut-off transfer
    // from a whole one.
    qint64 mWritten = 0;
};
