#pragma once
// The host setrune's tests control: folders below a fresh temporary folder,
// files that refuse deletion, the platform, setup programs, libraries,
// version blocks, help calls, a fixed clock and the COM+ catalog.

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "installer/msi/LocalHost.h"
#include "tests/installer/setrune/FakeCatalog.h"

namespace setrunetest {

// A fresh folder, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
bool Exists(const std::string& path);
std::vector<std::string> FilesIn(const std::string& folder);

class TestHost : public msi::LocalHost {
public:
    // temp: root/Temp/, windows: root/Windows
    explicit TestHost(const std::string& root);

    unsigned PlatformId() override { return platformId; }
    msi::LocalTime Now() override { return now; }
    bool DeleteFile(const std::string& path) override;
    std::string ShortPath(const std::string& path) override { return "SHORT:" + path; }
    bool RunAndWait(const std::string& commandLine) override;
    void* LoadLibrary(const std::string& name) override;
    void* FindFunction(void* library, const std::string& name) override;
    void FreeLibrary(void* library) override;
    bool FileVersionBlock(const std::string& path, std::vector<unsigned char>* block) override;
    bool WinHelp(const std::string& helpFile, unsigned command, unsigned long data) override;
    bool InitializeOle() override { return oleWorks; }
    std::unique_ptr<msi::Catalog> CreateCatalog() override;

    std::string tempFolder, windowsFolder;

    unsigned platformId = VER_PLATFORM_WIN32_NT;
    msi::LocalTime now{2024, 3, 7, 9, 5};
    // File names (the part after the last separator) that cannot be deleted.
    std::set<std::string> locked;

    struct Run {
        std::string commandLine;
        std::string program;  // the file's bytes while it ran
    };
    bool programsStart = true;
    std::vector<Run> runs;

    // Library name -> function name -> address.
    std::map<std::string, std::map<std::string, void*>> libraries;
    int librariesLoaded = 0, librariesFreed = 0;

    // By installer path.
    std::map<std::string, std::vector<unsigned char>> versionBlocks;

    struct Help {
        std::string file;
        unsigned command;
        unsigned long data;
    };
    std::vector<Help> helpCalls;

    bool oleWorks = true;
    bool catalogWorks = true;
    CatalogState catalog;
};

} // namespace setrunetest
