#include "platform/FileText.h"

#include "platform/ReplacingFile.h"

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
    ReplacingFile file;
    if (!file.Open(path))
        return -1;
    file.Write(bytes);
    return file.Commit() ? 0 : -1;
}

} // namespace platform
