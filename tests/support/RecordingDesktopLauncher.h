#pragma once
// A desktop launcher that opens nothing and records what it was asked to
// open (a file's bytes are read at once, since temporary files go at exit).
// Installed as the process-wide launcher for the object's life.

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/DesktopLauncher.h"

namespace testsupport {

class RecordingDesktopLauncher : public platform::DesktopLauncher {
public:
    struct Opened {
        bool file = false;
        std::string target;  // path or URL
        std::string bytes;   // a file's content when it was opened
    };

    bool OpenFile(const std::string& path) override;
    bool OpenUrl(const std::string& url) override;

    std::vector<Opened> Get() const;

private:
    mutable std::mutex m_lock;
    std::vector<Opened> m_opened;
};

class RecordingDesktopLauncherScope {
public:
    RecordingDesktopLauncherScope();
    ~RecordingDesktopLauncherScope();
    RecordingDesktopLauncherScope(const RecordingDesktopLauncherScope&) = delete;
    RecordingDesktopLauncherScope& operator=(const RecordingDesktopLauncherScope&) = delete;

    RecordingDesktopLauncher& Launcher() { return *m_launcher; }

private:
    std::shared_ptr<RecordingDesktopLauncher> m_launcher = std::make_shared<RecordingDesktopLauncher>();
    std::shared_ptr<platform::DesktopLauncher> m_previous;
};

} // namespace testsupport
