#include "loginview.h"

#include "controllerset.h"
#include "cookiemirror.h"
#include "logincontroller.h"
#include "service/serviceurl.h"

#include <QAction>
#include <QDebug>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QLabel>
#include <QNetworkAccessManager>
#include <QNetworkCookie>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QStackedLayout>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWebEngineCookieStore>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

namespace {

const QString kStyle = QStringLiteral(
    "#welcomeTipTitle { background: transparent; border: none; color: #333333; font-size: 24px; }"
    "#descTipTitle { background: transparent; border: none; color: #333333; font-size: 12px; }"
    "#loginTipTitle { background: transparent; border: none; color: #999999; font-size: 12px; }"
    "#loginButton { background-color: #0070cc; border: none; border-radius: 2px; color: white; "
    "font-size: 14px; }"
    "#loginButton:hover { background-color: #0064b6; }"
    "VaruLoginView { background-color: #fafafa; }");

QLabel *centred(const QString &text, const char *objectName)
{
    auto *label = new QLabel(text);
    label->setObjectName(QString::fromLatin1(objectName));
    label->setAlignment(Qt::AlignCenter);
    return label;
}

} // namespace

VaruLoginView::VaruLoginView(QWidget *parent) : QFrame(parent)
{
    mWelcome = new QWidget;
    auto *column = new QVBoxLayout(mWelcome);
    column->setSpacing(0);
    column->setContentsMargins(0, 0, 0, 0);
    column->addStretch();
    column->addWidget(centred(QStringLiteral("欢迎使用Varu自动工具"), "welcomeTipTitle"));
    column->addSpacing(15);
    column->addWidget(centred(
        QStringLiteral("Varu是Kestrin云提供的移动应用一站式安全服务，包括应用加固、安全监测、\n"
                       "渠道监控、安全SDK等功能。"),
        "descTipTitle"));
    column->addSpacing(40);
    column->addWidget(centred(QStringLiteral("登录后你可以使用加固并自动签名"), "loginTipTitle"));
    column->addSpacing(15);
    mLoginButton = new QToolButton;
    mLoginButton->setObjectName(QStringLiteral("loginButton"));
    mLoginButton->setText(QStringLiteral("立即登录"));
    mLoginButton->setFixedSize(120, 40);
    mLoginButton->setCursor(Qt::PointingHandCursor);
    auto *buttonRow = new QHBoxLayout;
    buttonRow->setSpacing(0);
    buttonRow->setContentsMargins(0, 0, 0, 0);
    buttonRow->addStretch();
    buttonRow->addWidget(mLoginButton);
    buttonRow->addStretch();
    column->addLayout(buttonRow);
    column->addStretch();
    setStyleSheet(kStyle);

    // A profile of the view's own, kept in memory: no earlier sign-in survives a restart.
    mProfile = new QWebEngineProfile(this);
    mCookies = new VaruCookieMirror(mProfile->cookieStore(), this);
    mWebView = new QWebEngineView;
    mPage = new QWebEnginePage(mProfile, mWebView);
    mWebView->setPage(mPage);
    connect(mWebView, &QWebEngineView::loadFinished, this, &VaruLoginView::onLoadFinished);
    // Cookies set by a page's scripts can come just after the load has finished.
    connect(mCookies, &VaruCookieMirror::sigSessionCookieAdded, this,
        [this] { QTimer::singleShot(0, this, &VaruLoginView::checkSession); });

    mStack = new QStackedLayout(this);
    mStack->addWidget(mWebView);
    mStack->addWidget(mWelcome);
    mStack->setCurrentWidget(mWelcome);
}

VaruLoginView::~VaruLoginView()
{
    // The page goes before its profile.
    delete mWebView;
}

QUrl VaruLoginView::signInUrl()
{
    return portalUrl(QStringLiteral("/login"));
}

bool VaruLoginView::isWebShown() const
{
    return mStack->currentWidget() == mWebView;
}

void VaruLoginView::setLoginAction(QAction *action)
{
    if (!mLoginButton || !action)
        return;
    if (mAction)
        disconnect(mAction, nullptr, this, nullptr);
    disconnect(action, nullptr, this, nullptr);
    mAction = action;
    mLoginButton->setDefaultAction(action);
    mLoginButton->setText(QStringLiteral("立即登录"));
    connect(action, &QAction::triggered, this, [this](bool) { showWebLogin(); });
}

void VaruLoginView::showWebLogin()
{
    show();
    // A fresh cookie jar: nothing of an earlier sign-in survives. The engine's cache is
    // cleared only once the mirror is empty.
    mProfile->cookieStore()->deleteAllCookies();
    mCookies->clear();
    mProfile->clearHttpCache();
    mLoginButton->setText(QStringLiteral("立即登录"));
    mStack->setCurrentWidget(mWebView);
    mWebView->load(signInUrl());
}

void VaruLoginView::onLoadFinished(bool ok)
{
    qDebug() << "sign-in page loaded:" << ok;
    checkSession();
}

void VaruLoginView::checkSession()
{
    if (mChecking)
        return;
    QString uin;
    QString skey;
    for (const QNetworkCookie &cookie :
        mCookies->cookiesForUrl(serviceUrl(QStringLiteral("/index/pcVersion")))) {
        if (cookie.name() == "uin")
            uin = QString::fromUtf8(cookie.value());
        else if (cookie.name() == "skey")
            skey = QString::fromUtf8(cookie.value());
    }
    if (uin.size() < 5 || skey.isEmpty())
        return;
    VaruLoginController *controller
        = VaruControllerSet::instance()->controller<VaruLoginController>();
    if (controller->isSignedInAs(uin))
        return; // later loads of the same sign-in

    mChecking = true;
    const QString cookie = QStringLiteral("uin=%1;skey=%2;from=pcmac").arg(uin, skey);
    auto *manager = new QNetworkAccessManager(this);
    manager->clearAccessCache();
    manager->setCookieJar(new QNetworkCookieJar(manager));
    QNetworkRequest request(serviceUrl(QStringLiteral("/myapplication/getAppList")));
    request.setRawHeader("Cookie", cookie.toUtf8());
    qDebug() << "account check:" << request.url().toString();
    QEventLoop loop;
    connect(manager, &QNetworkAccessManager::finished, &loop, &QEventLoop::quit);
    QNetworkReply *reply = manager->get(request);
    loop.exec();
    bool failed = false;
    if (reply && reply->error() == QNetworkReply::NoError) {
        const QByteArray body = reply->readAll();
        qDebug() << "account check body:" << body.left(200);
        failed = body.isEmpty();
    }
    manager->deleteLater();
    mChecking = false;
    if (!failed)
        controller->signIn(uin, skey);
}
