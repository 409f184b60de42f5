// The bytes of a stream, kept in chunks of kCompoundChunk bytes; a chunk that
// is missing, or shorter than the chunk size, reads as zeros.

#include <algorithm>
#include <cstring>
#include <sqlite3.h>

#include "schema/compound/CompoundFileCore.h"
#include "schema/compound/CompoundFileFormat.h"

namespace platform {

HRESULT CompoundFileCore::ReadBytes(int64_t id, uint64_t pos, uint64_t n, char* out)
{
    std::memset(out, 0, n);
    if (n == 0) return S_OK;
    SqliteStatement s(Db(), "SELECT idx, data FROM chunks WHERE element=? AND idx BETWEEN ? AND ?");
    s.Bind(1, id)
        .Bind(2, static_cast<int64_t>(pos / kCompoundChunk))
        .Bind(3, static_cast<int64_t>((pos + n - 1) / kCompoundChunk));
    int rc;
    while ((rc = s.Step()) == SQLITE_ROW) {
        uint64_t start = static_cast<uint64_t>(s.Int(0)) * kCompoundChunk;
        std::string data = s.Blob(1);
        uint64_t from = std::max(start, pos), to = std::min({start + data.size(), pos + n});
        if (from < to) std::memcpy(out + (from - pos), data.data() + (from - start), to - from);
    }
    return rc == SQLITE_DONE ? S_OK : StorageResult(rc, STG_E_READFAULT);
}

HRESULT CompoundFileCore::StoredBytes(int64_t id, uint64_t size, uint64_t& stored)
{
    stored = 0;
    // Chunks past the size (only a damaged file has them) hold nothing of the stream.
    SqliteStatement s(Db(), "SELECT coalesce(sum(min(length(data), ?2 - idx * ?3)), 0) FROM chunks "
                            "WHERE element=?1 AND idx < (?2 + ?3 - 1) / ?3");
    int rc = s.Bind(1, id).Bind(2, static_cast<int64_t>(size)).Bind(3, static_cast<int64_t>(kCompoundChunk)).Step();
    if (rc != SQLITE_ROW) return StorageResult(rc, STG_E_READFAULT);
    stored = static_cast<uint64_t>(s.Int(0));
    return S_OK;
}

HRESULT CompoundFileCore::WriteBytes(int64_t id, uint64_t size, uint64_t pos, const char* data, uint64_t n)
{
    uint64_t done = 0;
    while (done < n) {
        uint64_t at = pos + done;
        int64_t idx = static_cast<int64_t>(at / kCompoundChunk);
        uint64_t off = at % kCompoundChunk;
        uint64_t len = std::min(kCompoundChunk - off, n - done);
        std::string chunk;
        if (off != 0 || len != kCompoundChunk) {
            SqliteStatement old(Db(), "SELECT data FROM chunks WHERE element=? AND idx=?");
            int rc = old.Bind(1, id).Bind(2, idx).Step();
            if (rc == SQLITE_ROW)
                chunk = old.Blob(0);
            else if (rc != SQLITE_DONE)
                return StorageResult(rc, STG_E_READFAULT);
        }
        if (chunk.size() < off + len) chunk.resize(off + len, '\0');
        std::memcpy(&chunk[off], data + done, len);
        SqliteStatement put(Db(), "INSERT OR REPLACE INTO chunks(element, idx, data) VALUES(?, ?, ?)");
        int rc = put.Bind(1, id).Bind(2, idx).BindBlob(3, chunk).Step();
        if (rc != SQLITE_DONE) return StorageResult(rc, STG_E_WRITEFAULT);
        done += len;
    }
    if (pos + n > size) return SetSize(id, size, pos + n);
    return S_OK;
}

HRESULT CompoundFileCore::SetSize(int64_t id, uint64_t oldSize, uint64_t newSize)
{
    if (newSize < oldSize) {
        int64_t keep = static_cast<int64_t>((newSize + kCompoundChunk - 1) / kCompoundChunk);
        SqliteStatement drop(Db(), "DELETE FROM chunks WHERE element=? AND idx>=?");
        int rc = drop.Bind(1, id).Bind(2, keep).Step();
        if (rc != SQLITE_DONE) return StorageResult(rc, STG_E_WRITEFAULT);
        if (newSize % kCompoundChunk != 0) {
            // Cut the last chunk so that growing the stream again shows zeros.
            SqliteStatement cut(Db(),
                                "UPDATE chunks SET data=substr(data, 1, ?) WHERE element=? AND idx=? AND length(data)>?");
            int64_t rest = static_cast<int64_t>(newSize % kCompoundChunk);
            rc = cut.Bind(1, rest).Bind(2, id).Bind(3, keep - 1).Bind(4, rest).Step();
            if (rc != SQLITE_DONE) return StorageResult(rc, STG_E_WRITEFAULT);
        }
    }
    SqliteStatement s(Db(), "UPDATE elements SET size=? WHERE id=?");
    int rc = s.Bind(1, static_cast<int64_t>(newSize)).Bind(2, id).Step();
    return rc == SQLITE_DONE ? S_OK : StorageResult(rc, STG_E_WRITEFAULT);
}

} // namespace platform
