#pragma once

#include <QList>
#include <QObject>

class VaruBaseController;

// The registry and owner of the page controllers: one controller of each kind.
class VaruControllerSet : public QObject
{
    Q_OBJECT

public:
    static VaruControllerSet *instance();

    // Appends a controller unless it is null or already registered.
    void add(VaruBaseController *controller);
    QList<VaruBaseController *> controllers() const { return mControllers; }

    // The first registered controller of type T; made (and so registered) when missing.
    template <typename T>
    T *controller()
    {
        for (VaruBaseController *candidate : qAsConst(mControllers)) {
            if (T *match = qobject_cast<T *>(candidate))
                return match;
        }
        return new T(nullptr);
    }

private:
    VaruControllerSet();

    QList<VaruBaseController *> mControllers;
};
