// Offers the third interface and no converter.
#include "SamplePlugin.h"

namespace {

HRESULT Convert(const PluginValue*, unsigned char**, uint32_t*)
{
    return E_NOTIMPL;
}

} // namespace

SAMPLE_EXPORT HRESULT ArbolitePluginCreate(const char*, GUID* clsid, IUnknown** object)
{
    static const sample::Setup setup{L"Extension only", L"Offers the extension", L"ext@example.org",
                                     {L"labeledURI", L"description"}, {L"1.3.6.1.4.1.1466.115.121.1.15"}, true, false,
                                     true};
    return sample::Create({0x44444444u, 0xddddu, 0x4000u, {0x80, 0, 0, 0, 0, 0, 0, 0x04}}, setup, Convert, clsid,
                          object);
}
