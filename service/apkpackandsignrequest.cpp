#include "apkpackandsignrequest.h"

#include "core/usermodel.h"
#include "tasks/apkinfo.h"
#include "tools/packtool.h"
#include "tools/signtool.h"

VaruApkPackAndSignRequest::VaruApkPackAndSignRequest(QObject *parent)
    : VaruRequest(parent), mSignTool(new VaruSignTool(this)), mPackTool(new VaruPackTool(this))
{
    mType = TypePackAndSign;
    // The settings as they are now; later changes do not reach this step.
    VaruUserModel *user = VaruUserModel::instance();
    mOutputDir = user->outputDir();
    mKeyStorePath = user->keyStorePath();
    mKeyStorePassword = user->keyStorePassword();
    mKeyStoreAlias = user->keyStoreAlias();
    mKeyStoreAliasPassword = user->keyStoreAliasPassword();
    mAndroidName = user->androidName();
    mPackParams = user->packParams();
    mAutoPack = user->autoPack();
    mAutoSign = user->autoSign();
    setStatus(StatusPending);

    connect(mPackTool, &VaruPackTool::sigApkPackCallback, this,
        [this](
            const QString &, const QString &, int code, const QString &) { onPackResult(code); });
    connect(mPackTool, &VaruPackTool::sigApkPackSignCallback, this,
        [this](
            const QString &, const QString &, int code, const QString &) { onPackResult(code); });
    connect(mSignTool, &VaruSignTool::sigApkSignCallback, this,
        [this](
            const QString &, const QString &, int code, const QString &) { onSignResult(code); });
}

VaruApkPackAndSignRequest::~VaruApkPackAndSignRequest()
{
    // A tool still at work outlives the step; it goes when its job has ended.
    mSignTool->disconnect(this);
    mPackTool->disconnect(this);
    mSignTool->disposeWhenIdle();
    mPackTool->disposeWhenIdle();
}

bool VaruApkPackAndSignRequest::start()
{
    if (!mApkInfo)
        return false;
    mHandedOver = false;
    doRequest();
    // A tool that refuses at once has already ended the step through its signal.
    return mHandedOver && mStatus != StatusFailed && mStatus != StatusFinished;
}

void VaruApkPackAndSignRequest::doRequest()
{
    const QString apk = mApkInfo ? mApkInfo->reinforcedFilePath() : QString();
    if (!mApkInfo || apk.isEmpty() || mOutputDir.isEmpty()) {
        setStatus(StatusFailed);
        return;
    }
    const bool keystore = !mKeyStorePath.isEmpty() && !mKeyStorePassword.isEmpty()
        && !mKeyStoreAlias.isEmpty() && !mKeyStoreAliasPassword.isEmpty();
    const bool packing = !mPackParams.isEmpty() && !mAndroidName.isEmpty();
    if (mAutoPack && !mAutoSign) {
        if (!packing) {
            setStatus(StatusFailed);
            setErrorCode(ErrorPackChannelConfig);
            return;
        }
        mHandedOver = true;
        mPackTool->pack(apk, mAndroidName, mPackParams, mOutputDir);
    } else if (mAutoPack && mAutoSign) {
        if (!packing || !keystore) {
            setStatus(StatusFailed);
            return;
        }
        mHandedOver = true;
        mPackTool->packAndSign(apk, mAndroidName, mPackParams, mOutputDir, mKeyStorePath,
            mKeyStorePassword, mKeyStoreAlias, mKeyStoreAliasPassword);
    } else if (mAutoSign) {
        if (!keystore) {
            setStatus(StatusFailed);
            return;
        }
        mHandedOver = true;
        mSignTool->sign(apk, mOutputDir, mKeyStorePath, mKeyStorePassword, mKeyStoreAlias,
            mKeyStoreAliasPassword);
    }
}

void VaruApkPackAndSignRequest::finish(int code, int errorCode)
{
    if (code == 0) {
        mApkInfo->setFileState(VaruApkInfo::FileCompleted);
        setStatus(StatusFinished);
        return;
    }
    setErrorCode(errorCode);
    setStatus(StatusFailed);
}

// The packer's result, for plain packing and for packing with signing alike. Results that
// would end nothing (busy, or a refusal to sign again) fail the step with 123, so that the
// queue moves on.
void VaruApkPackAndSignRequest::onPackResult(int code)
{
    switch (code) {
    case -5:
    case -7:
        finish(code, ErrorPackChannelConfig);
        break;
    case -6:
        finish(code, ErrorPackOpenApk);
        break;
    case 0:
    case -1:
    case -2:
    case -3:
    case -4:
        finish(code, ErrorPackChannels);
        break;
    default:
        finish(code, ErrorPackSign);
        break;
    }
}

void VaruApkPackAndSignRequest::onSignResult(int code)
{
    if (mAutoPack || !mAutoSign)
        return;
    switch (code) {
    case -5:
        finish(code, ErrorPackAliasPassword);
        break;
    case -6:
        finish(code, ErrorPackOpenApk);
        break;
    default: // 0, -1 to -4, -7, -8, 1 and any other
        finish(code, ErrorPackSign);
        break;
    }
}
