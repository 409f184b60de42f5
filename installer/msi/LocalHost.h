#pragma once
// The host over this machine's own files: real folders and files, an
// in-memory delete-at-reboot list; no setup program, library, version block,
// help or COM+ catalog is available. Tests derive from it.

#include <mutex>

#include "installer/msi/Host.h"

namespace msi {

class LocalHost : public Host {
public:
    // Folders in the host's own form; both end with '/'.
    LocalHost(std::string tempFolder, std::string windowsFolder);
    // $TMPDIR (else /tmp) for both.
    LocalHost();

    // An installer path in the file system's form: '\\' becomes '/'.
    static std::string NativePath(const std::string& path);

    std::string TempFolder() override { return temp_; }
    std::string WindowsFolder() override { return windows_; }
    unsigned PlatformId() override { return VER_PLATFORM_WIN32_NT; }
    LocalTime Now() override;

    std::unique_ptr<HostFile> OpenFile(const std::string& path, OpenMode mode, bool* created) override;
    std::unique_ptr<HostFile> CreateTempFile(const std::string& folder, const std::string& prefix,
                                             const std::string& suffix, std::string* path) override;
    std::vector<std::string> ListFolder(const std::string& folder) override;
    bool DeleteFile(const std::string& path) override;
    bool DeleteAtReboot(const std::string& path) override;
    std::string ShortPath(const std::string& path) override { return path; }
    bool RemoveFolder(const std::string& path) override;

    bool RunAndWait(const std::string&) override { return false; }
    void* LoadLibrary(const std::string&) override { return nullptr; }
    void* FindFunction(void*, const std::string&) override { return nullptr; }
    void FreeLibrary(void*) override {}
    bool FileVersionBlock(const std::string&, std::vector<unsigned char>*) override { return false; }
    bool WinHelp(const std::string&, unsigned, unsigned long) override { return false; }
    bool InitializeOle() override { return true; }
    void UninitializeOle() override {}
    std::unique_ptr<Catalog> CreateCatalog() override { return nullptr; }

    std::vector<std::string> DeletesAtReboot() const;

private:
    std::string temp_, windows_;
    mutable std::mutex rebootMutex_;
    std::vector<std::string> rebootDeletes_;
};

} // namespace msi
