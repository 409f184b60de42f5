#pragma once
// What custom actions reach outside the installation: folders, files,
// programs, libraries, version blocks, help and the COM+ catalog. The host
// of the installer provides it; tests fill it with their own.
//
// Paths are the installer's: '\\' separates folders (LocalHost maps it to
// '/'); a folder from TempFolder ends with a separator.

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "installer/msi/Catalog.h"

namespace msi {

class HostFile {
public:
    virtual ~HostFile() = default;
    // All of the bytes, or false.
    virtual bool Write(const void* data, size_t size) = 0;
    // Up to size bytes; *got is how many. False on an error.
    virtual bool Read(void* data, size_t size, size_t* got) = 0;
};

enum class OpenMode {
    CreateAlways,  // write, emptied or made
    OpenExisting,  // read
    Append,        // write at the end, made when missing
};

struct LocalTime {
    int year, month, day, hour, minute;
};

#define VER_PLATFORM_WIN32_WINDOWS 1u
#define VER_PLATFORM_WIN32_NT 2u
#define HELP_CONTEXT 1u

class Host {
public:
    virtual ~Host() = default;

    virtual std::string TempFolder() = 0;
    virtual std::string WindowsFolder() = 0;
    virtual unsigned PlatformId() = 0;
    virtual LocalTime Now() = 0;

    // Null when it cannot be opened; *created tells whether Append made it.
    virtual std::unique_ptr<HostFile> OpenFile(const std::string& path, OpenMode mode, bool* created = nullptr) = 0;
    // A file that did not exist before, made in folder as prefix, a unique
    // part and suffix; its path in *path. Null when none can be made.
    virtual std::unique_ptr<HostFile> CreateTempFile(const std::string& folder, const std::string& prefix,
                                                     const std::string& suffix, std::string* path) = 0;
    // Names of the files in a folder.
    virtual std::vector<std::string> ListFolder(const std::string& folder) = 0;
    virtual bool DeleteFile(const std::string& path) = 0;
    // Adds the file to the list deleted at the next start of the system.
    virtual bool DeleteAtReboot(const std::string& path) = 0;
    virtual std::string ShortPath(const std::string& path) = 0;
    virtual bool RemoveFolder(const std::string& path) = 0;

    // Starts a program and waits for its end; false when it could not start.
    virtual bool RunAndWait(const std::string& commandLine) = 0;

    // Null when the library or the function is not there.
    virtual void* LoadLibrary(const std::string& name) = 0;
    virtual void* FindFunction(void* library, const std::string& name) = 0;
    virtual void FreeLibrary(void* library) = 0;

    // The raw version block of a file; false when it has none.
    virtual bool FileVersionBlock(const std::string& path, std::vector<unsigned char>* block) = 0;

    virtual bool WinHelp(const std::string& helpFile, unsigned command, unsigned long data) = 0;

    virtual bool InitializeOle() = 0;
    virtual void UninitializeOle() = 0;
    // Null when the catalog cannot be created.
    virtual std::unique_ptr<Catalog> CreateCatalog() = 0;
};

} // namespace msi
