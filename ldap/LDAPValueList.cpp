#include "ldap/LDAPValueList.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>
#include <stdexcept>

namespace arbldap {

// A record is the name's length and bytes, then each value's length and
// bytes; lengths are written in 7-bit groups, low group first, so that the
// short names and values of a directory take one byte for their length.
struct LDAPValueList::Buffer {
    std::atomic<uint32_t> refs{1};
    uint32_t size = 0;
    uint32_t capacity;
    // Holds one record, from 0 to size, which may grow in place while
    // unshared; an entry's buffer holds many and never grows.
    bool single;

    Buffer(uint32_t bytes, bool one, uint32_t references = 1) : refs(references), capacity(bytes), single(one) {}
    char* Data() { return reinterpret_cast<char*>(this + 1); }

    static Buffer* Create(size_t capacity, bool single, uint32_t references = 1)
    {
        if (capacity > UINT32_MAX)
            throw std::length_error("attribute values too large");
        void* memory = ::operator new(sizeof(Buffer) + capacity);
        return new (memory) Buffer(static_cast<uint32_t>(capacity), single, references);
    }
    void AddRef() { refs.fetch_add(1, std::memory_order_relaxed); }
    bool IsUnshared() const { return refs.load(std::memory_order_acquire) == 1; }
    static void Release(Buffer* buffer)
    {
        if (buffer && buffer->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) {
            buffer->~Buffer();
            ::operator delete(buffer);
        }
    }
};

namespace {

using valuecoding::GetLength;
using valuecoding::PutLength;

size_t LengthSize(size_t n)
{
    size_t size = 1;
    for (; n >= 0x80; n >>= 7)
        ++size;
    return size;
}

char* PutBytes(char* p, std::string_view bytes)
{
    p = PutLength(p, bytes.size());
    if (!bytes.empty())
        std::memcpy(p, bytes.data(), bytes.size());
    return p + bytes.size();
}

}  // namespace

void LDAPValueList::const_iterator::Load()
{
    if (m_left == 0) {
        m_value = std::string_view();
        return;
    }
    size_t length;
    const char* p = GetLength(m_next, length);
    m_value = std::string_view(p, length);
    m_next = p + length;
}

LDAPValueList::LDAPValueList(std::string_view name)
    : m_buffer(Buffer::Create(LengthSize(name.size()) + name.size(), true))
{
    m_buffer->size = static_cast<uint32_t>(PutBytes(m_buffer->Data(), name) - m_buffer->Data());
}

LDAPValueList::LDAPValueList(const LDAPValueList& other) noexcept
    : m_buffer(other.m_buffer), m_offset(other.m_offset), m_count(other.m_count)
{
    if (m_buffer)
        m_buffer->AddRef();
}

LDAPValueList& LDAPValueList::operator=(const LDAPValueList& other) noexcept
{
    if (other.m_buffer)
        other.m_buffer->AddRef();
    Buffer::Release(m_buffer);
    m_buffer = other.m_buffer;
    m_offset = other.m_offset;
    m_count = other.m_count;
    return *this;
}

LDAPValueList& LDAPValueList::operator=(LDAPValueList&& other) noexcept
{
    if (this != &other) {
        Buffer::Release(m_buffer);
        m_buffer = other.m_buffer;
        m_offset = other.m_offset;
        m_count = other.m_count;
        other.m_buffer = nullptr;
        other.m_offset = 0;
        other.m_count = 0;
    }
    return *this;
}

void LDAPValueList::Release(Buffer* buffer)
{
    Buffer::Release(buffer);
}

LDAPValueList::operator StringList() const
{
    StringList list;
    for (std::string_view value : *this)
        list.AddString(std::string(value));
    return list;
}

bool LDAPValueList::operator==(const LDAPValueList& other) const
{
    if (m_count != other.m_count)
        return false;
    if (m_count == 0)
        return true;
    // One encoding per list of values: equal bytes, equal values.
    const char* start = ValuesStart();
    const char* otherStart = other.ValuesStart();
    size_t length = RecordEnd() - start;
    return length == static_cast<size_t>(other.RecordEnd() - otherStart) &&
           std::memcmp(start, otherStart, length) == 0;
}

const char* LDAPValueList::RecordStart() const
{
    return m_buffer ? m_buffer->Data() + m_offset : nullptr;
}

std::string_view LDAPValueList::Name() const
{
    if (!m_buffer)
        return std::string_view();
    size_t length;
    const char* p = GetLength(RecordStart(), length);
    return std::string_view(p, length);
}

const char* LDAPValueList::ValuesStart() const
{
    std::string_view name = Name();
    return name.data() ? name.data() + name.size() : nullptr;
}

const char* LDAPValueList::RecordEnd() const
{
    const char* p = ValuesStart();
    size_t length;
    for (uint32_t i = 0; i < m_count; ++i) {
        p = GetLength(p, length);
        p += length;
    }
    return p;
}

void LDAPValueList::Reserve(size_t extra)
{
    if (m_buffer && m_buffer->single && m_buffer->IsUnshared()) {
        size_t used = m_buffer->size;
        if (m_buffer->capacity - used >= extra)
            return;
        // Doubling keeps a long run of additions linear.
        size_t capacity = std::max(used + extra, std::min<size_t>(2 * size_t(m_buffer->capacity), UINT32_MAX));
        Buffer* grown = Buffer::Create(capacity, true);
        std::memcpy(grown->Data(), m_buffer->Data(), used);
        grown->size = static_cast<uint32_t>(used);
        Buffer::Release(m_buffer);
        m_buffer = grown;
        return;
    }
    // Shared, or one of an entry's records: this record gets a buffer of its own.
    const char* start = RecordStart();
    size_t length = m_buffer ? RecordEnd() - start : 1;
    Buffer* own = Buffer::Create(length + extra, true);
    if (m_buffer)
        std::memcpy(own->Data(), start, length);
    else
        own->Data()[0] = 0;  // no name
    own->size = static_cast<uint32_t>(length);
    Buffer::Release(m_buffer);
    m_buffer = own;
    m_offset = 0;
}

void LDAPValueList::SetName(std::string_view name)
{
    const char* values = ValuesStart();
    size_t length = m_buffer ? RecordEnd() - values : 0;
    Buffer* renamed = Buffer::Create(LengthSize(name.size()) + name.size() + length, true);
    char* p = PutBytes(renamed->Data(), name);
    if (length)
        std::memcpy(p, values, length);
    renamed->size = static_cast<uint32_t>(p + length - renamed->Data());
    Buffer::Release(m_buffer);
    m_buffer = renamed;
    m_offset = 0;
}

void LDAPValueList::Add(std::string_view value)
{
    if (m_count == UINT32_MAX)
        throw std::length_error("too many attribute values");
    size_t bytes = LengthSize(value.size()) + value.size();
    if (m_buffer && m_buffer->size + bytes > UINT32_MAX)
        throw std::length_error("attribute values too large");
    Reserve(bytes);
    PutBytes(m_buffer->Data() + m_buffer->size, value);
    m_buffer->size += static_cast<uint32_t>(bytes);
    ++m_count;
}

void LDAPValueList::ClearValues()
{
    if (m_count == 0)
        return;
    if (m_buffer->single && m_buffer->IsUnshared()) {
        m_buffer->size = static_cast<uint32_t>(ValuesStart() - m_buffer->Data());
        m_count = 0;
        return;
    }
    *this = LDAPValueList(Name());
}

void LDAPValueList::Packer::Reserve(size_t bytes)
{
    if (m_bytes.size() - m_used >= bytes)
        return;
    if (bytes > UINT32_MAX - m_used)
        throw std::length_error("attribute values too large");
    m_bytes.resize(std::max(m_used + bytes, 2 * m_bytes.size()));
}

void LDAPValueList::Packer::AddName(std::string_view name, size_t valueBytes)
{
    Reserve(valuecoding::kMaxLengthSize + name.size() + valueBytes);
    m_records.push_back(Record{static_cast<uint32_t>(m_used), 0});
    m_used = PutBytes(m_bytes.data() + m_used, name) - m_bytes.data();
}

LDAPValueList::Buffer* LDAPValueList::Packer::Seal() const
{
    if (m_records.empty())
        return nullptr;
    Buffer* buffer = Buffer::Create(m_used, false, static_cast<uint32_t>(m_records.size()));
    std::memcpy(buffer->Data(), m_bytes.data(), m_used);
    buffer->size = static_cast<uint32_t>(m_used);
    return buffer;
}

void LDAPValueList::Packer::Clear()
{
    m_records.clear();
    m_used = 0;
}

} // namespace arbldap
