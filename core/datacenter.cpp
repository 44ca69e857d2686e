#include "datacenter.h"

#include "settingskeys.h"
#include "tasks/apkinfo.h"
#include "tasks/recordkeys.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

#include <algorithm>

namespace {

const QString kRecords = QStringLiteral("records");
const QString kContent = QStringLiteral("content");
constexpr qint64 kOrphanedLockMs = 2000;

// "group.name" to the stored "group/name"; empty for any other shape.
QString storedKey(const QString &key)
{
    const QStringList parts = key.split(QLatin1Char('.'));
    if (parts.size() != 2)
        return QString();
    return parts[0] + QLatin1Char('/') + parts[1];
}

// Keeps the bytes of a settings file that did not parse, without ever replacing an
// earlier copy that differs.
void keepAside(const QString &fileName, const QByteArray &bytes)
{
    if (fileName.isEmpty())
        return;
    for (int n = 0;; ++n) {
        const QString copy = fileName + QStringLiteral(".corrupt")
            + (n == 0 ? QString() : QStringLiteral(".%1").arg(n));
        QFile file(copy);
        if (file.exists()) {
            if (file.open(QIODevice::ReadOnly) && file.readAll() == bytes)
                return; // already kept
            continue;
        }
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
            file.write(bytes);
        }
        return;
    }
}

// A save takes a lock file beside the settings file and writes its owner into it. A client
// killed between the two leaves an empty lock that names no owner, and the next save
// would wait half a minute for it to grow stale. Such a lock, seconds old, is removed.
void clearOrphanedLock(const QString &fileName)
{
    const QFileInfo lock(fileName + QStringLiteral(".lock"));
    if (lock.exists() && lock.size() == 0
        && lock.lastModified().msecsTo(QDateTime::currentDateTime()) > kOrphanedLockMs)
        QFile::remove(lock.filePath());
}

} // namespace

bool VaruDataCenter::readJsonFile(QIODevice &device, QSettings::SettingsMap &map)
{
    const QByteArray bytes = device.readAll();
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        auto *file = qobject_cast<QFile *>(&device);
        keepAside(file ? file->fileName() : QString(), bytes);
        return false;
    }
    map = document.object().toVariantMap();
    return true;
}

bool VaruDataCenter::writeJsonFile(QIODevice &device, const QSettings::SettingsMap &map)
{
    // The file holds passwords. Settings are saved through a temporary file that replaces
    // the old one, so the mode set here is the one the file ends up with.
    if (auto *file = qobject_cast<QFileDevice *>(&device))
        file->setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    const QByteArray bytes
        = QJsonDocument(QJsonObject::fromVariantMap(map)).toJson(QJsonDocument::Indented);
    return device.write(bytes) == bytes.size();
}

VaruDataCenter::VaruDataCenter(QSettings::Format format, const QString &uin, QObject *parent)
    : QSettings(format, QSettings::UserScope, QStringLiteral("Varu"), uin, parent)
{
    clearOrphanedLock(fileName());
    loadRecords();
    using namespace VaruSettingsKey;
    mIncomplete = !(hasValue(outputDir) && hasValue(keyStorePath) && hasValue(keyStorePassword)
        && hasValue(keyStoreAlias) && hasValue(keyStoreAliasPassword));
}

QVariant VaruDataCenter::readValue(const QString &key) const
{
    const QString stored = storedKey(key);
    return stored.isEmpty() ? QVariant() : value(stored);
}

void VaruDataCenter::writeValue(const QString &key, const QVariant &value)
{
    const QString stored = storedKey(key);
    if (stored.isEmpty())
        return;
    if (value.isNull()) {
        if (contains(stored))
            remove(stored);
        return;
    }
    setValue(stored, value);
}

bool VaruDataCenter::hasValue(const QString &key) const
{
    const QString stored = storedKey(key);
    return !stored.isEmpty() && contains(stored);
}

void VaruDataCenter::removeValue(const QString &key)
{
    const QString stored = storedKey(key);
    if (!stored.isEmpty())
        remove(stored);
}

void VaruDataCenter::loadRecords()
{
    const int count = beginReadArray(kRecords);
    for (int i = 0; i < count; ++i) {
        setArrayIndex(i);
        const QString md5 = value(VaruRecordKey::md5).toString();
        QJsonParseError error;
        const QJsonDocument document
            = QJsonDocument::fromJson(value(kContent).toByteArray(), &error);
        if (error.error != QJsonParseError::NoError)
            continue;
        mRecords.insert(md5, QSharedPointer<VaruApkInfo>::create(document.object()));
    }
    endArray();
}

bool VaruDataCenter::addRecord(const QSharedPointer<VaruApkInfo> &record)
{
    if (!record)
        return false;
    const QString md5 = record->md5();
    if (md5.isEmpty())
        return false;
    const QSharedPointer<VaruApkInfo> existing = mRecords.value(md5);
    if (existing && (existing == record || existing->md5() == md5))
        return false;
    mRecords.insert(md5, record);
    saveRecords();
    return true;
}

void VaruDataCenter::removeRecord(const QString &md5)
{
    if (mRecords.remove(md5) > 0)
        saveRecords();
}

QList<QSharedPointer<VaruApkInfo>> VaruDataCenter::records() const
{
    QList<QSharedPointer<VaruApkInfo>> list = mRecords.values();
    std::sort(list.begin(), list.end(),
        [](const QSharedPointer<VaruApkInfo> &a, const QSharedPointer<VaruApkInfo> &b) {
            return a->time() < b->time();
        });
    return list;
}

void VaruDataCenter::saveRecords()
{
    // The old list goes first: a shorter list must not leave stale elements behind.
    remove(kRecords);
    beginWriteArray(kRecords, mRecords.size());
    int i = 0;
    for (auto it = mRecords.constBegin(); it != mRecords.constEnd(); ++it, ++i) {
        setArrayIndex(i);
        QString content;
        if (it.value())
            it.value()->toJson(content);
        setValue(VaruRecordKey::md5, it.key());
        setValue(kContent, content);
    }
    endArray();
}
