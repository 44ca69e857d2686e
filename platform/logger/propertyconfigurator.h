#pragma once

#include "properties.h"

namespace Log4Qt {

class Appender;

// Configures the loggers from log4j properties: "log4j.rootLogger" (a level and appender
// names), "log4j.logger.<name>" (a level), "log4j.threshold", and per appender
// "log4j.appender.<name>" with its File, AppendFile, MaxFileSize, MaxBackupIndex, layout
// and layout.ConversionPattern.
class VARULOGGER_EXPORT PropertyConfigurator
{
public:
    PropertyConfigurator() = delete;

    // Replaces the current configuration. False when any entry was invalid or an appender
    // could not open its file; what could be set up is in place all the same.
    static bool configure(const Properties &properties);
};

} // namespace Log4Qt
