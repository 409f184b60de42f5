#include "platform/FileText.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace platform {

int ReadFileToString(const std::string& path, std::string& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return -1;
    std::ostringstream ss;
    ss << in.rdbuf();
    if (in.bad()) return -1;
    bytes = ss.str();
    return 0;
}

int WriteStringToFile(const std::string& bytes, const std::string& path)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return -1;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return out ? 0 : -1;
}

int ReplaceFileWithBytes(const std::string& bytes, const std::string& path)
{
    if (path.empty() || path.back() == '/') return -1;
    std::string temp = path + ".XXXXXX";
    const int fd = mkstemp(&temp[0]);
    if (fd < 0) return -1;
    struct stat old {};
    const mode_t mode = stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
    bool ok = fchmod(fd, mode) == 0;
    for (size_t done = 0; ok && done < bytes.size();) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) ok = false;
        else done += static_cast<size_t>(n);
    }
    ok = fsync(fd) == 0 && ok;
    ok = close(fd) == 0 && ok;
    if (ok && std::rename(temp.c_str(), path.c_str()) == 0) return 0;
    unlink(temp.c_str());
    return -1;
}

} // namespace platform
