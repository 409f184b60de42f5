#pragma once
// A whole-file lock on a compound storage file, beside SQLite's own locks.
// Every process that has the file open keeps it shared for as long as it does;
// whoever replaces the file keeps it exclusive from its last look at the file
// until the new one is in place. So nobody opens the old file meanwhile, and a
// file somebody has open is never replaced under them. Internal to the
// compound storage.
//
// Closing any descriptor of a file drops every lock of the process on it,
// SQLite's included: a lock is released only once no connection of this
// process is left on that file (CompoundOpenFiles keeps one per file).

#include <string>

#include "schema/compound/CompoundStorage.h"

namespace platform {

class CompoundFileLock {
public:
    CompoundFileLock() = default;
    ~CompoundFileLock();
    CompoundFileLock(const CompoundFileLock&) = delete;
    CompoundFileLock& operator=(const CompoundFileLock&) = delete;

    // Locks the file path names, waiting a while for a holder of the other
    // kind. S_OK when held on the file that path names now;
    // STG_E_FILENOTFOUND when there is none, STG_E_LOCKVIOLATION when the
    // holders stay, STG_E_ACCESSDENIED when it cannot be opened.
    HRESULT Take(const std::string& path, bool exclusive);
    void Release();

    // A second lock on the held file, taken only while an opener that wants
    // the file to itself gets SQLite's lock on it: SQLite would let several
    // such openers hold it shared and each wait for the others to leave, so
    // none got it. S_OK when taken, S_FALSE when the file system has no such
    // locks (then openers go unordered), STG_E_LOCKVIOLATION when the turn
    // does not come within the wait. Ends at EndTurn or with the descriptor.
    HRESULT TakeTurn();
    void EndTurn();

    bool IsHeld() const { return m_fd >= 0; }
    // The whole content of the locked file.
    bool ReadAll(std::string& bytes) const;

private:
    int m_fd = -1;
};

} // namespace platform
