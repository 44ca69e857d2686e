#pragma once

#include "loggerglobal.h"

#include <QHash>
#include <QString>
#include <QStringList>

namespace Log4Qt {

// String-to-string settings with an optional default set that look-ups fall back to.
// The default set is not owned and must outlive this one.
class VARULOGGER_EXPORT Properties : public QHash<QString, QString>
{
public:
    explicit Properties(const Properties *defaultProperties = nullptr)
        : mDefaultProperties(defaultProperties)
    { }

    const Properties *defaultProperties() const { return mDefaultProperties; }
    void setDefaultProperties(const Properties *defaults) { mDefaultProperties = defaults; }

    // The value of key here, else in the default set; an empty text when neither has it.
    QString property(const QString &key) const;
    bool hasProperty(const QString &key) const;
    void setProperty(const QString &key, const QString &value) { insert(key, value); }
    // Every key of this set and of its default set, each once.
    QStringList propertyNames() const;

private:
    const Properties *mDefaultProperties;
};

} // namespace Log4Qt
