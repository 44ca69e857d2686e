#include "usermodel.h"

#include "datacenter.h"
#include "settingskeys.h"
#include "tasks/apkrecords.h"

#include "core/singleton.h"

#include <atomic>

namespace {
std::atomic<VaruUserModel *> gInstance{nullptr};
QMutex gInstanceMutex;
} // namespace

VaruUserModel *VaruUserModel::instance()
{
    return lazyInstance(gInstance, gInstanceMutex, [] { return new VaruUserModel; });
}

VaruUserModel::VaruUserModel() : QObject(nullptr)
{
    mFormat = QSettings::registerFormat(QStringLiteral("db"), &VaruDataCenter::readJsonFile,
        &VaruDataCenter::writeJsonFile, Qt::CaseSensitive);
    QSettings::setDefaultFormat(mFormat);
    mApkRecords = new VaruApkRecords(this);
}

void VaruUserModel::login(const QString &uin, const QString &skey)
{
    mUin = uin;
    mSkey = skey;
    delete mDataCenter;
    mDataCenter = new VaruDataCenter(mFormat, uin, this);
    mApkRecords->setDataCenter(mDataCenter);
    emit sigUserStateChanged(this, true);
}

void VaruUserModel::logout()
{
    mUin.clear();
    mSkey.clear();
    mApkRecords->clear();
    if (mDataCenter) {
        mDataCenter->saveRecords();
        delete mDataCenter; // writes the file
        mDataCenter = nullptr;
    }
    emit sigUserStateChanged(this, false);
}

bool VaruUserModel::cookie(QString &out) const
{
    if (mUin.isEmpty() || mSkey.isEmpty()) {
        out = QString();
        return false;
    }
    out = QStringLiteral("uin=%1;skey=%2;from=pctool").arg(mUin, mSkey);
    return true;
}

bool VaruUserModel::needsSetup() const
{
    return mDataCenter && mDataCenter->isIncomplete();
}

QString VaruUserModel::text(const QString &key) const
{
    return mDataCenter ? mDataCenter->readValue(key).toString() : QString();
}

bool VaruUserModel::flag(const QString &key) const
{
    return mDataCenter ? mDataCenter->readValue(key).toBool() : false;
}

void VaruUserModel::store(const QString &key, const QVariant &value)
{
    if (mDataCenter)
        mDataCenter->writeValue(key, value);
}

QString VaruUserModel::outputDir() const
{
    QString dir = text(VaruSettingsKey::outputDir);
    if (!dir.isEmpty() && !dir.endsWith(QLatin1Char('/')) && !dir.endsWith(QLatin1Char('\\')))
        dir += QLatin1Char('/');
    return dir;
}

void VaruUserModel::setOutputDir(const QString &value)
{
    store(VaruSettingsKey::outputDir, value);
}

bool VaruUserModel::useRovan() const
{
    return flag(VaruSettingsKey::useRovan);
}

void VaruUserModel::setUseRovan(bool value)
{
    store(VaruSettingsKey::useRovan, value);
}

bool VaruUserModel::useWexly() const
{
    return flag(VaruSettingsKey::useWexly);
}

void VaruUserModel::setUseWexly(bool value)
{
    store(VaruSettingsKey::useWexly, value);
}

QString VaruUserModel::keyStorePath() const
{
    return text(VaruSettingsKey::keyStorePath);
}

void VaruUserModel::setKeyStorePath(const QString &value)
{
    store(VaruSettingsKey::keyStorePath, value);
}

QString VaruUserModel::keyStorePassword() const
{
    return text(VaruSettingsKey::keyStorePassword);
}

void VaruUserModel::setKeyStorePassword(const QString &value)
{
    store(VaruSettingsKey::keyStorePassword, value);
}

QString VaruUserModel::keyStoreAlias() const
{
    return text(VaruSettingsKey::keyStoreAlias);
}

void VaruUserModel::setKeyStoreAlias(const QString &value)
{
    store(VaruSettingsKey::keyStoreAlias, value);
}

QString VaruUserModel::keyStoreAliasPassword() const
{
    return text(VaruSettingsKey::keyStoreAliasPassword);
}

void VaruUserModel::setKeyStoreAliasPassword(const QString &value)
{
    store(VaruSettingsKey::keyStoreAliasPassword, value);
}

bool VaruUserModel::autoSign() const
{
    return flag(VaruSettingsKey::autoSign);
}

void VaruUserModel::setAutoSign(bool value)
{
    store(VaruSettingsKey::autoSign, value);
}

QString VaruUserModel::androidName() const
{
    return text(VaruSettingsKey::androidName);
}

void VaruUserModel::setAndroidName(const QString &value)
{
    store(VaruSettingsKey::androidName, value);
}

QString VaruUserModel::packParams() const
{
    return text(VaruSettingsKey::packParams);
}

void VaruUserModel::setPackParams(const QString &value)
{
    store(VaruSettingsKey::packParams, value);
}

bool VaruUserModel::autoPack() const
{
    return flag(VaruSettingsKey::autoPack);
}

void VaruUserModel::setAutoPack(bool value)
{
    store(VaruSettingsKey::autoPack, value);
}
