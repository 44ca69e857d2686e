#pragma once

#include "basecontroller.h"
#include "platform/logger/classlogger.h"

#include <QMap>
#include <QStringList>

class QStringListModel;
class VaruAliasLookup;

// The settings page's logic, shared with the first-run guide and the tools page: a
// working copy of the values being edited, their checks and saving, and the aliases of
// the keystore being edited.
class VaruSettingsController : public VaruBaseController
{
    Q_OBJECT

public:
    enum Category { SettingsBasic = 1, SettingsSign = 2, SettingsPack = 4 };

    explicit VaruSettingsController(QObject *parent = nullptr);

    // Stored values, read through the user model.
    QString outputDir() const;
    bool useRovan() const;
    bool useWexly() const;
    QString keyStorePath() const;
    QString keyStorePassword() const;
    QString keyStoreAlias() const;
    QString keyStoreAliasPassword() const;
    bool autoSign() const;
    QString androidName() const;
    QString packParams() const;
    bool autoPack() const;

    // The working copy.
    void setOutputDir(const QString &value) { mOutputDir = value; }
    void setUseRovan(bool value) { mUseRovan = value; }
    void setUseWexly(bool value) { mUseWexly = value; }
    void setKeyStorePath(const QString &value) { mKeyStorePath = value; }
    void setKeyStorePassword(const QString &value) { mKeyStorePassword = value; }
    void setKeyStoreAlias(const QString &value) { mKeyStoreAlias = value; }
    void setKeyStoreAliasPassword(const QString &value) { mKeyStoreAliasPassword = value; }
    void setAutoSign(bool value) { mAutoSign = value; }
    void setAndroidName(const QString &value) { mAndroidName = value; }
    void setPackParams(const QString &value) { mPackParams = value; }
    void setAutoPack(bool value) { mAutoPack = value; }
    QString workingOutputDir() const { return mOutputDir; }
    QString workingKeyStorePath() const { return mKeyStorePath; }
    QString workingKeyStorePassword() const { return mKeyStorePassword; }
    bool workingAutoSign() const { return mAutoSign; }
    bool workingAutoPack() const { return mAutoPack; }

    // Checks and stores the categories in turn; false (and a message) at the first failure.
    bool saveSettings(int categories);
    void refreshAliases();
    QStringListModel *aliasModel() const;

    // The channel list rule shared with the tools page: no empty channel but the last.
    static bool channelListValid(const QString &params);

signals:
    void sigReloadData(int category);
    void sigFlushResult(bool succeed, const QString &tip);

protected:
    void beforeLoadUi() override;
    void afterUnloadUi() override;

private:
    bool fail(const QString &message);

    Log4Qt::ClassLogger mLogger;
    QString mOutputDir = QStringLiteral(".");
    QString mKeyStorePath;
    QString mKeyStorePassword;
    QString mKeyStoreAlias;
    QString mKeyStoreAliasPassword;
    bool mAutoSign = true;
    QString mAndroidName;
    QString mPackParams;
    bool mAutoPack = false;
    bool mUseRovan = false;
    bool mUseWexly = false;
    VaruAliasLookup *mAliases;
};
