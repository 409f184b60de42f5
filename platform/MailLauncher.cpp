#include "platform/MailLauncher.h"

#include <climits>
#include <cstdlib>
#include <unistd.h>

#include "platform/StartProgram.h"

namespace platform {

namespace {

const char* const kMailProgram = "xdg-email";

std::string Absolute(const std::string& path)
{
    if (!path.empty() && path[0] == '/')
        return path;
    char folder[PATH_MAX];
    if (!::getcwd(folder, sizeof folder))
        return path;
    return std::string(folder) + "/" + path;
}

} // namespace

bool IsProgramInPath(const std::string& name)
{
    const char* path = std::getenv("PATH");
    if (!path || name.empty())
        return false;
    std::string list(path);
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(':', start);
        if (end == std::string::npos) end = list.size();
        std::string folder = list.substr(start, end - start);
        if (folder.empty()) folder = ".";
        if (::access((folder + "/" + name).c_str(), X_OK) == 0)
            return true;
        start = end + 1;
    }
    return false;
}

bool SendMailWithAttachment(const std::string& subject, const std::string& path)
{
    return StartProgram({kMailProgram, "--subject", subject, "--attach", Absolute(path)});
}

} // namespace platform
