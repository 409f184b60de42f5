#include "platform/SharedLibrary.h"

#include <dlfcn.h>

namespace platform {

namespace {

std::string LastDlError(const char* fallback)
{
    const char* text = dlerror();
    return text ? text : fallback;
}

} // namespace

SharedLibrary::~SharedLibrary()
{
    Close();
}

bool SharedLibrary::Open(const std::string& path, std::string& error)
{
    Close();
    if (path.empty()) {
        error = "no library path is registered";
        return false;
    }
    if (path[0] != '/') {
        error = path + ": the library path is not absolute";
        return false;
    }
    dlerror();
    m_handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!m_handle) {
        error = LastDlError("the library cannot be loaded");
        return false;
    }
    return true;
}

void* SharedLibrary::Symbol(const char* name, std::string& error) const
{
    if (!m_handle) {
        error = "the library is not loaded";
        return nullptr;
    }
    dlerror();
    void* address = dlsym(m_handle, name);
    if (!address) error = LastDlError("the symbol is not exported");
    return address;
}

void SharedLibrary::Close()
{
    if (m_handle) dlclose(m_handle);
    m_handle = nullptr;
}

} // namespace platform
