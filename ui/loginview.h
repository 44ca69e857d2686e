#pragma once

#include <QFrame>

class QAction;
class QStackedLayout;
class QToolButton;
class QWebEnginePage;
class QWebEngineProfile;
class QWebEngineView;
class VaruCookieMirror;

// The sign-in page: a welcome panel, then the maker's web sign-in in an embedded browser.
// When the page leaves the session cookies, the account is checked with the service and
// the user is signed in.
class VaruLoginView : public QFrame
{
    Q_OBJECT

public:
    explicit VaruLoginView(QWidget *parent = nullptr);
    ~VaruLoginView() override;

    void setLoginAction(QAction *action);
    QToolButton *loginButton() const { return mLoginButton; }
    QWebEngineView *webView() const { return mWebView; }
    VaruCookieMirror *cookies() const { return mCookies; }
    bool isWebShown() const;
    // The address of the web sign-in page.
    static QUrl signInUrl();
    // Checks uin and skey as the page left them; signs in when the service agrees.
    void checkSession();

public slots:
    void showWebLogin();
    void onLoadFinished(bool ok);

private:
    QWidget *mWelcome;
    QToolButton *mLoginButton;
    QWebEngineProfile *mProfile;
    QWebEngineView *mWebView;
    QWebEnginePage *mPage;
    VaruCookieMirror *mCookies;
    QStackedLayout *mStack;
    QAction *mAction = nullptr;
    bool mChecking = false;
};
