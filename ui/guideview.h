#pragma once

#include <QFrame>
#include <QList>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QStackedWidget;
class QToolButton;
class VaruGuideStepLabel;
class VaruSettingsController;

// The first-run guide: an invitation, then four steps that collect and save the output
// folder and service options, the keystore, and the channels.
class VaruGuideView : public QFrame
{
    Q_OBJECT

public:
    explicit VaruGuideView(QWidget *parent = nullptr);

    bool hasWizard() const { return mStack != nullptr; }
    QWidget *invitation() const { return mInvitation; }
    QStackedWidget *pageStack() const { return mStack; }
    QList<VaruGuideStepLabel *> stepLabels() const { return mSteps; }
    QLineEdit *outputDirEdit() const { return mOutputDir; }
    QCheckBox *wexlyBox() const { return mWexly; }
    QCheckBox *rovanBox() const { return mRovan; }
    QLineEdit *keyStorePathEdit() const { return mKeyStorePath; }
    QLineEdit *keyStorePasswordEdit() const { return mKeyStorePassword; }
    QComboBox *aliasCombo() const { return mAlias; }
    QLineEdit *aliasPasswordEdit() const { return mAliasPassword; }
    QLineEdit *androidNameEdit() const { return mAndroidName; }
    QLineEdit *packParamsEdit() const { return mPackParams; }
    QToolButton *prevButton() const { return mPrev; }
    QToolButton *nextButton() const { return mNext; }
    QToolButton *finishButton() const { return mFinish; }

signals:
    void sigGuideFinish();

public slots:
    void onLoadUi();
    void onUnloadUi();
    void onStartConfigure();
    void onPrevStep();
    void onNextStep();
    void onCurrentPageChanged(int index);
    void onOpenOutputDir();
    void onOpenKeyStorePath();
    void onKeystorePathChanged(const QString &path);
    void onKeystorePasswordChanged(const QString &password);
    void onAliasListChanged();
    void onSettingsFlushResult(bool succeed, const QString &tip);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QWidget *buildPathPage();
    QWidget *buildSignPage();
    QWidget *buildPackPage();
    QWidget *buildDonePage();

    VaruSettingsController *mController;
    QWidget *mInvitation;
    QList<VaruGuideStepLabel *> mSteps;
    QStackedWidget *mStack = nullptr;
    QLineEdit *mOutputDir = nullptr;
    QCheckBox *mWexly = nullptr;
    QCheckBox *mRovan = nullptr;
    QLineEdit *mKeyStorePath = nullptr;
    QLineEdit *mKeyStorePassword = nullptr;
    QComboBox *mAlias = nullptr;
    QLineEdit *mAliasPassword = nullptr;
    QLineEdit *mAndroidName = nullptr;
    QLineEdit *mPackParams = nullptr;
    QToolButton *mFinish = nullptr;
    QToolButton *mPrev = nullptr;
    QToolButton *mNext = nullptr;
};
