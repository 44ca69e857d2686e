#pragma once

#include "platform/logger/classlogger.h"

#include <QObject>
#include <QStringList>

namespace Log4Qt {
class Logger;
}

// Lists the key aliases of a keystore with keytool, on a worker thread.
class VaruAliasFetchTool : public QObject
{
    Q_OBJECT

public:
    enum Error {
        NoError = 0,
        NotAListing = -1,
        BadArguments = -2,
        NoOutput = -3,
        NoTool = -4,
        WrongPassword = -5
    };

    explicit VaruAliasFetchTool(QObject *parent = nullptr);

    // Starts a listing; the result comes through sigAliasListCallback. A path that is
    // empty or a password shorter than 6 characters only sets errorCode() to -2.
    void getAliasName(const QString &keystorePath, const QString &keystorePass);
    int errorCode() const { return mErrorCode; }

    // The aliases in keytool's English listing, in listing order; returns the error code.
    static int parseListing(const QString &output, QStringList *aliases);

signals:
    void sigAliasListCallback(const QString &keystorePath, const QString &keystorePass,
        const QStringList &aliasList, int errorCode);

private:
    Log4Qt::Logger *logger();

    Log4Qt::ClassLogger mLogger;
    QString mKeytoolPath;
    int mErrorCode = NoError;
};
