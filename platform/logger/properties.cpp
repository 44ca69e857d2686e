#include "properties.h"

#include <QSet>

namespace Log4Qt {

QString Properties::property(const QString &key) const
{
    const auto it = constFind(key);
    if (it != constEnd())
        return it.value();
    return mDefaultProperties ? mDefaultProperties->property(key) : QString();
}

bool Properties::hasProperty(const QString &key) const
{
    return contains(key) || (mDefaultProperties && mDefaultProperties->hasProperty(key));
}

QStringList Properties::propertyNames() const
{
    QStringList names = mDefaultProperties ? mDefaultProperties->propertyNames() : QStringList();
    QSet<QString> seen(names.cbegin(), names.cend());
    for (auto it = constBegin(); it != constEnd(); ++it) {
        if (!seen.contains(it.key())) {
            seen.insert(it.key());
            names.append(it.key());
        }
    }
    return names;
}

} // namespace Log4Qt
