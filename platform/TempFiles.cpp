#include "platform/TempFiles.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/Folders.h"

namespace platform {

namespace {

class TempFileList {
public:
    ~TempFileList() { DeleteAll(); }

    void Add(const std::string& path)
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_paths.push_back(path);
    }

    std::vector<std::string> Get() const
    {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_paths;
    }

    void DeleteAll()
    {
        std::vector<std::string> paths;
        {
            std::lock_guard<std::mutex> lock(m_lock);
            paths.swap(m_paths);
        }
        for (const std::string& path : paths)
            ::unlink(path.c_str());
    }

private:
    mutable std::mutex m_lock;
    std::vector<std::string> m_paths;
};

TempFileList& Files()
{
    static TempFileList files;
    return files;
}

bool WriteAll(int fd, const std::string& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

} // namespace

bool CreateTempFileWithBytes(const std::string& prefix, const std::string& extension, const std::string& bytes,
                             std::string& path, int* errorCode)
{
    const std::string suffix = extension.empty() ? std::string() : "." + extension;
    std::string pattern = GetTempFolder() + prefix + "XXXXXX" + suffix;
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    // mkstemps opens with O_CREAT | O_EXCL and mode 0600.
    int fd = ::mkstemps(name.data(), static_cast<int>(suffix.size()));
    if (fd < 0) {
        if (errorCode) *errorCode = 1;
        return false;
    }
    bool written = WriteAll(fd, bytes);
    if (::close(fd) != 0)
        written = false;
    if (!written) {
        ::unlink(name.data());
        if (errorCode) *errorCode = 2;
        return false;
    }
    path = name.data();
    if (errorCode) *errorCode = 0;
    return true;
}

void RegisterTempFile(const std::string& path)
{
    Files().Add(path);
}

std::vector<std::string> GetRegisteredTempFiles()
{
    return Files().Get();
}

void DeleteRegisteredTempFiles()
{
    Files().DeleteAll();
}

} // namespace platform
