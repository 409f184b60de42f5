#pragma once
// The compound storage files this process holds open, so that it neither
// opens one twice against an exclusive holder nor replaces one under its own
// feet, and their file locks towards other processes. Keys are canonical
// paths. Internal to the compound storage.

#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "schema/compound/CompoundFileLock.h"

namespace platform {

class CompoundOpenFiles {
public:
    static CompoundOpenFiles& Instance();

    // The canonical name of an existing file, so one file has one key however it is named.
    static std::string Key(const std::string& path);

    // False when an exclusive holder is there, or when an exclusive one asks and any is.
    bool Add(const std::string& key, bool exclusive);
    // After Add: the shared file lock of the process on the file, taken by
    // the first holder and kept until the last is removed.
    HRESULT HoldFileLock(const std::string& key);
    // After HoldFileLock: the opener's turn among those of any process (see
    // CompoundFileLock::TakeTurn), awaited without keeping others here waiting.
    HRESULT TakeTurn(const std::string& key);
    void EndTurn(const std::string& key);
    void Remove(const std::string& key);
    bool IsOpen(const std::string& key) const;

private:
    CompoundFileLock* HeldLock(const std::string& key) const;

    struct Entry {
        int count = 0;
        bool exclusive = false;
        std::unique_ptr<CompoundFileLock> fileLock;
    };
    mutable std::mutex m_lock;
    std::map<std::string, Entry> m_files;
};

} // namespace platform
