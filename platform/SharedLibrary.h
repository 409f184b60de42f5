#pragma once
// A shared library loaded for as long as the object lives (dlopen with
// RTLD_NOW | RTLD_LOCAL). Whatever came from it must be gone before it is
// destroyed.

#include <string>

namespace platform {

class SharedLibrary {
public:
    SharedLibrary() = default;
    ~SharedLibrary();
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    // Loads the library at an absolute path; false with the system's text of
    // the failure in error. A relative path is refused: it would be searched
    // for along the library path.
    bool Open(const std::string& path, std::string& error);
    // The address of an exported symbol; null with the system's text.
    void* Symbol(const char* name, std::string& error) const;
    bool IsOpen() const { return m_handle != nullptr; }
    void Close();

private:
    void* m_handle = nullptr;
};

} // namespace platform
