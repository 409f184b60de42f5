#include "platform/Folders.h"

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <limits.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

std::string WithSlash(std::string s)
{
    if (s.empty() || s.back() != '/')
        s.push_back('/');
    return s;
}

std::string Env(const char* name)
{
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

std::string HomeFolder()
{
    std::string home = Env("HOME");
    if (home.empty()) {
        if (const passwd* pw = getpwuid(getuid()))
            home = pw->pw_dir ? pw->pw_dir : "";
    }
    return home.empty() ? std::string("/tmp") : home;
}

std::string UserFolder(const char* homeSub, const char* xdgVar, const char* xdgDefault)
{
    std::string base = Env("ARBOLITE_HOME");
    std::string folder;
    if (!base.empty()) {
        folder = WithSlash(base) + homeSub;
    } else {
        std::string xdg = Env(xdgVar);
        if (xdg.empty())
            xdg = WithSlash(HomeFolder()) + xdgDefault;
        folder = WithSlash(xdg) + "Vellumar/Arbolite";
    }
    folder = WithSlash(folder);
    MakeFolders(folder);
    return folder;
}

} // namespace

bool MakeFolders(const std::string& path, unsigned mode)
{
    if (path.empty()) return false;
    std::string part;
    for (size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == '/') {
            if (!part.empty() && part != "/")
                if (mkdir(part.c_str(), mode) != 0 && errno != EEXIST)
                    return false;
        }
        if (i < path.size()) part.push_back(path[i]);
    }
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string GetProgramFolder()
{
    char buf[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return "./";
    std::string exe(buf, static_cast<size_t>(n));
    return exe.substr(0, exe.rfind('/') + 1);
}

std::string GetUserDataFolder() { return UserFolder("data", "XDG_DATA_HOME", ".local/share"); }

std::string GetUserConfigFolder() { return UserFolder("config", "XDG_CONFIG_HOME", ".config"); }

std::string GetMachineConfigFolder() { return "/etc/xdg/Vellumar/Arbolite/"; }

std::string GetTempFolder()
{
    std::string t = Env("TMPDIR");
    return WithSlash(t.empty() ? std::string("/tmp") : t);
}

namespace {

// A value of the user-dirs file: "$HOME/..." or an absolute path, in quotes.
std::string UserDirsValue(std::string value)
{
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        value = value.substr(1, value.size() - 2);
    if (value.rfind("$HOME", 0) == 0 && (value.size() == 5 || value[5] == '/'))
        value = HomeFolder() + value.substr(5);
    return !value.empty() && value.front() == '/' ? value : std::string();
}

} // namespace

std::string GetMyDocumentsPath()
{
    std::string folder = Env("XDG_DOCUMENTS_DIR");
    if (folder.empty()) {
        std::string config = Env("XDG_CONFIG_HOME");
        if (config.empty())
            config = WithSlash(HomeFolder()) + ".config";
        std::ifstream dirs(WithSlash(config) + "user-dirs.dirs");
        const std::string key = "XDG_DOCUMENTS_DIR=";
        for (std::string line; std::getline(dirs, line);)
            if (line.rfind(key, 0) == 0)
                folder = UserDirsValue(line.substr(key.size()));
    }
    struct stat st;
    if (folder.empty() || folder.front() != '/' || stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return std::string();
    return WithSlash(folder);
}

} // namespace platform
