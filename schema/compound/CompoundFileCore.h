#pragma once
// One open compound storage file: its connection, its lock, the pending
// transaction of a transacted file and the element and stream-byte operations
// the handles call. Internal to the compound storage.
//
// Every call but Lock expects the caller to hold Lock(). The ones marked
// "inside Change" run only in the body given to Change.

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

#include "schema/compound/CompoundStorage.h"
#include "platform/SqliteStatement.h"

namespace platform {

class CompoundFileCore {
public:
    // key: the file's entry in CompoundOpenFiles, removed when the core goes.
    CompoundFileCore(SqliteDb db, std::string key, bool transacted, bool writable);
    ~CompoundFileCore();
    CompoundFileCore(const CompoundFileCore&) = delete;
    CompoundFileCore& operator=(const CompoundFileCore&) = delete;

    std::mutex& Lock() { return m_lock; }
    sqlite3* Db() const { return m_db.get(); }
    // The revert count: handles made before a revert are dead after it.
    uint64_t Epoch() const { return m_epoch; }

    // S_OK while the handle's element is alive and of that type; its size for streams.
    HRESULT Validate(int64_t id, uint64_t epoch, uint32_t type, uint64_t* size = nullptr);
    // The id of the element called name below parent: S_OK, STG_E_FILENOTFOUND
    // or the read failure; its type when asked.
    HRESULT FindChild(int64_t parent, const std::string& name, int64_t& id, uint32_t* type = nullptr);

    // Runs a change atomically: its own transaction on a direct file, a
    // savepoint inside the pending one on a transacted file.
    HRESULT Change(const std::function<HRESULT()>& body);
    HRESULT Commit();
    HRESULT Revert();

    // Inside Change. The element with everything below it.
    HRESULT DestroyTree(int64_t id);

    // Copies [pos, pos+n) of a stream; bytes never written read as 0.
    HRESULT ReadBytes(int64_t id, uint64_t pos, uint64_t n, char* out);
    // How many bytes of a stream of the given size its chunks hold.
    HRESULT StoredBytes(int64_t id, uint64_t size, uint64_t& stored);
    // Inside Change. Writes n bytes at pos into a stream of the given size.
    HRESULT WriteBytes(int64_t id, uint64_t size, uint64_t pos, const char* data, uint64_t n);
    // Inside Change.
    HRESULT SetSize(int64_t id, uint64_t oldSize, uint64_t newSize);

private:
    bool Lookup(int64_t id, uint32_t& type, uint64_t& size);

    std::mutex m_lock;
    SqliteDb m_db;
    std::string m_key;
    bool m_transacted;
    bool m_writable;
    bool m_inTransaction = false;
    uint64_t m_epoch = 0;
};

} // namespace platform
