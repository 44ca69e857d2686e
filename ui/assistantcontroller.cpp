#include "assistantcontroller.h"

#include "aliaslookup.h"
#include "controllerset.h"
#include "settingscontroller.h"
#include "tools/packtool.h"
#include "tools/signtool.h"

#include <QFile>
#include <QFileInfo>
#include <QStringListModel>

VaruAssistantController::VaruAssistantController(QObject *parent)
    : VaruBaseController(parent), mAliases(new VaruAliasLookup(this)),
      mSigner(new VaruSignTool(this)), mPacker(new VaruPackTool(this))
{
    connect(mSigner, &VaruSignTool::sigApkSignCallback, this,
        &VaruAssistantController::onApkSignCallback);
    connect(mPacker, &VaruPackTool::sigApkPackCallback, this,
        &VaruAssistantController::onApkPackCallback);
}

void VaruAssistantController::setSignOutputDir(const QString &value)
{
    mSignOutputDir = value;
    if (!value.isEmpty() && !value.endsWith(QLatin1Char('/')) && !value.endsWith(QLatin1Char('\\')))
        mSignOutputDir += QLatin1Char('/');
}

void VaruAssistantController::startSign(bool useStored)
{
    auto fail = [this](const char *message) {
        emit sigSignStateChanged(false, QString::fromUtf8(message));
    };
    if (mSignApkPath.isEmpty() || !QFileInfo(mSignApkPath).isFile())
        return fail("签名失败，Apk原包不存在");
    if (mSignOutputDir.isEmpty() || !QFile::exists(mSignOutputDir))
        return fail("签名失败，Apk输出目录不存在");
    VaruSettingsController *settings
        = VaruControllerSet::instance()->controller<VaruSettingsController>();
    const QString path = useStored ? settings->keyStorePath() : mKeyStorePath;
    const QString password = useStored ? settings->keyStorePassword() : mKeyStorePassword;
    const QString alias = useStored ? settings->keyStoreAlias() : mKeyStoreAlias;
    const QString aliasPassword
        = useStored ? settings->keyStoreAliasPassword() : mKeyStoreAliasPassword;
    if (path.isEmpty())
        return fail("签名失败，Keystore路径不能为空");
    if (!QFileInfo(path).isFile())
        return fail("签名失败，Keystore文件不存在");
    if (password.size() < 6)
        return fail("签名失败，Keystore密码不合法");
    if (alias.isEmpty())
        return fail("签名失败，Keystore别名不能为空");
    if (aliasPassword.size() < 4)
        return fail("签名失败，Keystore别名密码不合法");
    mSigner->sign(mSignApkPath, mSignOutputDir, path, password, alias, aliasPassword);
}

void VaruAssistantController::startPack(bool useStored)
{
    auto fail = [this](const char *message) {
        emit sigPackStateChanged(false, QString::fromUtf8(message));
    };
    if (mPackApkPath.isEmpty() || !QFileInfo(mPackApkPath).isFile())
        return fail("打包失败，Apk原包不存在");
    if (mPackOutputDir.isEmpty() || !QFile::exists(mPackOutputDir))
        return fail("打包失败，Apk输出目录不存在");
    VaruSettingsController *settings
        = VaruControllerSet::instance()->controller<VaruSettingsController>();
    const QString androidName = useStored ? settings->androidName() : mAndroidName;
    const QString params = useStored ? settings->packParams() : mPackParams;
    if (androidName.isEmpty())
        return fail("打包失败，Android Name 不能为空");
    if (params.isEmpty())
        return fail("打包失败，配置参数不能为空");
    if (!VaruSettingsController::channelListValid(params))
        return fail("配置参数项不能为空");
    mPacker->pack(mPackApkPath, androidName, params, mPackOutputDir);
}

QStringListModel *VaruAssistantController::aliasModel() const
{
    return mAliases->model();
}

void VaruAssistantController::refreshAliases(const QString &path, const QString &password)
{
    mAliases->refresh(path, password);
}

void VaruAssistantController::onApkSignCallback(
    const QString &, const QString &, int errorCode, const QString &errorString)
{
    emit sigSignStateChanged(errorCode == 0, errorString);
}

void VaruAssistantController::onApkPackCallback(
    const QString &, const QString &, int errorCode, const QString &errorString)
{
    emit sigPackStateChanged(errorCode == 0, errorString);
}

void VaruAssistantController::beforeLoadUi()
{
    if (!mReloadConnected) {
        connect(VaruControllerSet::instance()->controller<VaruSettingsController>(),
            &VaruSettingsController::sigReloadData, this,
            &VaruAssistantController::sigReloadDefaultData);
        mReloadConnected = true;
    }
}

void VaruAssistantController::afterUnloadUi()
{
    mAliases->clear();
    for (QString *text :
        {&mSignApkPath, &mSignOutputDir, &mKeyStorePath, &mKeyStorePassword, &mKeyStoreAlias,
            &mKeyStoreAliasPassword, &mPackApkPath, &mPackOutputDir, &mAndroidName, &mPackParams})
        text->clear();
}
