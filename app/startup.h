#pragma once

#include <QString>

// The writable per-user application-data folder: the log file and crash dumps go there.
QString appDataFolder();

// The two high-DPI attributes; call before the QApplication exists.
void setApplicationAttributes();
// The application font every widget inherits: 16 pixels of "Microsoft YaHei".
void installApplicationFont();
// Configures the rolling log file in the data folder and writes the start banner.
// Returns the configurator's result; start-up goes on either way.
bool initLogging();
// Installs the crash handler that writes dumps into the data folder. Always true.
bool initCrashHandler();
