#pragma once

#include "loggerglobal.h"

#include <QString>

namespace Log4Qt {

// A logging level: one integer, ordered from ALL to OFF.
class VARULOGGER_EXPORT Level
{
public:
    enum Value {
        NULL_INT = 0,
        ALL_INT = 32,
        TRACE_INT = 64,
        DEBUG_INT = 96,
        INFO_INT = 128,
        WARN_INT = 150,
        ERROR_INT = 182,
        FATAL_INT = 214,
        OFF_INT = 255
    };

    Level(Value value = NULL_INT) : mValue(value) { }

    int toInt() const { return mValue; }
    QString toString() const;
    // Accepts the level names case-insensitively; sets *ok to false for anything else.
    static Level fromString(const QString &name, bool *ok = nullptr);

    bool operator==(const Level &other) const { return mValue == other.mValue; }
    bool operator!=(const Level &other) const { return mValue != other.mValue; }
    bool operator<(const Level &other) const { return mValue < other.mValue; }
    bool operator>=(const Level &other) const { return mValue >= other.mValue; }

private:
    int mValue;
};

} // namespace Log4Qt
