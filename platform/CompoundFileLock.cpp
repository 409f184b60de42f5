#include "platform/CompoundFileLock.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "platform/CompoundFileFormat.h"

namespace platform {
namespace {

bool SameFile(int fd, const std::string& path)
{
    struct stat held, named;
    return fstat(fd, &held) == 0 && stat(path.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
           held.st_ino == named.st_ino;
}

// flock, retried without blocking until the wait is over.
bool LockWithin(int fd, int operation, std::chrono::milliseconds wait)
{
    auto deadline = std::chrono::steady_clock::now() + wait;
    std::chrono::milliseconds pause(1);
    for (;;) {
        if (flock(fd, operation | LOCK_NB) == 0) return true;
        if (errno != EWOULDBLOCK && errno != EINTR) return false;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(pause);
        if (pause < std::chrono::milliseconds(20)) pause *= 2;
    }
}

} // namespace

CompoundFileLock::~CompoundFileLock()
{
    Release();
}

void CompoundFileLock::Release()
{
    if (m_fd >= 0) close(m_fd);
    m_fd = -1;
}

HRESULT CompoundFileLock::Take(const std::string& path, bool exclusive)
{
    Release();
    // The file may be replaced while the lock is awaited: then lock the new one.
    for (int attempt = 0; attempt < 5; ++attempt) {
        int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) return errno == ENOENT || errno == ENOTDIR ? STG_E_FILENOTFOUND : STG_E_ACCESSDENIED;
        if (!LockWithin(fd, exclusive ? LOCK_EX : LOCK_SH, std::chrono::milliseconds(kCompoundBusyTimeoutMs))) {
            close(fd);
            return STG_E_LOCKVIOLATION;
        }
        if (SameFile(fd, path)) {
            m_fd = fd;
            return S_OK;
        }
        close(fd);
    }
    return STG_E_LOCKVIOLATION;
}

bool CompoundFileLock::ReadAll(std::string& bytes) const
{
    bytes.clear();
    if (m_fd < 0) return false;
    char buffer[65536];
    for (off_t at = 0;;) {
        ssize_t n = pread(m_fd, buffer, sizeof buffer, at);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return true;
        bytes.append(buffer, static_cast<size_t>(n));
        at += n;
    }
}

} // namespace platform
