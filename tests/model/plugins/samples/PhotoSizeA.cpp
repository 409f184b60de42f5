// Handles "jpegPhoto": shows the photo's size, with the plug-in's mark.
#include <string>

#include "SamplePlugin.h"

namespace {

HRESULT Convert(const PluginValue* value, unsigned char** result, uint32_t* length)
{
    return sample::ReturnText("Photo A: " + std::to_string(value->length) + " bytes", result, length);
}

} // namespace

SAMPLE_EXPORT HRESULT ArbolitePluginCreate(const char*, GUID* clsid, IUnknown** object)
{
    static const sample::Setup setup{L"Photo sizes, first kind", L"Counts the bytes of a photo",
                                     L"photo-a@example.org", {L"jpegPhoto"}, {}, true, true, false};
    return sample::Create({0x11111111u, 0xaaaau, 0x4000u, {0x80, 0, 0, 0, 0, 0, 0, 0x01}}, setup, Convert, clsid,
                          object);
}
