#pragma once
// The summary page of several selected rows: how many servers, entries and
// attribute values, their total size, and what they have in common. Read
// from the nodes once, when the page is made.

#include <cstdint>
#include <string>
#include <vector>

class CDataObject;

class SelectionSummary {
public:
    enum Kind { Mixed, OnlyAttributes, OnlyEntries, OnlyServers };

    explicit SelectionSummary(const std::vector<CDataObject*>& nodes);

    int Servers() const { return m_servers; }
    int OpenedServers() const { return m_openedServers; }
    int Entries() const { return m_entries; }
    int Attributes() const { return m_attributes; }
    // Nodes of other kinds: counted, shown nowhere.
    int Others() const { return m_others; }
    // The sum of the known sizes (an unknown size adds nothing).
    uint64_t TotalSize() const { return m_totalSize; }
    Kind GetKind() const;

    // String 295 with the three counts.
    std::wstring SummaryText() const;
    // "<total> byte(s)".
    std::wstring SizeText() const;
    // String 297 and the kind's string, or string 305 for a mix.
    std::wstring KindText() const;
    // Where the first entry or value lies: the entry's parent DN, or the DN
    // of the value's entry; "RootDSE" when empty.
    std::wstring LocationText() const;
    // "<host> : <port>" of the first entry's or value's server.
    const std::wstring& ServerText() const { return m_server; }

private:
    void TakeLocation(const CDataObject& node, const std::string& dn);

    int m_servers = 0;
    int m_openedServers = 0;
    int m_entries = 0;
    int m_attributes = 0;
    int m_others = 0;
    uint64_t m_totalSize = 0;
    std::string m_location;
    std::wstring m_server;
};
