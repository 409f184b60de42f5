#pragma once
// The installer's handle table: every session, database, view and record a
// custom action holds is one entry until it is closed.

#include <cstddef>
#include <memory>
#include <mutex>

#include "installer/msi/Msi.h"

namespace msi {

class HandleObject {
public:
    virtual ~HandleObject() = default;
};

// Held by every entry point of the installer layer while it works.
std::recursive_mutex& LayerMutex();

MSIHANDLE AddHandle(std::shared_ptr<HandleObject> object);
bool CloseHandle(MSIHANDLE handle);
std::shared_ptr<HandleObject> FindHandle(MSIHANDLE handle);

template <class T>
std::shared_ptr<T> Find(MSIHANDLE handle)
{
    return std::dynamic_pointer_cast<T>(FindHandle(handle));
}

// Open handles other than sessions: what an action leaves open leaks.
size_t OpenHandleCount();

} // namespace msi
