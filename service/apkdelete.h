#pragma once

#include "request.h"

// Tells the service to forget a task's APK. Not queued, touches no record, reads no
// reply, and disposes of itself: when its reply ends, or when it could not be sent.
class VaruApkDelete : public VaruRequest
{
    Q_OBJECT

public:
    explicit VaruApkDelete(const QString &md5, QObject *parent = nullptr);

    QString md5() const { return mMd5; }

protected:
    void doRequest() override;
    void onFinished() override;

private:
    QString mMd5;
};
