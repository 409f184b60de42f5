#pragma once
// The installer's rule for handing back a text: see Msi.h.

#include <string>

#include "installer/msi/Msi.h"

namespace msi {

UINT CopyOut(const std::string& text, char* buffer, DWORD* count);
UINT CopyOut(const std::wstring& text, wchar_t* buffer, DWORD* count);

} // namespace msi
