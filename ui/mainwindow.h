#pragma once

#include <QFrame>

class QAction;
class QNetworkAccessManager;
class QNetworkReply;
class QStackedLayout;
class QStackedWidget;
class VaruAssistantView;
class VaruGuideView;
class VaruLoginView;
class VaruReinforceView;
class VaruSettingsView;
class VaruTitleBar;

// The single top-level window: frameless, with its own title bar; below it the sign-in
// page, the first-run guide or the three working pages.
class VaruMainWindow : public QFrame
{
    Q_OBJECT

public:
    explicit VaruMainWindow(QWidget *parent = nullptr);

    VaruTitleBar *titleBar() const { return mTitleBar; }
    QAction *loginAction() const { return mLoginAction; }
    VaruLoginView *loginView() const { return mLoginView; }
    VaruGuideView *guideView() const { return mGuideView; }
    QStackedWidget *pages() const { return mPages; }
    VaruReinforceView *reinforceView() const { return mReinforceView; }
    VaruAssistantView *assistantView() const { return mAssistantView; }
    VaruSettingsView *settingsView() const { return mSettingsView; }
    QWidget *currentContent() const;

    // The "VersionInfo" file beside the program.
    static QString versionInfoPath();

public slots:
    void onLoginTriggered(bool checked);
    void onLoginStateChanged(int action, const QString &uin, bool first);
    void onGuideFinished();
    void onGetVersionFinished(QNetworkReply *reply);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void checkVersion();

    VaruTitleBar *mTitleBar;
    QAction *mLoginAction;
    VaruLoginView *mLoginView;
    VaruGuideView *mGuideView;
    QStackedWidget *mPages;
    VaruReinforceView *mReinforceView;
    VaruAssistantView *mAssistantView;
    VaruSettingsView *mSettingsView;
    QStackedLayout *mContent;
    QNetworkAccessManager *mVersionManager = nullptr;
};
