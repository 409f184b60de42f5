#pragma once
// The texts that the toolbar's combo boxes leave for their command before
// they send it (the filter text of 32922), by command id.

#include <cstdint>
#include <map>
#include <string>

class CCommandTextMap {
public:
    // Stored trimmed of white space at both ends, replacing an earlier text.
    void Store(uint32_t command, const std::wstring& text);
    // False when nothing was stored for the command.
    bool Lookup(uint32_t command, std::wstring& text) const;

private:
    std::map<uint32_t, std::wstring> m_texts;
};

std::wstring TrimWhiteSpace(const std::wstring& text);
