#include "basecontroller.h"

#include "controllerset.h"
#include "core/usermodel.h"

VaruBaseController::VaruBaseController(QObject *parent) : QObject(parent)
{
    VaruControllerSet *set = VaruControllerSet::instance();
    set->add(this);
    setParent(set);
    connect(VaruUserModel::instance(), &VaruUserModel::sigUserStateChanged, this,
        &VaruBaseController::onUserStateChanged);
}

void VaruBaseController::loadUiIfLoggedIn()
{
    if (mLoaded || !VaruUserModel::instance()->isLoggedIn())
        return;
    loadUi();
}

void VaruBaseController::loadUi()
{
    beforeLoadUi();
    VaruControllerSet::instance()->add(this);
    emit sigLoadUi();
    afterLoadUi();
    mLoaded = true;
}

void VaruBaseController::unloadUi()
{
    beforeUnloadUi();
    emit sigUnloadUi();
    afterUnloadUi();
    mLoaded = false;
}

void VaruBaseController::onUserStateChanged(VaruUserModel *, bool enter)
{
    if (enter)
        loadUi();
    else
        unloadUi();
}
