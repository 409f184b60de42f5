#include "installer/msi/LocalHost.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>

namespace msi {
namespace {

class FdFile : public HostFile {
public:
    explicit FdFile(int fd) : fd_(fd) {}
    ~FdFile() override { ::close(fd_); }

    bool Write(const void* data, size_t size) override
    {
        auto p = static_cast<const char*>(data);
        while (size) {
            ssize_t n = ::write(fd_, p, size);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return false;
            p += n;
            size -= static_cast<size_t>(n);
        }
        return true;
    }

    bool Read(void* data, size_t size, size_t* got) override
    {
        auto p = static_cast<char*>(data);
        *got = 0;
        while (*got < size) {
            ssize_t n = ::read(fd_, p + *got, size - *got);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) return false;
            if (n == 0) break;
            *got += static_cast<size_t>(n);
        }
        return true;
    }

private:
    int fd_;
};

std::string DefaultTemp()
{
    const char* dir = std::getenv("TMPDIR");
    std::string t = dir && *dir ? dir : "/tmp";
    if (t.back() != '/') t += '/';
    return t;
}

} // namespace

LocalHost::LocalHost(std::string tempFolder, std::string windowsFolder)
    : temp_(std::move(tempFolder)), windows_(std::move(windowsFolder))
{
}

LocalHost::LocalHost() : LocalHost(DefaultTemp(), DefaultTemp()) {}

std::string LocalHost::NativePath(const std::string& path)
{
    std::string out = path;
    for (char& c : out)
        if (c == '\\') c = '/';
    return out;
}

LocalTime LocalHost::Now()
{
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min};
}

std::unique_ptr<HostFile> LocalHost::OpenFile(const std::string& path, OpenMode mode, bool* created)
{
    std::string native = NativePath(path);
    int fd = -1;
    if (created) *created = false;
    switch (mode) {
    case OpenMode::CreateAlways:
        fd = ::open(native.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        break;
    case OpenMode::OpenExisting:
        fd = ::open(native.c_str(), O_RDONLY | O_CLOEXEC);
        break;
    case OpenMode::Append:
        fd = ::open(native.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0 && created) *created = true;
        if (fd < 0 && errno == EEXIST) fd = ::open(native.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
        break;
    }
    if (fd < 0) return nullptr;
    return std::make_unique<FdFile>(fd);
}

std::unique_ptr<HostFile> LocalHost::CreateTempFile(const std::string& folder, const std::string& prefix,
                                                    const std::string& suffix, std::string* path)
{
    std::string name = folder + prefix + "XXXXXX" + suffix;
    std::string native = NativePath(name);
    int fd = ::mkstemps(&native[0], static_cast<int>(suffix.size()));
    if (fd < 0) return nullptr;
    ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    // The unique part, written back into the installer's form of the name.
    name.replace(folder.size() + prefix.size(), 6, native.substr(native.size() - suffix.size() - 6, 6));
    *path = name;
    return std::make_unique<FdFile>(fd);
}

std::vector<std::string> LocalHost::ListFolder(const std::string& folder)
{
    std::vector<std::string> names;
    DIR* dir = ::opendir(NativePath(folder).c_str());
    if (!dir) return names;
    while (dirent* e = ::readdir(dir)) {
        std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        std::string full = NativePath(folder) + "/" + name;
        struct stat st;
        if (::stat(full.c_str(), &st) == 0 && S_ISREG(st.st_mode)) names.push_back(name);
    }
    ::closedir(dir);
    return names;
}

bool LocalHost::DeleteFile(const std::string& path)
{
    return ::unlink(NativePath(path).c_str()) == 0;
}

bool LocalHost::DeleteAtReboot(const std::string& path)
{
    std::lock_guard<std::mutex> lock(rebootMutex_);
    rebootDeletes_.push_back(path);
    return true;
}

std::vector<std::string> LocalHost::DeletesAtReboot() const
{
    std::lock_guard<std::mutex> lock(rebootMutex_);
    return rebootDeletes_;
}

bool LocalHost::RemoveFolder(const std::string& path)
{
    std::string native = NativePath(path);
    while (native.size() > 1 && native.back() == '/') native.pop_back();
    return ::rmdir(native.c_str()) == 0;
}

} // namespace msi
