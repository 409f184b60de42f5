// CStorage: elements below a storage, the path forms and the file's transaction.

#include <sqlite3.h>

#include "schema/compound/CompoundFileCore.h"
#include "schema/compound/CompoundFileFormat.h"
#include "schema/compound/CompoundStorage.h"
#include "platform/PathParts.h"

namespace platform {

CStorage::~CStorage() = default;

void CStorage::Close()
{
    m_core.reset();
    m_id = 0;
    m_epoch = 0;
    m_writable = false;
}

HRESULT CStorage::Check(bool write) const
{
    if (!m_core) return STG_E_INVALIDPOINTER;
    if (write && !m_writable) return STG_E_ACCESSDENIED;
    return m_core->Validate(m_id, m_epoch, STGTY_STORAGE);
}

HRESULT CStorage::MakeElement(const std::string& name, uint32_t mode, uint32_t type, int64_t& id, uint64_t& epoch)
{
    if (!m_core) return STG_E_INVALIDPOINTER;
    if (!ValidStorageMode(mode) || (mode & STGM_CONVERT)) return STG_E_INVALIDFLAG;
    if (!ValidElementName(name)) return STG_E_INVALIDNAME;
    if (!m_writable) return STG_E_ACCESSDENIED;
    std::lock_guard<std::mutex> g(m_core->Lock());
    HRESULT hr = Check(true);
    if (FAILED(hr)) return hr;
    CompoundFileCore& core = *m_core;
    epoch = core.Epoch();
    return core.Change([&]() -> HRESULT {
        int64_t existing = 0;
        HRESULT found = core.FindChild(m_id, name, existing);
        if (found == S_OK) {
            if (!(mode & STGM_CREATE)) return STG_E_FILEALREADYEXISTS;
            HRESULT drop = core.DestroyTree(existing);
            if (FAILED(drop)) return drop;
        } else if (found != STG_E_FILENOTFOUND) {
            return found;
        }
        int rc;
        SqliteStatement add(core.Db(), "INSERT INTO elements(parent, name, fold, type, size) VALUES(?, ?, ?, ?, 0)");
        rc = add.Bind(1, m_id).BindText(2, name).BindText(3, FoldElementName(name)).Bind(4, type).Step();
        if (rc != SQLITE_DONE) return StorageResult(rc, STG_E_WRITEFAULT);
        id = sqlite3_last_insert_rowid(core.Db());
        return S_OK;
    });
}

HRESULT CStorage::FindElement(const std::string& name, uint32_t mode, uint32_t type, int64_t& id, uint64_t& epoch)
{
    if (!m_core) return STG_E_INVALIDPOINTER;
    if (!ValidStorageMode(mode) || (mode & (STGM_CREATE | STGM_CONVERT))) return STG_E_INVALIDFLAG;
    if (!ValidElementName(name)) return STG_E_INVALIDNAME;
    if (WritableMode(mode) && !m_writable) return STG_E_ACCESSDENIED;
    std::lock_guard<std::mutex> g(m_core->Lock());
    HRESULT hr = Check(false);
    if (FAILED(hr)) return hr;
    uint32_t found = 0;
    hr = m_core->FindChild(m_id, name, id, &found);
    if (FAILED(hr)) return hr;
    if (found != type) return STG_E_FILENOTFOUND;
    epoch = m_core->Epoch();
    return S_OK;
}

template <class Handle>
HRESULT CStorage::MakeHandle(const std::string& name, uint32_t mode, uint32_t type, bool create, Handle& out)
{
    int64_t id = 0;
    uint64_t epoch = 0;
    HRESULT hr = create ? MakeElement(name, mode, type, id, epoch) : FindElement(name, mode, type, id, epoch);
    if (FAILED(hr)) return hr;
    Handle h;
    h.m_core = m_core;
    h.m_id = id;
    h.m_epoch = epoch;
    h.m_writable = WritableMode(mode);
    out = std::move(h);
    return S_OK;
}

HRESULT CStorage::CreateStorage(const std::string& name, uint32_t mode, CStorage& out)
{
    return MakeHandle(name, mode, STGTY_STORAGE, true, out);
}

HRESULT CStorage::OpenStorage(const std::string& name, uint32_t mode, CStorage& out)
{
    return MakeHandle(name, mode, STGTY_STORAGE, false, out);
}

HRESULT CStorage::CreateStream(const std::string& name, uint32_t mode, CStream& out)
{
    return MakeHandle(name, mode, STGTY_STREAM, true, out);
}

HRESULT CStorage::OpenStream(const std::string& name, uint32_t mode, CStream& out)
{
    return MakeHandle(name, mode, STGTY_STREAM, false, out);
}

HRESULT CStorage::DestroyElement(const std::string& name)
{
    if (!m_core) return STG_E_INVALIDPOINTER;
    if (!ValidElementName(name)) return STG_E_INVALIDNAME;
    std::lock_guard<std::mutex> g(m_core->Lock());
    HRESULT hr = Check(true);
    if (FAILED(hr)) return hr;
    CompoundFileCore& core = *m_core;
    return core.Change([&]() -> HRESULT {
        int64_t id = 0;
        HRESULT found = core.FindChild(m_id, name, id);
        return FAILED(found) ? found : core.DestroyTree(id);
    });
}

HRESULT CStorage::RenameElement(const std::string& oldName, const std::string& newName)
{
    if (!m_core) return STG_E_INVALIDPOINTER;
    if (!ValidElementName(oldName) || !ValidElementName(newName)) return STG_E_INVALIDNAME;
    std::lock_guard<std::mutex> g(m_core->Lock());
    HRESULT hr = Check(true);
    if (FAILED(hr)) return hr;
    CompoundFileCore& core = *m_core;
    return core.Change([&]() -> HRESULT {
        int64_t id = 0;
        HRESULT found = core.FindChild(m_id, oldName, id);
        if (FAILED(found)) return found;
        int rc;
        if (FoldElementName(oldName) != FoldElementName(newName)) {
            SqliteStatement clash(core.Db(), "SELECT 1 FROM elements WHERE parent=? AND fold=?");
            rc = clash.Bind(1, m_id).BindText(2, FoldElementName(newName)).Step();
            if (rc == SQLITE_ROW) return STG_E_FILEALREADYEXISTS;
            if (rc != SQLITE_DONE) return StorageResult(rc, STG_E_READFAULT);
        }
        SqliteStatement move(core.Db(), "UPDATE elements SET name=?, fold=? WHERE id=?");
        rc = move.BindText(1, newName).BindText(2, FoldElementName(newName)).Bind(3, id).Step();
        return rc == SQLITE_DONE ? S_OK : StorageResult(rc, STG_E_WRITEFAULT);
    });
}

HRESULT CStorage::EnumElements(std::vector<StorageElementInfo>& out) const
{
    out.clear();
    if (!m_core) return STG_E_INVALIDPOINTER;
    std::lock_guard<std::mutex> g(m_core->Lock());
    HRESULT hr = Check(false);
    if (FAILED(hr)) return hr;
    SqliteStatement s(m_core->Db(), "SELECT name, type, size FROM elements WHERE parent=? ORDER BY fold");
    s.Bind(1, m_id);
    int rc;
    while ((rc = s.Step()) == SQLITE_ROW) {
        StorageElementInfo info;
        info.name = s.Text(0);
        info.type = static_cast<uint32_t>(s.Int(1));
        info.size = info.type == STGTY_STREAM ? static_cast<uint64_t>(s.Int(2)) : 0;
        out.push_back(std::move(info));
    }
    if (rc != SQLITE_DONE) {
        out.clear();
        return StorageResult(rc, STG_E_READFAULT);
    }
    return S_OK;
}

HRESULT CStorage::OpenOrCreateStorage(CStorage& from, const std::string& name, uint32_t mode, CStorage& out)
{
    // Another thread may make the same storage between the two steps: then open that one.
    HRESULT hr = STG_E_FILENOTFOUND;
    for (int attempt = 0; attempt < 3; ++attempt) {
        hr = from.OpenStorage(name, mode, out);
        if (hr != STG_E_FILENOTFOUND) return hr;
        hr = from.CreateStorage(name, mode, out);
        if (hr != STG_E_FILEALREADYEXISTS) return hr;
    }
    return hr;
}

HRESULT CStorage::OpenStorageAt(const std::string& path, uint32_t mode, CStorage& out)
{
    std::vector<std::string> parts = SplitPathParts(path, '/');
    if (parts.empty()) return STG_E_INVALIDNAME;
    CStorage at;
    HRESULT hr = OpenStorage(parts[0], mode, at);
    for (size_t i = 1; SUCCEEDED(hr) && i < parts.size(); ++i) {
        CStorage next;
        hr = at.OpenStorage(parts[i], mode, next);
        at = std::move(next);
    }
    if (SUCCEEDED(hr)) out = std::move(at);
    return hr == STG_E_FILENOTFOUND && parts.size() > 1 ? STG_E_PATHNOTFOUND : hr;
}

HRESULT CStorage::CreateStorageAt(const std::string& path, uint32_t mode, CStorage& out)
{
    std::vector<std::string> parts = SplitPathParts(path, '/');
    if (parts.empty()) return STG_E_INVALIDNAME;
    uint32_t walk = mode & ~(STGM_CREATE | STGM_CONVERT);
    CStorage at;
    HRESULT hr = S_OK;
    for (size_t i = 0; i + 1 < parts.size() && SUCCEEDED(hr); ++i) {
        CStorage next;
        hr = OpenOrCreateStorage(i == 0 ? *this : at, parts[i], walk, next);
        at = std::move(next);
    }
    if (FAILED(hr)) return hr;
    return (parts.size() == 1 ? *this : at).CreateStorage(parts.back(), mode, out);
}

HRESULT CStorage::OpenStreamAt(const std::string& path, uint32_t mode, CStream& out)
{
    std::vector<std::string> parts = SplitPathParts(path, '/');
    if (parts.empty()) return STG_E_INVALIDNAME;
    if (parts.size() == 1) return OpenStream(parts[0], mode, out);
    std::string folder = path.substr(0, path.rfind('/'));
    CStorage at;
    HRESULT hr = OpenStorageAt(folder, mode & ~(STGM_CREATE | STGM_CONVERT), at);
    if (hr == STG_E_FILENOTFOUND) hr = STG_E_PATHNOTFOUND;
    return FAILED(hr) ? hr : at.OpenStream(parts.back(), mode, out);
}

HRESULT CStorage::CreateStreamAt(const std::string& path, uint32_t mode, CStream& out)
{
    std::vector<std::string> parts = SplitPathParts(path, '/');
    if (parts.empty()) return STG_E_INVALIDNAME;
    if (parts.size() == 1) return CreateStream(parts[0], mode, out);
    uint32_t walk = mode & ~(STGM_CREATE | STGM_CONVERT);
    CStorage at;
    HRESULT hr = S_OK;
    for (size_t i = 0; i + 1 < parts.size() && SUCCEEDED(hr); ++i) {
        CStorage next;
        hr = OpenOrCreateStorage(i == 0 ? *this : at, parts[i], walk, next);
        at = std::move(next);
    }
    return FAILED(hr) ? hr : at.CreateStream(parts.back(), mode, out);
}

HRESULT CStorage::Commit(uint32_t)
{
    if (!m_core) return STG_E_INVALIDPOINTER;
    std::lock_guard<std::mutex> g(m_core->Lock());
    HRESULT hr = Check(false);
    return FAILED(hr) ? hr : m_core->Commit();
}

HRESULT CStorage::Revert()
{
    if (!m_core) return STG_E_INVALIDPOINTER;
    std::lock_guard<std::mutex> g(m_core->Lock());
    HRESULT hr = Check(false);
    return FAILED(hr) ? hr : m_core->Revert();
}

} // namespace platform
