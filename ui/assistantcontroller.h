#pragma once

#include "basecontroller.h"
#include "platform/logger/classlogger.h"

#include <QMap>
#include <QStringList>

class QStringListModel;
class VaruAliasLookup;
class VaruPackTool;
class VaruSignTool;

// The tools page's logic: stand-alone signing and channel packing of any APK, with the
// stored settings or with values of the page's own that are never stored.
class VaruAssistantController : public VaruBaseController
{
    Q_OBJECT

public:
    explicit VaruAssistantController(QObject *parent = nullptr);

    QString signApkPath() const { return mSignApkPath; }
    void setSignApkPath(const QString &value) { mSignApkPath = value; }
    QString signOutputDir() const { return mSignOutputDir; }
    // A folder without a trailing separator gets "/".
    void setSignOutputDir(const QString &value);
    QString keyStorePath() const { return mKeyStorePath; }
    void setKeyStorePath(const QString &value) { mKeyStorePath = value; }
    QString keyStorePassword() const { return mKeyStorePassword; }
    void setKeyStorePassword(const QString &value) { mKeyStorePassword = value; }
    QString keyStoreAlias() const { return mKeyStoreAlias; }
    void setKeyStoreAlias(const QString &value) { mKeyStoreAlias = value; }
    QString keyStoreAliasPassword() const { return mKeyStoreAliasPassword; }
    void setKeyStoreAliasPassword(const QString &value) { mKeyStoreAliasPassword = value; }
    QString packApkPath() const { return mPackApkPath; }
    void setPackApkPath(const QString &value) { mPackApkPath = value; }
    QString packOutputDir() const { return mPackOutputDir; }
    void setPackOutputDir(const QString &value) { mPackOutputDir = value; }
    QString androidName() const { return mAndroidName; }
    void setAndroidName(const QString &value) { mAndroidName = value; }
    QString packParams() const { return mPackParams; }
    void setPackParams(const QString &value) { mPackParams = value; }

    void startSign(bool useStored);
    void startPack(bool useStored);
    void refreshAliases(const QString &path, const QString &password);
    QStringListModel *aliasModel() const;

signals:
    void sigReloadDefaultData();
    void sigSignStateChanged(bool succeed, const QString &tip);
    void sigPackStateChanged(bool succeed, const QString &tip);

public slots:
    void onApkSignCallback(const QString &apkPath, const QString &outputPath, int errorCode,
        const QString &errorString);
    void onApkPackCallback(const QString &apkPath, const QString &outputPath, int errorCode,
        const QString &errorString);

protected:
    void beforeLoadUi() override;
    void afterUnloadUi() override;

private:
    Log4Qt::ClassLogger mLogger;
    QString mSignApkPath;
    QString mSignOutputDir;
    QString mKeyStorePath;
    QString mKeyStorePassword;
    QString mKeyStoreAlias;
    QString mKeyStoreAliasPassword;
    QString mPackApkPath;
    QString mPackOutputDir;
    QString mAndroidName;
    QString mPackParams;
    VaruAliasLookup *mAliases;
    VaruSignTool *mSigner;
    VaruPackTool *mPacker;
    bool mReloadConnected = false;
};
