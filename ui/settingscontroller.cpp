#include "settingscontroller.h"

#include "aliaslookup.h"
#include "core/usermodel.h"

#include <QFile>
#include <QFileInfo>
#include <QStringListModel>

namespace {
VaruUserModel *user()
{
    return VaruUserModel::instance();
}
} // namespace

VaruSettingsController::VaruSettingsController(QObject *parent)
    : VaruBaseController(parent), mAliases(new VaruAliasLookup(this))
{ }

QStringListModel *VaruSettingsController::aliasModel() const
{
    return mAliases->model();
}

QString VaruSettingsController::outputDir() const
{
    return user()->outputDir();
}
bool VaruSettingsController::useRovan() const
{
    return user()->useRovan();
}
bool VaruSettingsController::useWexly() const
{
    return user()->useWexly();
}
QString VaruSettingsController::keyStorePath() const
{
    return user()->keyStorePath();
}
QString VaruSettingsController::keyStorePassword() const
{
    return user()->keyStorePassword();
}
QString VaruSettingsController::keyStoreAlias() const
{
    return user()->keyStoreAlias();
}
QString VaruSettingsController::keyStoreAliasPassword() const
{
    return user()->keyStoreAliasPassword();
}
bool VaruSettingsController::autoSign() const
{
    return user()->autoSign();
}
QString VaruSettingsController::androidName() const
{
    return user()->androidName();
}
QString VaruSettingsController::packParams() const
{
    return user()->packParams();
}
bool VaruSettingsController::autoPack() const
{
    return user()->autoPack();
}

bool VaruSettingsController::channelListValid(const QString &params)
{
    const QStringList parts = params.split(QLatin1Char(';'), Qt::KeepEmptyParts);
    for (int i = 0; i + 1 < parts.size(); ++i) {
        if (parts[i].isEmpty())
            return false;
    }
    return true;
}

bool VaruSettingsController::fail(const QString &message)
{
    emit sigFlushResult(false, message);
    return false;
}

bool VaruSettingsController::saveSettings(int categories)
{
    VaruUserModel *model = user();
    if (categories & SettingsBasic) {
        if (!QFile::exists(mOutputDir))
            return fail(QStringLiteral("加固包输出目录不存在"));
        model->setOutputDir(mOutputDir);
        model->setUseRovan(mUseRovan);
        model->setUseWexly(mUseWexly);
    }
    if (categories & SettingsSign) {
        if (mKeyStorePath.isEmpty())
            return fail(QStringLiteral("Keystore路径不能为空"));
        if (!QFileInfo(mKeyStorePath).isFile())
            return fail(QStringLiteral("Keystore文件不存在"));
        if (mKeyStorePassword.size() < 6)
            return fail(QStringLiteral("Keystore密码不合法"));
        if (mKeyStoreAlias.isEmpty())
            return fail(QStringLiteral("Keystore别名不能为空"));
        if (mKeyStoreAliasPassword.size() < 4)
            return fail(QStringLiteral("Keystore别名密码不合法"));
        model->setAutoSign(mAutoSign);
        model->setKeyStorePath(mKeyStorePath);
        model->setKeyStorePassword(mKeyStorePassword);
        model->setKeyStoreAlias(mKeyStoreAlias);
        model->setKeyStoreAliasPassword(mKeyStoreAliasPassword);
    }
    if (categories & SettingsPack) {
        if (!channelListValid(mPackParams))
            return fail(QStringLiteral("配置参数项不能为空"));
        model->setAutoPack(mAutoPack);
        // Empty texts are stored as empty, not removed: the key must stay.
        model->setAndroidName(mAndroidName.isNull() ? QStringLiteral("") : mAndroidName);
        model->setPackParams(mPackParams.isNull() ? QStringLiteral("") : mPackParams);
    }
    emit sigFlushResult(true, QStringLiteral("保存成功"));
    emit sigReloadData(categories);
    return true;
}

void VaruSettingsController::refreshAliases()
{
    mAliases->refresh(mKeyStorePath, mKeyStorePassword);
}

void VaruSettingsController::beforeLoadUi()
{
    mOutputDir = outputDir();
    mUseRovan = useRovan();
    mUseWexly = useWexly();
    mAutoSign = autoSign();
    mKeyStorePath = keyStorePath();
    mKeyStorePassword = keyStorePassword();
    mKeyStoreAlias = keyStoreAlias();
    mKeyStoreAliasPassword = keyStoreAliasPassword();
    mAutoPack = autoPack();
    mAndroidName = androidName();
    mPackParams = packParams();
    mAliases->list(mKeyStorePath, mKeyStorePassword);
    mAliases->clearCache();
}

void VaruSettingsController::afterUnloadUi()
{
    mOutputDir.clear();
    mKeyStorePath.clear();
    mKeyStorePassword.clear();
    mKeyStoreAlias.clear();
    mKeyStoreAliasPassword.clear();
    mAndroidName.clear();
    mPackParams.clear();
    mAutoSign = true;
    mAutoPack = true;
    mUseRovan = false;
    mUseWexly = false;
    mAliases->clear();
}
