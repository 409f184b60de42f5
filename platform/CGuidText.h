#pragma once
// Text forms of a GUID, formatted once and cached.
//   style 0  {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}
//   style 1  the same without braces
//   style 2  the 32 hex digits, upper case, no separators
//   style 3  the style-2 text cut to 31 digits (names a host's storage)

#include <memory>
#include <string>

#include "base/Guid.h"
#include "base/HResult.h"

class CGuidText {
public:
    CGuidText(const GUID* guid = nullptr, int style = 0);
    ~CGuidText();
    CGuidText(const CGuidText&) = delete;
    CGuidText& operator=(const CGuidText&) = delete;

    // Null when no GUID is set or the style is above 3.
    const wchar_t* GetString();

    void SetGuid(const GUID* guid);
    void SetStyle(int style);
    int GetStyle() const { return m_style; }

private:
    const GUID* m_guid;
    std::unique_ptr<std::wstring> m_text;
    int m_style;
};

// The 32 upper-case hex digits of a GUID.
HRESULT FormatGuidHex(const GUID* guid, std::wstring* out);
