#include "platform/ResourceLibrary.h"

#include <cctype>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

#include "base/Utf8.h"
#include "platform/Folders.h"

namespace platform {
namespace {

bool ReadFile(const std::string& path, std::string& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream ss;
    ss << in.rdbuf();
    bytes = ss.str();
    return true;
}

bool IsDir(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string Trim(const std::string& s)
{
    size_t b = s.find_first_not_of(" \t\r\n"), e = s.find_last_not_of(" \t\r\n");
    return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

// Undoes the escapes of the string table: \n, \t, \r and \\.
std::string Unescape(const std::string& s)
{
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size()) {
            char c = s[++i];
            out.push_back(c == 'n' ? '\n' : c == 't' ? '\t' : c == 'r' ? '\r' : c);
        } else {
            out.push_back(s[i]);
        }
    }
    return out;
}

} // namespace

bool ResourceLibrary::Load(const std::string& folderIn)
{
    std::string folder = folderIn;
    if (!folder.empty() && folder.back() != '/') folder.push_back('/');

    std::string manifest;
    if (!ReadFile(folder + "manifest.txt", manifest)) return false;
    unsigned language = 0;
    std::istringstream ms(manifest);
    for (std::string line; std::getline(ms, line);) {
        size_t eq = line.find('=');
        if (eq != std::string::npos && Trim(line.substr(0, eq)) == "language")
            language = static_cast<unsigned>(std::strtoul(Trim(line.substr(eq + 1)).c_str(), nullptr, 10));
    }
    if (language == 0) return false;

    std::map<unsigned, std::string> strings;
    std::string table;
    if (ReadFile(folder + "strings.txt", table)) {
        std::istringstream ts(table);
        for (std::string line; std::getline(ts, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.empty() || line[0] == '#') continue;
            size_t tab = line.find('\t');
            if (tab == std::string::npos) continue;
            char* end = nullptr;
            unsigned long id = std::strtoul(line.c_str(), &end, 10);
            if (end != line.c_str() + tab) continue;
            strings[static_cast<unsigned>(id)] = Unescape(line.substr(tab + 1));
        }
    }

    std::lock_guard<std::mutex> g(m_lock);
    m_folder = folder;
    m_language = language;
    m_strings.swap(strings);
    m_wideStrings.clear();
    m_loaded = true;
    return true;
}

std::string ResourceLibrary::FindDefaultFolder()
{
    std::string prog = GetProgramFolder();
    for (const std::string& f : {prog + "arbresource/", prog + "../share/arbolite/arbresource/"})
        if (IsDir(f)) return f;
    return std::string();
}

bool ResourceLibrary::LoadDefault()
{
    std::string f = FindDefaultFolder();
    return !f.empty() && Load(f);
}

bool ResourceLibrary::IsLoaded() const
{
    std::lock_guard<std::mutex> g(m_lock);
    return m_loaded;
}

unsigned ResourceLibrary::GetLanguageId() const
{
    std::lock_guard<std::mutex> g(m_lock);
    return m_language;
}

std::string ResourceLibrary::GetFolder() const
{
    std::lock_guard<std::mutex> g(m_lock);
    return m_folder;
}

bool ResourceLibrary::LoadWideString(unsigned id, std::wstring& text) const
{
    std::lock_guard<std::mutex> g(m_lock);
    auto wide = m_wideStrings.find(id);
    if (wide == m_wideStrings.end()) {
        auto it = m_strings.find(id);
        if (it == m_strings.end() || it->second.empty()) return false;
        wide = m_wideStrings.emplace(id, Utf8ToWideString(it->second)).first;
    }
    text = wide->second;
    return true;
}

bool ResourceLibrary::LoadString(unsigned id, std::string& utf8) const
{
    std::lock_guard<std::mutex> g(m_lock);
    auto it = m_strings.find(id);
    if (it == m_strings.end() || it->second.empty()) return false;
    utf8 = it->second;
    return true;
}

bool ResourceLibrary::LoadResource(const std::string& type, unsigned id, std::string& bytes) const
{
    std::string folder;
    {
        std::lock_guard<std::mutex> g(m_lock);
        if (!m_loaded) return false;
        folder = m_folder;
    }
    std::string sub;
    for (char c : type) sub.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    std::string dir = folder + sub + "/";
    std::string stem = std::to_string(id);
    DIR* d = opendir(dir.c_str());
    if (!d) return false;
    std::string found;
    while (dirent* e = readdir(d)) {
        std::string name = e->d_name;
        if (name == stem || name.rfind(stem + ".", 0) == 0) {
            found = dir + name;
            break;
        }
    }
    closedir(d);
    std::string data;
    if (found.empty() || !ReadFile(found, data) || data.empty()) return false;
    bytes.swap(data);
    return true;
}

ResourceLibrary& ResourceLibrary::Current()
{
    static ResourceLibrary library;
    return library;
}

} // namespace platform
