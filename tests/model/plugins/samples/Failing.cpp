// Handles "title", "roomNumber" and "cn" but gives nothing usable: "title"
// fails, "roomNumber" succeeds with no bytes, "cn" with a null result.
#include <cwchar>

#include "SamplePlugin.h"

namespace {

HRESULT Convert(const PluginValue* value, unsigned char** result, uint32_t* length)
{
    if (std::wcscmp(value->attributeName, L"roomNumber") == 0) return sample::ReturnText("", result, length);
    if (std::wcscmp(value->attributeName, L"cn") == 0) {
        *result = nullptr;
        *length = 5;
        return S_OK;
    }
    return E_FAIL;
}

} // namespace

SAMPLE_EXPORT HRESULT ArbolitePluginCreate(const char*, GUID* clsid, IUnknown** object)
{
    static const sample::Setup setup{L"Always fails", nullptr, nullptr, {L"title", L"roomNumber", L"cn"}, {},
                                     true, true, false};
    return sample::Create({0x77777777u, 0x1111u, 0x4000u, {0x80, 0, 0, 0, 0, 0, 0, 0x07}}, setup, Convert, clsid,
                          object);
}
