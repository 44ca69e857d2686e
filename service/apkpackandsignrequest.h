#pragma once

#include "request.h"

class VaruPackTool;
class VaruSignTool;

// The last step of a task: signs the downloaded APK, packs its channels, or both, as the
// settings said when the step was made.
class VaruApkPackAndSignRequest : public VaruRequest
{
    Q_OBJECT

public:
    explicit VaruApkPackAndSignRequest(QObject *parent = nullptr);
    ~VaruApkPackAndSignRequest() override;

    bool start() override;
    void cancel() override { }

protected:
    void doRequest() override;
    void onFinished() override { }

private:
    void onPackResult(int code);
    void onSignResult(int code);
    void finish(int code, int errorCode);

    QString mOutputDir;
    QString mKeyStorePath;
    QString mKeyStorePassword;
    QString mKeyStoreAlias;
    QString mKeyStoreAliasPassword;
    QString mAndroidName;
    QString mPackParams;
    bool mAutoPack = false;
    bool mAutoSign = false;
    VaruSignTool *mSignTool;
    VaruPackTool *mPackTool;
    bool mHandedOver = false;
};
