// CStream: reads, writes and sizes of one stream through its handle.

#include <algorithm>
#include <climits>

#include "schema/compound/CompoundFileCore.h"
#include "schema/compound/CompoundStorage.h"

namespace platform {

CStream::~CStream() = default;

void CStream::Close()
{
    m_core.reset();
    m_id = 0;
    m_epoch = 0;
    m_writable = false;
    m_position = 0;
}

HRESULT CStream::Read(void* buffer, uint32_t count, uint32_t* read)
{
    if (read) *read = 0;
    if (!m_core) return STG_E_INVALIDPOINTER;
    if (!buffer && count) return STG_E_INVALIDPOINTER;
    std::lock_guard<std::mutex> g(m_core->Lock());
    uint64_t size = 0;
    HRESULT hr = m_core->Validate(m_id, m_epoch, STGTY_STREAM, &size);
    if (FAILED(hr)) return hr;
    uint64_t n = m_position >= size ? 0 : std::min<uint64_t>(count, size - m_position);
    hr = m_core->ReadBytes(m_id, m_position, n, static_cast<char*>(buffer));
    if (FAILED(hr)) return hr;
    m_position += n;
    if (read) *read = static_cast<uint32_t>(n);
    return S_OK;
}

HRESULT CStream::Write(const void* data, uint32_t count, uint32_t* written)
{
    if (written) *written = 0;
    if (!m_core) return STG_E_INVALIDPOINTER;
    if (!data && count) return STG_E_INVALIDPOINTER;
    if (!m_writable) return STG_E_ACCESSDENIED;
    std::lock_guard<std::mutex> g(m_core->Lock());
    uint64_t size = 0;
    HRESULT hr = m_core->Validate(m_id, m_epoch, STGTY_STREAM, &size);
    if (FAILED(hr)) return hr;
    if (count == 0) return S_OK;
    CompoundFileCore& core = *m_core;
    hr = core.Change([&] { return core.WriteBytes(m_id, size, m_position, static_cast<const char*>(data), count); });
    if (FAILED(hr)) return hr;
    m_position += count;
    if (written) *written = count;
    return S_OK;
}

HRESULT CStream::Seek(int64_t move, uint32_t origin, uint64_t* newPosition)
{
    if (!m_core) return STG_E_INVALIDPOINTER;
    int64_t base = 0;
    switch (origin) {
    case STREAM_SEEK_SET: base = 0; break;
    case STREAM_SEEK_CUR: base = static_cast<int64_t>(m_position); break;
    case STREAM_SEEK_END: {
        uint64_t size = 0;
        HRESULT hr = GetSize(size);
        if (FAILED(hr)) return hr;
        base = static_cast<int64_t>(size);
        break;
    }
    default: return STG_E_INVALIDFUNCTION;
    }
    if ((move < 0 && base + move < 0) || (move > 0 && base > INT64_MAX - move)) return STG_E_INVALIDFUNCTION;
    m_position = static_cast<uint64_t>(base + move);
    if (newPosition) *newPosition = m_position;
    return S_OK;
}

HRESULT CStream::SetSize(uint64_t size)
{
    if (!m_core) return STG_E_INVALIDPOINTER;
    if (!m_writable) return STG_E_ACCESSDENIED;
    if (size > static_cast<uint64_t>(INT64_MAX)) return STG_E_INVALIDFUNCTION;
    std::lock_guard<std::mutex> g(m_core->Lock());
    uint64_t old = 0;
    HRESULT hr = m_core->Validate(m_id, m_epoch, STGTY_STREAM, &old);
    if (FAILED(hr)) return hr;
    if (old == size) return S_OK;
    CompoundFileCore& core = *m_core;
    return core.Change([&] { return core.SetSize(m_id, old, size); });
}

HRESULT CStream::GetSize(uint64_t& size) const
{
    size = 0;
    if (!m_core) return STG_E_INVALIDPOINTER;
    std::lock_guard<std::mutex> g(m_core->Lock());
    return m_core->Validate(m_id, m_epoch, STGTY_STREAM, &size);
}

HRESULT CStream::GetStoredSize(uint64_t& size) const
{
    size = 0;
    if (!m_core) return STG_E_INVALIDPOINTER;
    std::lock_guard<std::mutex> g(m_core->Lock());
    uint64_t claimed = 0;
    HRESULT hr = m_core->Validate(m_id, m_epoch, STGTY_STREAM, &claimed);
    return FAILED(hr) ? hr : m_core->StoredBytes(m_id, claimed, size);
}

HRESULT CStream::Clone(CStream& out) const
{
    if (!m_core) return STG_E_INVALIDPOINTER;
    {
        std::lock_guard<std::mutex> g(m_core->Lock());
        HRESULT hr = m_core->Validate(m_id, m_epoch, STGTY_STREAM);
        if (FAILED(hr)) return hr;
    }
    CStream s;
    s.m_core = m_core;
    s.m_id = m_id;
    s.m_epoch = m_epoch;
    s.m_writable = m_writable;
    s.m_position = m_position;
    out = std::move(s);
    return S_OK;
}

} // namespace platform
