#pragma once

#include <QNetworkCookie>
#include <QNetworkCookieJar>

class QWebEngineCookieStore;

// A cookie jar that mirrors the web engine's cookie store, so that the sign-in page's
// cookies can be read the way a network cookie jar is read.
class VaruCookieMirror : public QNetworkCookieJar
{
    Q_OBJECT

public:
    explicit VaruCookieMirror(QWebEngineCookieStore *store, QObject *parent = nullptr);

    void clear() { setAllCookies({}); }
    int count() const { return allCookies().size(); }

signals:
    // A cookie named "uin" or "skey" arrived.
    void sigSessionCookieAdded();
};
