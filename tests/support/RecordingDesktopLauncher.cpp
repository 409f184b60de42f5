#include "tests/support/RecordingDesktopLauncher.h"

#include <fstream>
#include <sstream>

namespace testsupport {

bool RecordingDesktopLauncher::OpenFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    std::lock_guard<std::mutex> lock(m_lock);
    m_opened.push_back(Opened{true, path, bytes.str()});
    return true;
}

bool RecordingDesktopLauncher::OpenUrl(const std::string& url)
{
    // Every call is kept, so a test sees what the caller failed to refuse.
    std::lock_guard<std::mutex> lock(m_lock);
    m_opened.push_back(Opened{false, url, std::string()});
    return platform::IsOpenableUrl(url);
}

std::vector<RecordingDesktopLauncher::Opened> RecordingDesktopLauncher::Get() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_opened;
}

RecordingDesktopLauncherScope::RecordingDesktopLauncherScope() : m_previous(platform::SetDesktopLauncher(m_launcher)) {}

RecordingDesktopLauncherScope::~RecordingDesktopLauncherScope()
{
    platform::SetDesktopLauncher(std::move(m_previous));
}

} // namespace testsupport
