#include "serviceurl.h"

namespace {
QString &baseUrl()
{
    static QString url = QStringLiteral(VARU_SERVICE_URL);
    return url;
}

QString &portalBase()
{
    static QString url = QStringLiteral(VARU_PORTAL_URL);
    return url;
}
} // namespace

QString serviceBaseUrl()
{
    return baseUrl();
}

QUrl serviceUrl(const QString &path)
{
    return QUrl(serviceBaseUrl() + path, QUrl::TolerantMode);
}

bool isServiceUrl(const QUrl &url)
{
    const QUrl service(serviceBaseUrl());
    return url.scheme().compare(service.scheme(), Qt::CaseInsensitive) == 0
        && url.host().compare(service.host(), Qt::CaseInsensitive) == 0
        && url.port(80) == service.port(80);
}

QUrl portalUrl(const QString &path)
{
    return QUrl(portalBase() + path, QUrl::TolerantMode);
}

void setPortalBaseUrlForTesting(const QString &url)
{
    portalBase() = url;
}

QUrl registrationUrl()
{
    return QUrl(QStringLiteral(VARU_CONSOLE_URL "/developerCenter/registUser.php"));
}

void setServiceBaseUrlForTesting(const QString &url)
{
    baseUrl() = url;
}
