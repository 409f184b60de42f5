#pragma once
// The desktop's handlers for files and links: a value written to a
// temporary file is opened with the application the desktop picks for its
// type, a URL or mail address with the browser or mail program.
//
// Only links of the schemes http, https, ldap, ldaps and mailto are ever
// handed on: a directory value is foreign data, and a "file:" or
// application-specific link in it must not start anything.

#include <memory>
#include <string>

namespace platform {

// True when the URL begins with one of the allowed schemes and a ':'
// (the scheme compared ignoring ASCII case) and holds no control character.
bool IsOpenableUrl(const std::string& url);

class DesktopLauncher {
public:
    virtual ~DesktopLauncher() = default;
    // Opens a local file; false when no handler could be started.
    virtual bool OpenFile(const std::string& path) = 0;
    // Opens a link that IsOpenableUrl accepts; false for any other, or when
    // no handler could be started.
    virtual bool OpenUrl(const std::string& url) = 0;
};

// xdg-open, started without a shell and not waited for.
class XdgDesktopLauncher : public DesktopLauncher {
public:
    bool OpenFile(const std::string& path) override;
    bool OpenUrl(const std::string& url) override;
};

// The process-wide launcher; the setter returns the previous one. Without
// one installed nothing is opened.
std::shared_ptr<DesktopLauncher> SetDesktopLauncher(std::shared_ptr<DesktopLauncher> launcher);
std::shared_ptr<DesktopLauncher> GetDesktopLauncher();

} // namespace platform
