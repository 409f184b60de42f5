#include "schema/compound/CompoundFileLock.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "schema/compound/CompoundFileFormat.h"

namespace platform {
namespace {

bool SameFile(int fd, const std::string& path)
{
    struct stat held, named;
    return fstat(fd, &held) == 0 && stat(path.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
           held.st_ino == named.st_ino;
}

// A lock attempt that does not block, retried until the wait is over: 0 when
// taken, else the errno of the last attempt.
template <typename Attempt>
int LockWithin(Attempt attempt, std::chrono::milliseconds wait)
{
    auto deadline = std::chrono::steady_clock::now() + wait;
    std::chrono::milliseconds pause(1);
    for (;;) {
        if (attempt() == 0) return 0;
        int err = errno;
        if (err != EWOULDBLOCK && err != EAGAIN && err != EACCES && err != EINTR) return err;
        if (std::chrono::steady_clock::now() >= deadline) return err;
        std::this_thread::sleep_for(pause);
        if (pause < std::chrono::milliseconds(20)) pause *= 2;
    }
}

// The turn is byte 0: SQLite locks only bytes from 1 GiB on. A lock of the
// open file description, so neither closing SQLite's descriptors drops it nor
// does it conflict with SQLite's locks of this process elsewhere in the file.
int SetTurnLock(int fd, short type)
{
    struct flock range {};
    range.l_type = type;
    range.l_whence = SEEK_SET;
    range.l_start = 0;
    range.l_len = 1;
    return fcntl(fd, F_OFD_SETLK, &range);
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
        // Writable when it may be, for the turn's lock; nothing is written through it.
        int fd = open(path.c_str(), O_RDWR | O_CLOEXEC);
        if (fd < 0 && (errno == EACCES || errno == EROFS || errno == EPERM)) fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) return errno == ENOENT || errno == ENOTDIR ? STG_E_FILENOTFOUND : STG_E_ACCESSDENIED;
        int operation = (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB;
        if (LockWithin([&] { return flock(fd, operation); }, std::chrono::milliseconds(kCompoundBusyTimeoutMs)) != 0) {
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

HRESULT CompoundFileLock::TakeTurn()
{
    if (m_fd < 0) return E_FAIL;
    int err = LockWithin([&] { return SetTurnLock(m_fd, F_WRLCK); }, std::chrono::milliseconds(kCompoundBusyTimeoutMs));
    if (err == 0) return S_OK;
    // A file this process may only read takes no turn: SQLite cannot upgrade its lock on it either.
    return err == EBADF || err == EINVAL || err == ENOLCK || err == EOPNOTSUPP ? S_FALSE : STG_E_LOCKVIOLATION;
}

void CompoundFileLock::EndTurn()
{
    if (m_fd >= 0) SetTurnLock(m_fd, F_UNLCK);
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
