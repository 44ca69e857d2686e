#include "mainwindow.h"

#include "assistantview.h"
#include "controllerset.h"
#include "guideview.h"
#include "logincontroller.h"
#include "loginview.h"
#include "platform/os/toolpaths.h"
#include "reinforceview.h"
#include "service/serviceurl.h"
#include "settingsview.h"
#include "titlebar.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFile>
#include <QMessageBox>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QStackedLayout>
#include <QStackedWidget>
#include <QUrl>
#include <QVBoxLayout>

VaruMainWindow::VaruMainWindow(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("mainWindow"));
    setStyleSheet(QStringLiteral("#mainWindow { border: 1px solid #828790; }"));
    mLoginAction = new QAction(QStringLiteral("登录"), this);
    mLoginAction->setData(1);
    connect(mLoginAction, &QAction::triggered, this, &VaruMainWindow::onLoginTriggered);
    setMinimumSize(900, 600);

    mTitleBar = new VaruTitleBar(this);
    mTitleBar->setFixedHeight(60);
    mTitleBar->setLoginAction(mLoginAction);

    mPages = new QStackedWidget(this);
    mReinforceView = new VaruReinforceView(mPages);
    mAssistantView = new VaruAssistantView(mPages);
    mSettingsView = new VaruSettingsView(mPages);
    mPages->addWidget(mReinforceView);
    mPages->addWidget(mAssistantView);
    mPages->addWidget(mSettingsView);
    connect(
        mTitleBar, &VaruTitleBar::sigCurSelTabChanged, mPages, &QStackedWidget::setCurrentIndex);

    mLoginView = new VaruLoginView(this);
    mLoginView->setLoginAction(mLoginAction);
    mGuideView = new VaruGuideView(this);
    connect(mGuideView, &VaruGuideView::sigGuideFinish, this, &VaruMainWindow::onGuideFinished);

    mContent = new QStackedLayout;
    mContent->setSpacing(0);
    mContent->setContentsMargins(0, 0, 0, 0);
    mContent->addWidget(mPages);
    mContent->addWidget(mGuideView);
    mContent->addWidget(mLoginView);
    mContent->setCurrentWidget(mLoginView);

    auto *main = new QVBoxLayout(this);
    main->setSpacing(0);
    main->setContentsMargins(0, 0, 0, 0);
    main->addWidget(mTitleBar);
    main->addLayout(mContent);

    connect(VaruControllerSet::instance()->controller<VaruLoginController>(),
        &VaruLoginController::sigLoginStateChanged, this, &VaruMainWindow::onLoginStateChanged);
    resize(1000, 680);
    checkVersion();
}

QWidget *VaruMainWindow::currentContent() const
{
    return mContent->currentWidget();
}

void VaruMainWindow::onLoginStateChanged(int action, const QString &uin, bool first)
{
    if (action == VaruLoginController::SignedIn) {
        mContent->setCurrentWidget(first ? static_cast<QWidget *>(mGuideView) : mPages);
        mTitleBar->setUin(uin);
        mTitleBar->setTabsVisible(!first);
        mTitleBar->setCurrentTab(0);
        mPages->setCurrentIndex(0);
        mLoginAction->setText(QStringLiteral("注销"));
        mLoginAction->setData(2);
    } else if (action == VaruLoginController::SignedOut) {
        mContent->setCurrentWidget(mLoginView);
        mTitleBar->setUin(QString());
        mTitleBar->setTabsVisible(false);
        mLoginAction->setText(QStringLiteral("登录"));
        mLoginAction->setData(1);
        mLoginView->showWebLogin();
    }
}

void VaruMainWindow::onLoginTriggered(bool)
{
    if (mLoginAction->data().toInt() == 2)
        VaruControllerSet::instance()->controller<VaruLoginController>()->signOut();
}

void VaruMainWindow::onGuideFinished()
{
    mTitleBar->setTabsVisible(true);
    mContent->setCurrentWidget(mPages);
    disconnect(mGuideView, nullptr, this, nullptr);
}

void VaruMainWindow::closeEvent(QCloseEvent *event)
{
    QFrame::closeEvent(event);
    VaruControllerSet::instance()->controller<VaruLoginController>()->signOut();
}

QString VaruMainWindow::versionInfoPath()
{
    return VaruOs::fileInFolder(
        QCoreApplication::applicationDirPath(), QStringLiteral("VersionInfo"));
}

void VaruMainWindow::checkVersion()
{
    if (!mVersionManager) {
        mVersionManager = new QNetworkAccessManager(this);
        connect(mVersionManager, &QNetworkAccessManager::finished, this,
            &VaruMainWindow::onGetVersionFinished);
    }
    mVersionManager->get(QNetworkRequest(serviceUrl(QStringLiteral("/index/pcVersion"))));
}

void VaruMainWindow::onGetVersionFinished(QNetworkReply *reply)
{
    reply->deleteLater();
    if (reply->error() != QNetworkReply::NoError)
        return;
    const QString latest = QString::fromUtf8(reply->readAll());
    if (latest.isEmpty())
        return;
    QFile file(versionInfoPath());
    if (file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        const QString current = QString::fromUtf8(file.readLine());
        file.close();
        if (current == latest)
            return;
    }
    if (QMessageBox::question(nullptr, QStringLiteral("Varu"),
            QStringLiteral("发现更新，立即前往下载?"), QMessageBox::Yes | QMessageBox::No,
            QMessageBox::Yes)
        == QMessageBox::Yes)
        QDesktopServices::openUrl(QUrl(QStringLiteral(VARU_CONSOLE_URL "/varu/tool/index")));
}
