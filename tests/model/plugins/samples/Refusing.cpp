// A library whose entry gives no plug-in: a failure code, success without
// an object, or an exception, by the ProgID asked for.
#include <cstring>
#include <stdexcept>

#include "base/PluginContract.h"

extern "C" __attribute__((visibility("default"))) HRESULT ArbolitePluginCreate(const char* progId, GUID*,
                                                                                IUnknown** object)
{
    *object = nullptr;
    if (std::strcmp(progId, "Arb.Throwing") == 0)
        throw std::runtime_error("no plug-in here");
    if (std::strcmp(progId, "Arb.Nothing") == 0)
        return S_OK;
    return static_cast<HRESULT>(0x80070002u);
}
