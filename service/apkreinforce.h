#pragma once

#include "request.h"

// Asks the service to harden an uploaded APK and waits for the scanner's verdict.
class VaruApkReinforce : public VaruRequest
{
    Q_OBJECT

public:
    // How long the scanner waits for a verdict, in seconds.
    static constexpr unsigned int kWaitSeconds = 300;

    explicit VaruApkReinforce(QObject *parent = nullptr);
    ~VaruApkReinforce() override;

    bool start() override;
    void cancel() override;

public slots:
    void onScanResult(const QString &md5, int result);

protected:
    void doRequest() override;
    void onFinished() override;
};
