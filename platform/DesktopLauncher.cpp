#include "platform/DesktopLauncher.h"

#include "base/Installed.h"

#include <mutex>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <vector>

extern char** environ;

namespace platform {

namespace {

Installed<std::shared_ptr<DesktopLauncher>> g_launcher;

char Lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Starts "xdg-open argument" and reaps it on a thread of its own.
bool RunXdgOpen(const std::string& argument)
{
    // "--" would be passed on as the target; a leading '-' is refused instead.
    if (argument.empty() || argument[0] == '-')
        return false;
    std::vector<char> program{'x', 'd', 'g', '-', 'o', 'p', 'e', 'n', '\0'};
    std::vector<char> target(argument.begin(), argument.end());
    target.push_back('\0');
    char* argv[] = {program.data(), target.data(), nullptr};
    pid_t pid = 0;
    if (posix_spawnp(&pid, "xdg-open", nullptr, nullptr, argv, environ) != 0)
        return false;
    std::thread([pid] {
        int status = 0;
        waitpid(pid, &status, 0);
    }).detach();
    return true;
}

} // namespace

bool IsOpenableUrl(const std::string& url)
{
    static const char* const kSchemes[] = {"http", "https", "ldap", "ldaps", "mailto"};
    size_t colon = url.find(':');
    if (colon == std::string::npos)
        return false;
    for (char c : url) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return false;
    }
    for (const char* scheme : kSchemes) {
        std::string s(scheme);
        if (s.size() != colon)
            continue;
        bool same = true;
        for (size_t i = 0; i < colon && same; ++i)
            same = Lower(url[i]) == s[i];
        if (same)
            return true;
    }
    return false;
}

bool XdgDesktopLauncher::OpenFile(const std::string& path)
{
    return RunXdgOpen(path);
}

bool XdgDesktopLauncher::OpenUrl(const std::string& url)
{
    if (!IsOpenableUrl(url))
        return false;
    return RunXdgOpen(url);
}

std::shared_ptr<DesktopLauncher> SetDesktopLauncher(std::shared_ptr<DesktopLauncher> launcher)
{
    return g_launcher.Set(std::move(launcher));
}

std::shared_ptr<DesktopLauncher> GetDesktopLauncher()
{
    return g_launcher.Get();
}

} // namespace platform
