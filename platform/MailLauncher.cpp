#include "platform/MailLauncher.h"

#include <climits>
#include <cstdlib>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace platform {

namespace {

const char* const kMailProgram = "xdg-email";

std::vector<char> Chars(const std::string& text)
{
    std::vector<char> chars(text.begin(), text.end());
    chars.push_back('\0');
    return chars;
}

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
    std::vector<char> program = Chars(kMailProgram);
    std::vector<char> subjectOption = Chars("--subject");
    std::vector<char> subjectText = Chars(subject);
    std::vector<char> attachOption = Chars("--attach");
    std::vector<char> attachment = Chars(Absolute(path));
    char* argv[] = {program.data(),      subjectOption.data(), subjectText.data(),
                    attachOption.data(), attachment.data(),    nullptr};
    pid_t pid = 0;
    if (posix_spawnp(&pid, kMailProgram, nullptr, nullptr, argv, environ) != 0)
        return false;
    std::thread([pid] {
        int status = 0;
        waitpid(pid, &status, 0);
    }).detach();
    return true;
}

} // namespace platform
