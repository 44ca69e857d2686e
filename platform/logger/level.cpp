#include "level.h"

namespace Log4Qt {

namespace {
struct LevelName {
    Level::Value value;
    const char *name;
};
const LevelName kLevelNames[] = {
    {Level::NULL_INT, "NULL"},
    {Level::ALL_INT, "ALL"},
    {Level::TRACE_INT, "TRACE"},
    {Level::DEBUG_INT, "DEBUG"},
    {Level::INFO_INT, "INFO"},
    {Level::WARN_INT, "WARN"},
    {Level::ERROR_INT, "ERROR"},
    {Level::FATAL_INT, "FATAL"},
    {Level::OFF_INT, "OFF"},
};
} // namespace

QString Level::toString() const
{
    for (const LevelName &entry : kLevelNames) {
        if (entry.value == mValue)
            return QString::fromLatin1(entry.name);
    }
    return QString::number(mValue);
}

Level Level::fromString(const QString &name, bool *ok)
{
    const QString wanted = name.trimmed();
    for (const LevelName &entry : kLevelNames) {
        if (wanted.compare(QLatin1String(entry.name), Qt::CaseInsensitive) == 0) {
            if (ok)
                *ok = true;
            return Level(entry.value);
        }
    }
    if (ok)
        *ok = false;
    return Level(NULL_INT);
}

} // namespace Log4Qt
