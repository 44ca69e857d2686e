#pragma once

#include "request.h"

// Sends the APK to the service, shows progress and speed, and on success keeps the two
// values the service returns for the hardening request.
class VaruApkUploader : public VaruRequest
{
    Q_OBJECT

public:
    // Files up to 300 MiB are sent; anything larger is refused before sending.
    static constexpr qint64 kSizeLimit = 314572800;

    explicit VaruApkUploader(QObject *parent = nullptr);

    bool start() override;

public slots:
    void onUploadProgress(qint64 bytesSent, qint64 bytesTotal);

protected:
    void doRequest() override;
    void onFinished() override;
};
