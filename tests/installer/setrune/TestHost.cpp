#include "tests/installer/setrune/TestHost.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <stdexcept>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace setrunetest {

TempDir::TempDir()
{
    std::string pattern = (fs::temp_directory_path() / "setrune-XXXXXX").string();
    if (!::mkdtemp(&pattern[0])) throw std::runtime_error("mkdtemp");
    path_ = pattern;
}

TempDir::~TempDir()
{
    std::error_code ec;
    fs::remove_all(path_, ec);
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(msi::LocalHost::NativePath(path), std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(msi::LocalHost::NativePath(path), std::ios::binary);
    out << bytes;
}

bool Exists(const std::string& path)
{
    return fs::exists(msi::LocalHost::NativePath(path));
}

std::vector<std::string> FilesIn(const std::string& folder)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(msi::LocalHost::NativePath(folder), ec))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TestHost::TestHost(const std::string& root)
    : LocalHost(root + "/Temp/", root + "/Windows"), tempFolder(root + "/Temp/"), windowsFolder(root + "/Windows")
{
    fs::create_directories(tempFolder);
    fs::create_directories(windowsFolder);
}

bool TestHost::DeleteFile(const std::string& path)
{
    std::string native = NativePath(path);
    if (locked.count(native.substr(native.rfind('/') + 1))) return false;
    return LocalHost::DeleteFile(path);
}

bool TestHost::RunAndWait(const std::string& commandLine)
{
    if (!programsStart) return false;
    std::string program;
    if (commandLine.size() > 1 && commandLine[0] == '"')
        program = ReadFile(commandLine.substr(1, commandLine.find('"', 1) - 1));
    runs.push_back({commandLine, program});
    return true;
}

void* TestHost::LoadLibrary(const std::string& name)
{
    auto it = libraries.find(name);
    if (it == libraries.end()) return nullptr;
    ++librariesLoaded;
    return &it->second;
}

void* TestHost::FindFunction(void* library, const std::string& name)
{
    auto& functions = *static_cast<std::map<std::string, void*>*>(library);
    auto it = functions.find(name);
    return it == functions.end() ? nullptr : it->second;
}

void TestHost::FreeLibrary(void*)
{
    ++librariesFreed;
}

bool TestHost::FileVersionBlock(const std::string& path, std::vector<unsigned char>* block)
{
    auto it = versionBlocks.find(path);
    if (it == versionBlocks.end()) return false;
    *block = it->second;
    return true;
}

bool TestHost::WinHelp(const std::string& helpFile, unsigned command, unsigned long data)
{
    helpCalls.push_back({helpFile, command, data});
    return true;
}

std::unique_ptr<msi::Catalog> TestHost::CreateCatalog()
{
    if (!catalogWorks) return nullptr;
    return std::make_unique<FakeCatalog>(catalog);
}

} // namespace setrunetest
