#pragma once
// Compound storage: a tree of storages and byte streams kept in one SQLite
// file (the schema cache). Element names are compared ignoring ASCII case, at
// most 31 characters, without '/', '\\', ':' or '!'; a path names elements
// joined by '/'.
//
// A file opened direct (the default) writes every call as one transaction. A
// file opened transacted keeps all changes since the last Commit in one
// transaction: Commit makes them durable, Revert (or closing without Commit)
// drops them and invalidates the handles opened below the root.
//
// Handles are cheap values that keep the file open. One handle is used by one
// thread at a time (a stream handle owns its seek position); any number of
// handles on any threads may work on one file: its calls are serialised.
//
// A file that is not a store is never fatal: OpenFile reports
// STG_E_INVALIDHEADER, CreateFile with STGM_CREATE replaces it, with
// STGM_CONVERT keeps its bytes in a stream "CONTENTS", and OpenOrReplaceFile
// takes it as an empty store. A file somebody has open is never replaced:
// STG_E_SHAREVIOLATION when this process holds it, STG_E_LOCKVIOLATION when
// another does.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/HResult.h"

constexpr HRESULT STG_E_INVALIDFUNCTION = static_cast<HRESULT>(0x80030001u);
constexpr HRESULT STG_E_PATHNOTFOUND = static_cast<HRESULT>(0x80030003u);
constexpr HRESULT STG_E_INVALIDPOINTER = static_cast<HRESULT>(0x80030009u);
constexpr HRESULT STG_E_SHAREVIOLATION = static_cast<HRESULT>(0x80030020u);
constexpr HRESULT STG_E_LOCKVIOLATION = static_cast<HRESULT>(0x80030021u);
constexpr HRESULT STG_E_FILEALREADYEXISTS = static_cast<HRESULT>(0x80030050u);
constexpr HRESULT STG_E_INVALIDPARAMETER = static_cast<HRESULT>(0x80030057u);
constexpr HRESULT STG_E_MEDIUMFULL = static_cast<HRESULT>(0x80030070u);
constexpr HRESULT STG_E_INVALIDHEADER = static_cast<HRESULT>(0x800300FBu);
constexpr HRESULT STG_E_INVALIDNAME = static_cast<HRESULT>(0x800300FCu);
constexpr HRESULT STG_E_INVALIDFLAG = static_cast<HRESULT>(0x800300FFu);
constexpr HRESULT STG_E_REVERTED = static_cast<HRESULT>(0x80030102u);
constexpr HRESULT STG_S_CONVERTED = static_cast<HRESULT>(0x00030200u);

namespace platform {

// Access and creation flags, with the values of the structured-storage ones.
enum : uint32_t {
    STGM_READ = 0x00000000u,
    STGM_WRITE = 0x00000001u,
    STGM_READWRITE = 0x00000002u,
    STGM_SHARE_DENY_NONE = 0x00000040u,
    STGM_SHARE_DENY_READ = 0x00000030u,
    STGM_SHARE_DENY_WRITE = 0x00000020u,
    STGM_SHARE_EXCLUSIVE = 0x00000010u,
    STGM_DIRECT = 0x00000000u,
    STGM_TRANSACTED = 0x00010000u,
    STGM_FAILIFTHERE = 0x00000000u,
    STGM_CREATE = 0x00001000u,
    STGM_CONVERT = 0x00020000u,
};

enum : uint32_t { STGC_DEFAULT = 0 };
enum : uint32_t { STGTY_STORAGE = 1, STGTY_STREAM = 2 };
enum : uint32_t { STREAM_SEEK_SET = 0, STREAM_SEEK_CUR = 1, STREAM_SEEK_END = 2 };

// Longest element name.
constexpr size_t kMaxElementName = 31;

struct StorageElementInfo {
    std::string name;
    uint32_t type = 0;  // STGTY_STORAGE or STGTY_STREAM
    uint64_t size = 0;  // streams: byte count

    bool operator==(const StorageElementInfo& o) const { return name == o.name && type == o.type && size == o.size; }
};

class CompoundFileCore;

class CStream {
public:
    CStream() = default;
    CStream(CStream&&) noexcept = default;
    CStream& operator=(CStream&&) noexcept = default;
    CStream(const CStream&) = delete;
    CStream& operator=(const CStream&) = delete;
    ~CStream();

    bool IsOpen() const { return m_core != nullptr; }
    void Close();

    // Up to count bytes from the seek position; fewer at the end. read may be null.
    HRESULT Read(void* buffer, uint32_t count, uint32_t* read);
    // Writes at the seek position, growing the stream as needed. written may be null.
    HRESULT Write(const void* data, uint32_t count, uint32_t* written);
    // Moves the seek position; a position before the start is STG_E_INVALIDFUNCTION.
    HRESULT Seek(int64_t move, uint32_t origin, uint64_t* newPosition);
    // Grows with zero bytes or cuts; the seek position stays.
    HRESULT SetSize(uint64_t size);
    HRESULT GetSize(uint64_t& size) const;
    // How many of the stream's bytes the file holds, at most its size. The
    // rest was never written (a SetSize that grew the stream, a write past its
    // end): it reads as zeros and takes no room, so a size read from a file
    // need not be backed by anything.
    HRESULT GetStoredSize(uint64_t& size) const;
    uint64_t GetPosition() const { return m_position; }

    // A second handle on the same stream with its own seek position (copied).
    HRESULT Clone(CStream& out) const;

private:
    friend class CStorage;
    std::shared_ptr<CompoundFileCore> m_core;
    int64_t m_id = 0;
    uint64_t m_epoch = 0;
    bool m_writable = false;
    uint64_t m_position = 0;
};

class CStorage {
public:
    CStorage() = default;
    CStorage(CStorage&&) noexcept = default;
    CStorage& operator=(CStorage&&) noexcept = default;
    CStorage(const CStorage&) = delete;
    CStorage& operator=(const CStorage&) = delete;
    ~CStorage();

    // A new file. Without STGM_CREATE or STGM_CONVERT an existing file gives
    // STG_E_FILEALREADYEXISTS; STGM_CREATE replaces it with an empty store;
    // STGM_CONVERT keeps its bytes in a stream "CONTENTS" and answers
    // STG_S_CONVERTED. The mode must allow writing.
    static HRESULT CreateFile(const std::string& path, uint32_t mode, CStorage& root);
    // An existing file: STG_E_FILENOTFOUND when missing, STG_E_INVALIDHEADER
    // when it is not a store, STG_E_LOCKVIOLATION or STG_E_SHAREVIOLATION when
    // another holder excludes this one.
    static HRESULT OpenFile(const std::string& path, uint32_t mode, CStorage& root);
    // Opens the file, creating it when missing and replacing it with an empty
    // store when it is not one (S_FALSE then). A store another process makes
    // in its place meanwhile is opened, not replaced.
    static HRESULT OpenOrReplaceFile(const std::string& path, uint32_t mode, CStorage& root);
    // True when the file is a readable store.
    static bool IsStorageFile(const std::string& path);

    bool IsOpen() const { return m_core != nullptr; }
    void Close();

    // Without STGM_CREATE an existing element of that name gives
    // STG_E_FILEALREADYEXISTS; with it, the element is destroyed first.
    HRESULT CreateStorage(const std::string& name, uint32_t mode, CStorage& out);
    HRESULT OpenStorage(const std::string& name, uint32_t mode, CStorage& out);
    HRESULT CreateStream(const std::string& name, uint32_t mode, CStream& out);
    HRESULT OpenStream(const std::string& name, uint32_t mode, CStream& out);
    // A storage is destroyed with everything below it.
    HRESULT DestroyElement(const std::string& name);
    HRESULT RenameElement(const std::string& oldName, const std::string& newName);
    // The direct children, ordered by name ignoring case.
    HRESULT EnumElements(std::vector<StorageElementInfo>& out) const;

    // Path forms: "a/b/c" below this storage. The Create forms make the
    // storages on the way when they are missing.
    HRESULT OpenStorageAt(const std::string& path, uint32_t mode, CStorage& out);
    HRESULT CreateStorageAt(const std::string& path, uint32_t mode, CStorage& out);
    HRESULT OpenStreamAt(const std::string& path, uint32_t mode, CStream& out);
    HRESULT CreateStreamAt(const std::string& path, uint32_t mode, CStream& out);

    // The file's one transaction, whichever storage of it is asked. Direct
    // files have nothing pending: S_OK.
    HRESULT Commit(uint32_t flags = STGC_DEFAULT);
    HRESULT Revert();

private:
    static HRESULT OpenCore(const std::string& path, uint32_t mode, CStorage& root);
    // A new file where none is; STG_E_FILEALREADYEXISTS when one appeared.
    static HRESULT CreateNewFile(const std::string& path, uint32_t mode, CStorage& root);
    // Puts a new store in place of the existing file, the old bytes in
    // "CONTENTS" when converting. With onlyForeign, a file that is a store by
    // now stays: S_FALSE, nothing opened.
    static HRESULT ReplaceFile(const std::string& path, uint32_t mode, bool convert, bool onlyForeign, CStorage& root);
    static HRESULT OpenOrCreateStorage(CStorage& from, const std::string& name, uint32_t mode, CStorage& out);
    HRESULT Check(bool write) const;
    // The element's id and the file's revert count, read under the file's lock.
    HRESULT MakeElement(const std::string& name, uint32_t mode, uint32_t type, int64_t& id, uint64_t& epoch);
    HRESULT FindElement(const std::string& name, uint32_t mode, uint32_t type, int64_t& id, uint64_t& epoch);
    template <class Handle>
    HRESULT MakeHandle(const std::string& name, uint32_t mode, uint32_t type, bool create, Handle& out);

    std::shared_ptr<CompoundFileCore> m_core;
    int64_t m_id = 0;
    uint64_t m_epoch = 0;
    bool m_writable = false;
};

} // namespace platform
