#include "installer/msi/TextOut.h"

namespace msi {
namespace {

template <class Char>
UINT Copy(const std::basic_string<Char>& text, Char* buffer, DWORD* count)
{
    if (!count) return buffer ? ERROR_INVALID_PARAMETER : ERROR_SUCCESS;
    DWORD room = *count;
    *count = static_cast<DWORD>(text.size());
    if (!buffer) return ERROR_SUCCESS;
    if (room <= text.size()) {
        if (room) {
            text.copy(buffer, room - 1);
            buffer[room - 1] = 0;
        }
        return ERROR_MORE_DATA;
    }
    text.copy(buffer, text.size());
    buffer[text.size()] = 0;
    return ERROR_SUCCESS;
}

} // namespace

UINT CopyOut(const std::string& text, char* buffer, DWORD* count)
{
    return Copy(text, buffer, count);
}

UINT CopyOut(const std::wstring& text, wchar_t* buffer, DWORD* count)
{
    return Copy(text, buffer, count);
}

} // namespace msi
