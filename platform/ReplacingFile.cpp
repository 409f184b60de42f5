#include "platform/ReplacingFile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr size_t kBufferBytes = 256 * 1024;

// The process's file-creation mask, read without changing it.
mode_t CurrentUmask()
{
    mode_t mask = 022;
    if (FILE* status = std::fopen("/proc/self/status", "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, status)) {
            unsigned value = 0;
            if (std::sscanf(line, "Umask: %o", &value) == 1) {
                mask = static_cast<mode_t>(value);
                break;
            }
        }
        std::fclose(status);
    }
    return mask;
}

} // namespace

ReplacingFile::~ReplacingFile()
{
    Discard();
}

bool ReplacingFile::Open(const std::string& path)
{
    Discard();
    m_failed = false;
    m_path = path;
    struct stat existing {};
    if (path.empty() || path.back() == '/')
        return false;
    if (::stat(path.c_str(), &existing) == 0 && (S_ISDIR(existing.st_mode) || ::access(path.c_str(), W_OK) != 0))
        return false;
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string temporary = folder + "." + name + ".XXXXXX";
    int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return false;
    m_fd = fd;
    m_temporary = temporary;
    m_buffer.reserve(kBufferBytes);
    return true;
}

bool ReplacingFile::Flush()
{
    size_t done = 0;
    while (!m_failed && done < m_buffer.size()) {
        ssize_t n = ::write(m_fd, m_buffer.data() + done, m_buffer.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            m_failed = true;
        else
            done += static_cast<size_t>(n);
    }
    m_buffer.clear();
    return !m_failed;
}

bool ReplacingFile::Write(std::string_view bytes)
{
    if (m_fd < 0 || m_failed)
        return false;
    if (m_buffer.size() + bytes.size() > kBufferBytes && !Flush())
        return false;
    if (bytes.size() >= kBufferBytes) {
        m_buffer.assign(bytes.data(), bytes.size());
        return Flush();
    }
    m_buffer.append(bytes.data(), bytes.size());
    return true;
}

bool ReplacingFile::Commit()
{
    if (m_fd < 0)
        return false;
    bool ok = Flush();
    struct stat existing {};
    const mode_t mode = ::stat(m_path.c_str(), &existing) == 0 ? (existing.st_mode & 07777)
                                                               : (0666 & ~CurrentUmask());
    ok = ok && ::fchmod(m_fd, mode) == 0;
    // On the disk before it takes the name: a crash then leaves the old file.
    ok = ok && ::fsync(m_fd) == 0;
    ok = ::close(m_fd) == 0 && ok;
    m_fd = -1;
    ok = ok && ::rename(m_temporary.c_str(), m_path.c_str()) == 0;
    if (!ok)
        ::unlink(m_temporary.c_str());
    m_temporary.clear();
    m_buffer.clear();
    return ok;
}

void ReplacingFile::Discard()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
        ::unlink(m_temporary.c_str());
    }
    m_temporary.clear();
    m_buffer.clear();
}

} // namespace platform
