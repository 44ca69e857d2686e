#pragma once

#include <QFrame>

class QComboBox;
class QLineEdit;
class QListWidget;
class QRadioButton;
class QStackedWidget;
class QToolButton;
class VaruAssistantController;
class WaitingSpinnerWidget;

// The tools page: sign one APK, or make one APK per channel, with the stored settings or
// with values entered here.
class VaruAssistantView : public QFrame
{
    Q_OBJECT

public:
    explicit VaruAssistantView(QWidget *parent = nullptr);

    QListWidget *sectionList() const { return mSectionList; }
    QLineEdit *signApkEdit() const { return mSignApk; }
    QLineEdit *signOutputEdit() const { return mSignOutput; }
    QRadioButton *signStoredRadio() const { return mSignStored; }
    QRadioButton *signOwnRadio() const { return mSignOwn; }
    QLineEdit *keyStorePathEdit() const { return mKeyStorePath; }
    QLineEdit *keyStorePasswordEdit() const { return mKeyStorePassword; }
    QComboBox *aliasCombo() const { return mAlias; }
    QLineEdit *aliasPasswordEdit() const { return mAliasPassword; }
    QLineEdit *packApkEdit() const { return mPackApk; }
    QLineEdit *packOutputEdit() const { return mPackOutput; }
    QRadioButton *packStoredRadio() const { return mPackStored; }
    QRadioButton *packOwnRadio() const { return mPackOwn; }
    QLineEdit *androidNameEdit() const { return mAndroidName; }
    QLineEdit *packParamsEdit() const { return mPackParams; }
    QToolButton *signButton() const { return mSignButton; }
    QToolButton *packButton() const { return mPackButton; }
    WaitingSpinnerWidget *signSpinner() const { return mSignSpinner; }
    WaitingSpinnerWidget *packSpinner() const { return mPackSpinner; }

public slots:
    void onLoadUi();
    void onUnloadUi();
    void onReloadDefaultData();
    void onOpenSignedOriginalApk();
    void onOpenSignedOutputDir();
    void onOpenKeyStorePath();
    void onOpenPackedOriginalApk();
    void onOpenPackedOutputDir();
    void onSignRadioButtonToggled(bool checked);
    void onPackRadioButtonToggled(bool checked);
    void onKeystorePathChanged(const QString &path);
    void onKeystorePasswordChanged(const QString &password);
    void onCurrentAliasTextChanged(const QString &alias);
    void onAliasListChanged();
    void onDefaultAliasListChanged();
    void onAliasPasswordChanged(const QString &password);
    void onAndroidNameChanged(const QString &androidName);
    void onParamsChanged(const QString &params);
    void onStartSign();
    void onStartPack();
    void onSignStateChanged(bool succeed, const QString &tip);
    void onPackStateChanged(bool succeed, const QString &tip);

private:
    void refreshSignPanel();
    void refreshPackPanel();

    QListWidget *mSectionList = nullptr;
    QStackedWidget *mSectionStack = nullptr;
    QWidget *mSignPanel;
    QWidget *mPackPanel;
    QLineEdit *mSignApk;
    QLineEdit *mSignOutput;
    QRadioButton *mSignStored;
    QRadioButton *mSignOwn;
    QLineEdit *mKeyStorePath;
    QLineEdit *mKeyStorePassword;
    QComboBox *mAlias;
    QLineEdit *mAliasPassword;
    QLineEdit *mPackApk;
    QLineEdit *mPackOutput;
    QRadioButton *mPackStored;
    QRadioButton *mPackOwn;
    QLineEdit *mAndroidName;
    QLineEdit *mPackParams;
    QToolButton *mSignButton;
    QToolButton *mPackButton;
    WaitingSpinnerWidget *mSignSpinner;
    WaitingSpinnerWidget *mPackSpinner;
    VaruAssistantController *mController;
};
