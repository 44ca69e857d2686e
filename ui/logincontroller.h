#pragma once

#include "basecontroller.h"
#include "platform/logger/classlogger.h"

// Signs the user in with the pair the web sign-in left, and out again.
class VaruLoginController : public VaruBaseController
{
    Q_OBJECT

public:
    enum Action { SignedIn = 1, SignedOut = 2 };

    explicit VaruLoginController(QObject *parent = nullptr);

    void signIn(const QString &uin, const QString &skey);
    void signOut();
    // True when this uin is the signed-in account.
    static bool isSignedInAs(const QString &uin);

    // The account number as shown: the digits of the uin, in order.
    static QString displayNumber(const QString &uin);

signals:
    void sigLoginStateChanged(int action, const QString &uin, bool first);

private:
    Log4Qt::ClassLogger mLogger;
};
