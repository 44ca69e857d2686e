#pragma once

#include <QFrame>

class QComboBox;
class QLineEdit;
class QListWidget;
class QStackedWidget;
class QToolButton;
class VaruSettingsController;

// The settings page: basic, signing and multi-channel sections, each saved on its own.
class VaruSettingsView : public QFrame
{
    Q_OBJECT

public:
    explicit VaruSettingsView(QWidget *parent = nullptr);

    // For tests and screenshots: the sections and their editors.
    QListWidget *sectionList() const { return mSectionList; }
    QLineEdit *outputDirEdit() const { return mOutputDir; }
    QToolButton *rovanSwitch() const { return mRovan; }
    QToolButton *wexlySwitch() const { return mWexly; }
    QLineEdit *keyStorePathEdit() const { return mKeyStorePath; }
    QLineEdit *keyStorePasswordEdit() const { return mKeyStorePassword; }
    QComboBox *aliasCombo() const { return mAlias; }
    QLineEdit *aliasPasswordEdit() const { return mAliasPassword; }
    QToolButton *autoSignSwitch() const { return mAutoSign; }
    QLineEdit *androidNameEdit() const { return mAndroidName; }
    QLineEdit *packParamsEdit() const { return mPackParams; }
    QToolButton *autoPackSwitch() const { return mAutoPack; }

public slots:
    void onLoadUi();
    void onUnloadUi();
    void onReloadData();
    void onOpenOutputDir();
    void onOpenKeyStorePath();
    void onSaveBasicSettings();
    void onSaveSignSettings();
    void onSavePackSettings();
    void onKeystorePathChanged(const QString &path);
    void onKeystorePasswordChanged(const QString &password);
    void onAliasListChanged();
    void onSettingsFlushResult(bool succeed, const QString &tip);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void fillFromStore();

    VaruSettingsController *mController;
    QListWidget *mSectionList = nullptr;
    QStackedWidget *mSectionStack = nullptr;
    QLineEdit *mOutputDir;
    QToolButton *mRovan;
    QToolButton *mWexly;
    QLineEdit *mKeyStorePath;
    QLineEdit *mKeyStorePassword;
    QComboBox *mAlias;
    QLineEdit *mAliasPassword;
    QToolButton *mAutoSign;
    QLineEdit *mAndroidName;
    QLineEdit *mPackParams;
    QToolButton *mAutoPack;
};
