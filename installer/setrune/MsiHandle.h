#pragma once
// Owns one installer handle and closes it.

#include "installer/msi/Msi.h"

namespace setrune {

class MsiHandle {
public:
    MsiHandle() = default;
    explicit MsiHandle(MSIHANDLE h) : h_(h) {}
    ~MsiHandle() { MsiCloseHandle(h_); }
    MsiHandle(const MsiHandle&) = delete;
    MsiHandle& operator=(const MsiHandle&) = delete;

    operator MSIHANDLE() const { return h_; }
    // For functions that hand back a new handle; closes the one held.
    MSIHANDLE* Put()
    {
        MsiCloseHandle(h_);
        h_ = 0;
        return &h_;
    }

private:
    MSIHANDLE h_ = 0;
};

} // namespace setrune
