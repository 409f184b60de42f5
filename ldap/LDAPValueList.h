#pragma once
// The values of one attribute, byte strings read as std::string_view. They
// are packed with the attribute's name into one record of a buffer that the
// attributes of one entry share, so an entry read from a server costs one
// allocation for all its names and values. Copies share the buffer; a change
// to a shared record copies that record first.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <string_view>
#include <vector>

#include "base/StringList.h"

namespace arbldap {

namespace valuecoding {

// A length takes 7 bits a byte, low bits first, the high bit set on every
// byte but the last: one byte for the short names and values of a directory.
constexpr size_t kMaxLengthSize = 5;  // of a length below 2^32

inline char* PutLength(char* p, size_t n)
{
    for (; n >= 0x80; n >>= 7)
        *p++ = static_cast<char>(n | 0x80);
    *p++ = static_cast<char>(n);
    return p;
}

inline const char* GetLength(const char* p, size_t& n)
{
    auto c = static_cast<unsigned char>(*p++);
    n = c & 0x7F;
    for (unsigned shift = 7; c & 0x80; shift += 7) {
        c = static_cast<unsigned char>(*p++);
        n |= static_cast<size_t>(c & 0x7F) << shift;
    }
    return p;
}

}  // namespace valuecoding

class LDAPValueList {
    struct Buffer;  // a reference count, then the records

public:
    class const_iterator {
    public:
        typedef std::forward_iterator_tag iterator_category;
        typedef std::string_view value_type;
        typedef std::ptrdiff_t difference_type;
        typedef const std::string_view* pointer;
        typedef const std::string_view& reference;

        const_iterator() = default;
        reference operator*() const { return m_value; }
        pointer operator->() const { return &m_value; }
        const_iterator& operator++()
        {
            --m_left;
            Load();
            return *this;
        }
        const_iterator operator++(int)
        {
            const_iterator before = *this;
            ++*this;
            return before;
        }
        // Iterators of one list differ in the values they have left.
        bool operator==(const const_iterator& other) const { return m_left == other.m_left; }
        bool operator!=(const const_iterator& other) const { return m_left != other.m_left; }

    private:
        friend class LDAPValueList;
        const_iterator(const char* next, uint32_t left) : m_next(next), m_left(left) { Load(); }
        void Load();

        const char* m_next = nullptr;  // the length of the value after m_value
        uint32_t m_left = 0;           // values from m_value on
        std::string_view m_value;
    };
    typedef const_iterator iterator;

    LDAPValueList() = default;
    LDAPValueList(const LDAPValueList& other) noexcept;
    LDAPValueList(LDAPValueList&& other) noexcept
        : m_buffer(other.m_buffer), m_offset(other.m_offset), m_count(other.m_count)
    {
        other.m_buffer = nullptr;
        other.m_offset = 0;
        other.m_count = 0;
    }
    LDAPValueList& operator=(const LDAPValueList& other) noexcept;
    LDAPValueList& operator=(LDAPValueList&& other) noexcept;
    ~LDAPValueList()
    {
        if (m_buffer)
            Release(m_buffer);
    }

    size_t GetCount() const { return m_count; }
    bool IsEmpty() const { return m_count == 0; }

    const_iterator begin() const { return const_iterator(ValuesStart(), m_count); }
    const_iterator end() const { return const_iterator(); }
    const_iterator Begin() const { return begin(); }
    const_iterator End() const { return end(); }

    // A copy of the values as a StringList, for code that keeps them so.
    operator StringList() const;

    // The same values, byte for byte, in the same order.
    bool operator==(const LDAPValueList& other) const;
    bool operator!=(const LDAPValueList& other) const { return !(*this == other); }

    // Packs the names and values of one entry into one buffer that the
    // lists it hands out share.
    class Packer {
    public:
        Packer() = default;
        Packer(const Packer&) = delete;
        Packer& operator=(const Packer&) = delete;
        ~Packer() = default;

        // Starts the next list; valueBytes, the bytes its values are
        // expected to take, saves growing the room on the way.
        void AddName(std::string_view name, size_t valueBytes = 0);
        // Adds a value to the last list started.
        void AddValue(std::string_view value)
        {
            if (m_bytes.size() - m_used < valuecoding::kMaxLengthSize + value.size())
                Reserve(valuecoding::kMaxLengthSize + value.size());
            char* p = valuecoding::PutLength(m_bytes.data() + m_used, value.size());
            if (!value.empty())
                std::memcpy(p, value.data(), value.size());
            m_used = p + value.size() - m_bytes.data();
            ++m_records.back().count;
        }
        size_t GetCount() const { return m_records.size(); }
        // Hands each list, in order and with its name, to take, which must
        // not throw; then forgets them.
        template <class Take>
        void Pack(Take&& take)
        {
            Buffer* buffer = Seal();
            for (const Record& record : m_records)
                take(LDAPValueList(buffer, record.offset, record.count));
            Clear();
        }
        void Clear();

    private:
        struct Record {
            uint32_t offset;
            uint32_t count;
        };
        void Reserve(size_t bytes);
        // A buffer holding the records with one reference per record.
        Buffer* Seal() const;

        std::vector<Record> m_records;
        std::vector<char> m_bytes;  // the room, filled up to m_used
        size_t m_used = 0;
    };

private:
    friend class LDAPAttribute;

    // A new list named name, with no values.
    explicit LDAPValueList(std::string_view name);
    // Takes over one reference to buffer.
    LDAPValueList(Buffer* buffer, uint32_t offset, uint32_t count)
        : m_buffer(buffer), m_offset(offset), m_count(count)
    {
    }
    static void Release(Buffer* buffer);

    std::string_view Name() const;
    void SetName(std::string_view name);
    void Add(std::string_view value);
    void ClearValues();

    const char* RecordStart() const;
    const char* ValuesStart() const;
    const char* RecordEnd() const;
    // Makes this the only list in a buffer of its own with room for extra
    // more bytes.
    void Reserve(size_t extra);

    Buffer* m_buffer = nullptr;  // null: no name, no values
    uint32_t m_offset = 0;
    uint32_t m_count = 0;
};

} // namespace arbldap
