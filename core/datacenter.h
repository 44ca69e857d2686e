#pragma once

#include <QList>
#include <QMap>
#include <QSettings>
#include <QSharedPointer>
#include <QString>
#include <QVariant>

class VaruApkInfo;

// The settings store of one account: a JSON settings file "<uin>.db" in the user's
// "Varu" settings folder, holding the settings under dotted keys and the task records.
class VaruDataCenter : public QSettings
{
    Q_OBJECT

public:
    VaruDataCenter(QSettings::Format format, const QString &uin, QObject *parent = nullptr);

    // Keys are "group.name"; any other key reads as an invalid value and is never written.
    QVariant readValue(const QString &key) const;
    // A null value removes an existing key; anything else is stored.
    void writeValue(const QString &key, const QVariant &value);
    bool hasValue(const QString &key) const;
    void removeValue(const QString &key);

    // Stores a record under its md5 and rewrites the list; false, and nothing changes,
    // for an empty md5 or one already stored.
    bool addRecord(const QSharedPointer<VaruApkInfo> &record);
    void removeRecord(const QString &md5);
    // The records, oldest first.
    QList<QSharedPointer<VaruApkInfo>> records() const;
    void saveRecords();

    // Whether the first-run settings were missing when the store was opened.
    bool isIncomplete() const { return mIncomplete; }

    // The file format: the whole settings map as one indented JSON object. The file is
    // kept readable by its owner only, and a file that does not parse is copied aside to
    // "<file>.corrupt" before anything can write over it.
    static bool readJsonFile(QIODevice &device, QSettings::SettingsMap &map);
    static bool writeJsonFile(QIODevice &device, const QSettings::SettingsMap &map);

private:
    void loadRecords();

    bool mIncomplete = true;
    QMap<QString, QSharedPointer<VaruApkInfo>> mRecords;
};
