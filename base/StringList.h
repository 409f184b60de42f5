#pragma once
// Ordered list of byte strings: attribute names and values (text or binary),
// schema name lists, referral texts.

#include <iosfwd>
#include <list>
#include <string>

class CArchive;

class StringList {
public:
    typedef std::list<std::string>::iterator iterator;
    typedef std::list<std::string>::const_iterator const_iterator;

    StringList() = default;
    StringList(const StringList&) = default;
    StringList(StringList&&) = default;
    // Every string of a NULL-terminated array; null gives an empty list.
    explicit StringList(char** array);
    StringList& operator=(const StringList&) = default;
    StringList& operator=(StringList&&) = default;
    ~StringList() = default;

    void Add(const std::string& s) { m_strings.push_back(s); }
    // Appends every string of a NULL-terminated array (the list is not emptied).
    void AssignFromArray(char** array);
    StringList& AddString(char* s) { return AddString(static_cast<const char*>(s)); }
    StringList& AddString(const char* s);
    StringList& AddString(const std::string& s) { Add(s); return *this; }
    StringList& AddString(std::string&& s) { m_strings.push_back(std::move(s)); return *this; }

    size_t GetCount() const { return m_strings.size(); }
    bool IsEmpty() const { return m_strings.empty(); }

    iterator Begin() { return m_strings.begin(); }
    iterator End() { return m_strings.end(); }
    const_iterator Begin() const { return m_strings.begin(); }
    const_iterator End() const { return m_strings.end(); }
    iterator begin() { return m_strings.begin(); }
    iterator end() { return m_strings.end(); }
    const_iterator begin() const { return m_strings.begin(); }
    const_iterator end() const { return m_strings.end(); }

    // The last string; the list must not be empty.
    std::string& Back() { return m_strings.back(); }
    const std::string& Back() const { return m_strings.back(); }

    void Clear() { m_strings.clear(); }
    void Assign(const StringList& other) { m_strings = other.m_strings; }
    void Append(const StringList& other);
    void AppendUnique(const StringList& other);
    // Sorts by bytes, then drops exact duplicates (case variants both stay).
    void SortUnique();

    // ignoreCase folds ASCII letters only and compares up to the first zero byte.
    bool Contains(const std::string& s, bool ignoreCase = false) const;
    // Removes the first string equal ignoring ASCII case.
    bool Remove(const std::string& s);

    // NULL-terminated array of zero-terminated copies; null for an empty list.
    // Free it only with FreeCharArray.
    char** ToCharArray() const;
    static void FreeCharArray(char** array);

    // Each string followed by ", "; "empty StringList" when there is none.
    void Dump(std::wostream& os) const;

    bool operator==(const StringList& other) const { return m_strings == other.m_strings; }
    bool operator!=(const StringList& other) const { return m_strings != other.m_strings; }

private:
    std::list<std::string> m_strings;
};

CArchive& WriteStringList(CArchive& ar, const StringList& list);
// Empties the list, then reads the stored strings; a damaged archive throws
// CArchiveException and leaves the strings read so far.
CArchive& ReadStringList(CArchive& ar, StringList& list);
