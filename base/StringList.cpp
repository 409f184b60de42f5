#include "base/StringList.h"

#include <algorithm>
#include <cstring>
#include <ostream>

#include "base/Utf8.h"
#include "base/ArchiveText.h"
#include "base/NoCase.h"
#include "base/Archive.h"

StringList::StringList(char** array)
{
    if (array)
        AssignFromArray(array);
}

void StringList::AssignFromArray(char** array)
{
    if (!array) return;
    for (char** p = array; *p; ++p)
        m_strings.emplace_back(*p);
}

StringList& StringList::AddString(const char* s)
{
    m_strings.emplace_back(s ? s : "");
    return *this;
}

void StringList::Append(const StringList& other)
{
    m_strings.insert(m_strings.end(), other.m_strings.begin(), other.m_strings.end());
}

void StringList::AppendUnique(const StringList& other)
{
    Append(other);
    SortUnique();
}

void StringList::SortUnique()
{
    m_strings.sort();
    m_strings.unique();
}

bool StringList::Contains(const std::string& s, bool ignoreCase) const
{
    if (!ignoreCase)
        return std::find(m_strings.begin(), m_strings.end(), s) != m_strings.end();
    for (const std::string& x : m_strings)
        if (StrICmp(x.c_str(), s.c_str()) == 0)
            return true;
    return false;
}

bool StringList::Remove(const std::string& s)
{
    for (auto it = m_strings.begin(); it != m_strings.end(); ++it) {
        if (StrICmp(it->c_str(), s.c_str()) == 0) {
            m_strings.erase(it);
            return true;
        }
    }
    return false;
}

char** StringList::ToCharArray() const
{
    if (m_strings.empty()) return nullptr;
    char** array = new char*[m_strings.size() + 1];
    size_t i = 0;
    for (const std::string& s : m_strings) {
        array[i] = new char[s.size() + 1];
        std::memcpy(array[i], s.data(), s.size());
        array[i][s.size()] = '\0';
        ++i;
    }
    array[i] = nullptr;
    return array;
}

void StringList::FreeCharArray(char** array)
{
    if (!array) return;
    for (char** p = array; *p; ++p)
        delete[] *p;
    delete[] array;
}

void StringList::Dump(std::wostream& os) const
{
    if (m_strings.empty()) {
        os << L"empty StringList";
        return;
    }
    for (const std::string& s : m_strings)
        os << Utf8ToWideString(s) << L", ";
}

CArchive& WriteStringList(CArchive& ar, const StringList& list)
{
    ar.WriteUInt32(static_cast<uint32_t>(list.GetCount()));
    for (const std::string& s : list)
        WriteStdString(ar, s);
    return ar;
}

CArchive& ReadStringList(CArchive& ar, StringList& list)
{
    uint32_t n = ar.ReadCount(4);  // each string takes at least its length field
    list.Clear();
    for (uint32_t i = 0; i < n; ++i) {
        std::string s;
        ReadStdString(ar, s);
        list.Add(std::move(s));
    }
    return ar;
}
