#include "cookiemirror.h"

#include <QNetworkCookie>
#include <QWebEngineCookieStore>

VaruCookieMirror::VaruCookieMirror(QWebEngineCookieStore *store, QObject *parent)
    : QNetworkCookieJar(parent)
{
    connect(store, &QWebEngineCookieStore::cookieAdded, this, [this](const QNetworkCookie &cookie) {
        insertCookie(cookie);
        if (cookie.name() == "uin" || cookie.name() == "skey")
            emit sigSessionCookieAdded();
    });
    connect(store, &QWebEngineCookieStore::cookieRemoved, this,
        [this](const QNetworkCookie &cookie) { deleteCookie(cookie); });
}
