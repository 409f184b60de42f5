#include "shellcore/TipsFile.h"

#include <sys/stat.h>
#include <time.h>

#include "platform/Folders.h"

namespace {
constexpr int kLineLimit = 1000;  // 999 characters and the terminator
}

bool CTipsFile::Open(const std::string& path)
{
    m_file.reset(std::fopen(path.c_str(), "r"));
    m_path = m_file ? path : std::string();
    return m_file != nullptr;
}

std::string CTipsFile::GetChangeTimeText() const
{
    struct stat st;
    if (!m_file || fstat(fileno(m_file.get()), &st) != 0)
        return std::string();
    char buffer[64] = {};
    time_t t = st.st_mtime;
    if (!ctime_r(&t, buffer))
        return std::string();
    std::string text(buffer);
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.pop_back();
    return text;
}

bool CTipsFile::Seek(long offset)
{
    return m_file && offset >= 0 && std::fseek(m_file.get(), offset, SEEK_SET) == 0;
}

long CTipsFile::Tell() const
{
    return m_file ? std::ftell(m_file.get()) : -1;
}

bool CTipsFile::IsTipLine(const std::string& line)
{
    if (line.empty())
        return false;
    char c = line[0];
    return c != ' ' && c != '\t' && c != '\n' && c != ';';
}

CTipsFile::Result CTipsFile::ReadNextTip(std::string& tip)
{
    if (!m_file)
        return Result::NoTip;
    char line[kLineLimit];
    bool wrapped = false;
    long start = Tell();
    for (;;) {
        long before = Tell();
        // After the wrap, coming back to where the search began means the
        // whole file was read without a tip.
        if (wrapped && before >= start)
            return Result::NoTip;
        if (std::fgets(line, kLineLimit, m_file.get())) {
            std::string text(line);
            if (IsTipLine(text)) {
                tip = text;
                return Result::Tip;
            }
            continue;
        }
        if (wrapped)  // a start position beyond the end
            return Result::NoTip;
        std::clearerr(m_file.get());
        if (!Seek(0))
            return Result::SeekFailed;
        wrapped = true;
    }
}

std::string FindTipsFile()
{
    std::string prog = platform::GetProgramFolder();
    for (const std::string& path : {prog + "Tips.tip", prog + "../share/arbolite/Tips.tip"}) {
        struct stat st;
        if (stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode))
            return path;
    }
    return prog + "Tips.tip";
}
