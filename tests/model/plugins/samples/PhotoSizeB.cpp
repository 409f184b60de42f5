// Also handles "jpegPhoto" (a conflict with the first kind); its name has a
// line feed, which the mapping sheet shows as a space.
#include <string>

#include "SamplePlugin.h"

namespace {

HRESULT Convert(const PluginValue* value, unsigned char** result, uint32_t* length)
{
    return sample::ReturnText("Photo B: " + std::to_string(value->length) + " bytes", result, length);
}

} // namespace

SAMPLE_EXPORT HRESULT ArbolitePluginCreate(const char*, GUID* clsid, IUnknown** object)
{
    static const sample::Setup setup{L"Photo sizes, second kind", L"Counts the bytes too", L"photo-b@example.org",
                                     {L"jpegPhoto", L"audio"}, {}, true, true, false};
    return sample::Create({0x22222222u, 0xbbbbu, 0x4000u, {0x80, 0, 0, 0, 0, 0, 0, 0x02}}, setup, Convert, clsid,
                          object);
}
