// Handles nothing and says nothing: null texts, empty lists.
#include "SamplePlugin.h"

namespace {

HRESULT Convert(const PluginValue*, unsigned char**, uint32_t*)
{
    return E_NOTIMPL;
}

} // namespace

SAMPLE_EXPORT HRESULT ArbolitePluginCreate(const char*, GUID* clsid, IUnknown** object)
{
    static const sample::Setup setup{nullptr, nullptr, nullptr, {}, {}, true, true, false};
    return sample::Create({0x66666666u, 0xffffu, 0x4000u, {0x80, 0, 0, 0, 0, 0, 0, 0x06}}, setup, Convert, clsid,
                          object);
}
