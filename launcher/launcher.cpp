#include "launcher.h"

#ifdef _WIN32
#include <objbase.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <windows.h>

namespace VaruLauncher {

namespace {
std::wstring widen(const std::string &text)
{
    std::wstring out(text.size() + 1, L'\0');
    const int n
        = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, &out[0], static_cast<int>(out.size()));
    out.resize(n > 0 ? n - 1 : 0);
    return out;
}
std::string narrow(const wchar_t *text)
{
    char buffer[MAX_PATH * 4] = {};
    WideCharToMultiByte(CP_UTF8, 0, text, -1, buffer, sizeof(buffer), nullptr, nullptr);
    return buffer;
}
} // namespace

std::string mainProgramPath()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    PathAppendW(path, L"..");
    PathAppendW(path, L"\\bin\\VaruPC.exe");
    return narrow(path);
}

std::string desktopFolder()
{
    wchar_t path[MAX_PATH] = {};
    LPITEMIDLIST list = nullptr;
    if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &list))) {
        SHGetPathFromIDListW(list, path);
        CoTaskMemFree(list);
    }
    return narrow(path);
}

bool writeShortcut(const std::string &folder, const std::string &program)
{
    CoInitialize(nullptr);
    bool saved = false;
    IShellLinkW *link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
            reinterpret_cast<void **>(&link)))) {
        link->SetPath(widen(program).c_str());
        link->SetDescription(L"Shortcut");
        link->SetShowCmd(SW_SHOW);
        IPersistFile *file = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void **>(&file)))) {
            saved = SUCCEEDED(file->Save(widen(folder + "\\VaruPC.lnk").c_str(), TRUE));
            file->Release();
        }
        link->Release();
    }
    CoUninitialize();
    return saved;
}

bool startDetached(const std::string &program)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process = {};
    wchar_t commandLine[1] = {L'\0'};
    if (!CreateProcessW(widen(program).c_str(), commandLine, nullptr, nullptr, TRUE, 0, nullptr,
            nullptr, &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

} // namespace VaruLauncher

#else

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace VaruLauncher {

namespace {

std::string folderOf(const std::string &path)
{
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

// Exec keys quote the program and escape what the desktop entry format reserves.
std::string quoted(const std::string &path)
{
    std::string out = "\"";
    for (char c : path) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            out += "\\\\";
        out += c;
    }
    return out + "\"";
}

} // namespace

std::string mainProgramPath()
{
    char self[PATH_MAX] = {};
    const ssize_t n = readlink("/proc/self/exe", self, sizeof(self) - 1);
    if (n <= 0)
        return "bin/VaruPC";
    return folderOf(std::string(self, static_cast<size_t>(n))) + "/bin/VaruPC";
}

std::string desktopFolder()
{
    const char *home = getenv("HOME");
    if (!home || !*home)
        return std::string();
    // The freedesktop user folders: XDG_DESKTOP_DIR="$HOME/Desktop" in user-dirs.dirs.
    const char *config = getenv("XDG_CONFIG_HOME");
    const std::string dirs
        = (config && *config ? std::string(config) : std::string(home) + "/.config")
        + "/user-dirs.dirs";
    std::ifstream file(dirs);
    std::string line;
    while (std::getline(file, line)) {
        const std::string key = "XDG_DESKTOP_DIR=";
        if (line.rfind(key, 0) != 0)
            continue;
        std::string value = line.substr(key.size());
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        if (value.rfind("$HOME", 0) == 0)
            value = std::string(home) + value.substr(5);
        if (!value.empty() && value.front() == '/')
            return value;
    }
    return std::string(home) + "/Desktop";
}

bool writeShortcut(const std::string &folder, const std::string &program)
{
    if (folder.empty())
        return false;
    const std::string path = folder + "/VaruPC.desktop";
    const std::string temporary = path + ".tmp";
    {
        std::ofstream entry(temporary, std::ios::trunc);
        if (!entry)
            return false;
        entry << "[Desktop Entry]\n"
              << "Type=Application\n"
              << "Name=VaruPC\n"
              << "Comment=Shortcut\n"
              << "Exec=" << quoted(program) << "\n"
              << "Icon=" << folderOf(program) << "/VaruPC.png\n"
              << "Terminal=false\n";
        if (!entry)
            return false;
    }
    chmod(temporary.c_str(), 0755);
    return rename(temporary.c_str(), path.c_str()) == 0;
}

bool startDetached(const std::string &program)
{
    // Two forks: the program is nobody's child here and never a zombie of ours.
    const pid_t child = fork();
    if (child < 0)
        return false;
    if (child == 0) {
        setsid();
        if (fork() == 0) {
            execl(program.c_str(), program.c_str(), static_cast<char *>(nullptr));
            _exit(127);
        }
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return access(program.c_str(), X_OK) == 0;
}

} // namespace VaruLauncher

#endif
