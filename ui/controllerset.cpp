#include "controllerset.h"

#include "basecontroller.h"

#include "core/singleton.h"

#include <atomic>

namespace {
std::atomic<VaruControllerSet *> gInstance{nullptr};
QMutex gInstanceMutex;
} // namespace

VaruControllerSet *VaruControllerSet::instance()
{
    return lazyInstance(gInstance, gInstanceMutex, [] { return new VaruControllerSet; });
}

VaruControllerSet::VaruControllerSet() : QObject(nullptr) { }

void VaruControllerSet::add(VaruBaseController *controller)
{
    if (controller && !mControllers.contains(controller))
        mControllers.append(controller);
}
