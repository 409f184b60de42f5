// Lacks the information interface, so it is not loaded.
#include "SamplePlugin.h"

namespace {

HRESULT Convert(const PluginValue*, unsigned char**, uint32_t*)
{
    return E_NOTIMPL;
}

} // namespace

SAMPLE_EXPORT HRESULT ArbolitePluginCreate(const char*, GUID* clsid, IUnknown** object)
{
    static const sample::Setup setup{L"", L"", L"", {L"cn"}, {}, false, true, false};
    return sample::Create({0x55555555u, 0xeeeeu, 0x4000u, {0x80, 0, 0, 0, 0, 0, 0, 0x05}}, setup, Convert, clsid,
                          object);
}
