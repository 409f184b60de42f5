#include "platform/TempFiles.h"

#include <mutex>
#include <unistd.h>

namespace platform {
namespace {

std::mutex g_lock;
std::vector<std::string>& Files()
{
    static std::vector<std::string> files;
    return files;
}

} // namespace

void RegisterTempFile(const std::string& path)
{
    std::lock_guard<std::mutex> lock(g_lock);
    Files().push_back(path);
}

std::vector<std::string> GetRegisteredTempFiles()
{
    std::lock_guard<std::mutex> lock(g_lock);
    return Files();
}

void DeleteRegisteredTempFiles()
{
    std::vector<std::string> files;
    {
        std::lock_guard<std::mutex> lock(g_lock);
        files.swap(Files());
    }
    for (const std::string& f : files) ::unlink(f.c_str());
}

} // namespace platform
