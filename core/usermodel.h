#pragma once

#include <QObject>
#include <QSettings>
#include <QString>

class VaruApkRecords;
class VaruDataCenter;

// Who is signed in: the account number and session key, the account's settings store
// and the task table. Every sign-in and sign-out is announced by sigUserStateChanged.
class VaruUserModel : public QObject
{
    Q_OBJECT

public:
    static VaruUserModel *instance();

    void login(const QString &uin, const QString &skey);
    void logout();

    bool isLoggedIn() const { return !mUin.isEmpty() && !mSkey.isEmpty(); }
    QString uin() const { return mUin; }
    // The cookie text every service request carries; false (and out empty) when signed out.
    bool cookie(QString &out) const;
    // True while a store is open whose first-run settings were missing.
    bool needsSetup() const;
    VaruApkRecords *apkRecords() const { return mApkRecords; }
    // The open store, or null while signed out.
    VaruDataCenter *dataCenter() const { return mDataCenter; }

    // Output folder with a trailing "/" unless empty or already ending in a separator.
    QString outputDir() const;
    void setOutputDir(const QString &value);
    bool useRovan() const;
    void setUseRovan(bool value);
    bool useWexly() const;
    void setUseWexly(bool value);
    QString keyStorePath() const;
    void setKeyStorePath(const QString &value);
    QString keyStorePassword() const;
    void setKeyStorePassword(const QString &value);
    QString keyStoreAlias() const;
    void setKeyStoreAlias(const QString &value);
    QString keyStoreAliasPassword() const;
    void setKeyStoreAliasPassword(const QString &value);
    bool autoSign() const;
    void setAutoSign(bool value);
    QString androidName() const;
    void setAndroidName(const QString &value);
    QString packParams() const;
    void setPackParams(const QString &value);
    bool autoPack() const;
    void setAutoPack(bool value);

signals:
    void sigUserStateChanged(VaruUserModel *user, bool enter);

private:
    VaruUserModel();

    QString text(const QString &key) const;
    bool flag(const QString &key) const;
    void store(const QString &key, const QVariant &value);

    QString mUin;
    QString mSkey;
    QSettings::Format mFormat;
    VaruDataCenter *mDataCenter = nullptr;
    VaruApkRecords *mApkRecords = nullptr;
};
