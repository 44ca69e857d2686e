#pragma once

#include <string>

// The launcher's steps: where the main program is, where the desktop is, the shortcut,
// and starting the main program without waiting for it. Every failure is silent.
namespace VaruLauncher {

// The launcher's own folder + "bin/VaruPC".
std::string mainProgramPath();
// The user's desktop folder, or "" when it cannot be determined.
std::string desktopFolder();
// Writes (or overwrites) the shortcut to program in folder; false when it could not.
bool writeShortcut(const std::string &folder, const std::string &program);
// Starts program detached, with this process's environment and folder.
bool startDetached(const std::string &program);

} // namespace VaruLauncher
