#pragma once

#include <QString>

// Where the external tools live: below the main program's folder, in "tool" and its
// "jre/bin" and "zip" subfolders, with the platform's separator and executable suffix.
// This is the only place that knows either.
namespace VaruOs {

enum class Tool { Keytool, Jarsigner, Zipalign, Aapt, Zip, Unzip };

// The path of a tool below appDir (by default the running program's folder).
QString toolPath(Tool tool, const QString &appDir);
QString toolPath(Tool tool);

// Tests only: the folder that toolPath(tool) looks below instead of the program's own;
// an empty text goes back to the program's folder.
void setToolBaseForTesting(const QString &appDir);

// folder + the platform's separator + name; the folder part is kept as it is.
QString fileInFolder(const QString &folder, const QString &name);

// The program text handed to the process starter: Windows command lines need a path
// with a space in double quotes; here the path is passed on as it is.
QString programForStart(const QString &toolPath);

} // namespace VaruOs
