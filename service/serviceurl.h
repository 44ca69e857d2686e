#pragma once

#include <QString>
#include <QUrl>

// The hardening service's base address: "http://" and a host, no path, no trailing
// slash. Every service URL is this followed by a path. The host is a build setting.
QString serviceBaseUrl();
// serviceBaseUrl() + path, parsed tolerantly.
QUrl serviceUrl(const QString &path);
// True when url has the service's scheme, host and port: only such URLs get the cookie.
bool isServiceUrl(const QUrl &url);

// The account registration page on the maker's cloud management site.
QUrl registrationUrl();

// A page of the maker's portal (web sign-in, console, help, documentation).
QUrl portalUrl(const QString &path);

// Tests only: points the client at another service, such as a simulator on a free port.
void setServiceBaseUrlForTesting(const QString &baseUrl);
void setPortalBaseUrlForTesting(const QString &baseUrl);
