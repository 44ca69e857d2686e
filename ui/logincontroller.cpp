#include "logincontroller.h"

#include "core/usermodel.h"

VaruLoginController::VaruLoginController(QObject *parent) : VaruBaseController(parent) { }

QString VaruLoginController::displayNumber(const QString &uin)
{
    QString digits;
    for (const QChar c : uin) {
        if (c.isNumber())
            digits += c;
    }
    return digits;
}

bool VaruLoginController::isSignedInAs(const QString &uin)
{
    VaruUserModel *user = VaruUserModel::instance();
    return user->isLoggedIn() && user->uin() == uin;
}

void VaruLoginController::signIn(const QString &uin, const QString &skey)
{
    VaruUserModel *user = VaruUserModel::instance();
    if (isSignedInAs(uin))
        return; // later page loads of the same sign-in
    user->login(uin, skey);
    emit sigLoginStateChanged(SignedIn, displayNumber(uin), user->needsSetup());
}

void VaruLoginController::signOut()
{
    VaruUserModel *user = VaruUserModel::instance();
    emit sigLoginStateChanged(SignedOut, user->uin(), false);
    user->logout();
}
