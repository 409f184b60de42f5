#pragma once
// The values of one attribute, byte strings read as std::string_view. They
// are packed with the attribute's name into one record of a buffer that the
// attributes of one entry share, so an entry read from a server costs one
// allocation for all its names and values. Copies share the buffer; a change
// to a shared record copies that record first.

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string_view>
#include <vector>

#include "base/StringList.h"

namespace arbldap {

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
    LDAPValueList(LDAPValueList&& other) noexcept;
    LDAPValueList& operator=(const LDAPValueList& other) noexcept;
    LDAPValueList& operator=(LDAPValueList&& other) noexcept;
    ~LDAPValueList();

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

    // Collects the names and values of one entry, as views that must stay
    // valid until Pack, then packs them into one buffer that the lists it
    // hands out share.
    class Packer {
    public:
        Packer() = default;
        Packer(const Packer&) = delete;
        Packer& operator=(const Packer&) = delete;
        ~Packer() { Clear(); }

        void AddName(std::string_view name);        // starts the next list
        void AddValue(std::string_view value);      // to the last list started
        void Pack();
        size_t GetCount() const { return m_records.size(); }
        // The i-th list, with its name; only after Pack.
        LDAPValueList Get(size_t i) const;
        // Forgets everything, the packed buffer included.
        void Clear();

    private:
        struct Record {
            size_t firstView;  // the name; its values follow
            uint32_t count;
            uint32_t offset;   // in the packed buffer
        };
        std::vector<std::string_view> m_views;
        std::vector<Record> m_records;
        Buffer* m_buffer = nullptr;
    };

private:
    friend class LDAPAttribute;

    // A new list named name, with no values.
    explicit LDAPValueList(std::string_view name);
    LDAPValueList(Buffer* buffer, uint32_t offset, uint32_t count);

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
