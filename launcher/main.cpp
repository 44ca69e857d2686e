// VaruPC: refreshes the desktop shortcut to the main program and starts it. No window, no
// options; exits 0 whatever happens.
#include "launcher.h"

#ifdef _WIN32
#include <windows.h>
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
#else
int main()
#endif
{
    const std::string program = VaruLauncher::mainProgramPath();
    const std::string desktop = VaruLauncher::desktopFolder();
    if (!desktop.empty())
        VaruLauncher::writeShortcut(desktop, program);
    VaruLauncher::startDetached(program);
    return 0;
}
