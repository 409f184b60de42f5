#include "platform/DocumentsFolder.h"

#include <cstdlib>
#include <fstream>
#include <sys/stat.h>

namespace platform {

namespace {

// Only an absolute path names a folder: a relative one would depend on where
// the program was started.
bool IsFolder(const std::string& path)
{
    struct stat info {};
    return !path.empty() && path.front() == '/' && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string Home()
{
    const char* home = std::getenv("HOME");
    return home ? home : "";
}

// The value of XDG_DOCUMENTS_DIR in user-dirs.dirs ("$HOME/..." or absolute).
std::string FromUserDirsFile()
{
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const std::string folder = config && *config ? std::string(config) : Home() + "/.config";
    std::ifstream file(folder + "/user-dirs.dirs");
    std::string line;
    const std::string key = "XDG_DOCUMENTS_DIR=\"";
    while (std::getline(file, line)) {
        if (line.compare(0, key.size(), key) != 0 || line.back() != '"')
            continue;
        std::string value = line.substr(key.size(), line.size() - key.size() - 1);
        if (value.compare(0, 5, "$HOME") == 0)
            value = Home() + value.substr(5);
        return value;
    }
    return std::string();
}

std::string WithoutSlash(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

} // namespace

std::string GetMyDocumentsPath()
{
    if (const char* set = std::getenv("XDG_DOCUMENTS_DIR"); set && IsFolder(set))
        return WithoutSlash(set);
    const std::string listed = FromUserDirsFile();
    if (IsFolder(listed))
        return WithoutSlash(listed);
    const std::string documents = Home() + "/Documents";
    if (IsFolder(documents))
        return documents;
    return std::string();
}

} // namespace platform
