#include "platform/DesktopLauncher.h"

#include "base/Installed.h"

#include <mutex>

#include "platform/StartProgram.h"

namespace platform {

namespace {

Installed<std::shared_ptr<DesktopLauncher>> g_launcher;

char Lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Starts "xdg-open argument".
bool RunXdgOpen(const std::string& argument)
{
    // "--" would be passed on as the target; a leading '-' is refused instead.
    if (argument.empty() || argument[0] == '-')
        return false;
    return StartProgram({"xdg-open", argument});
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
