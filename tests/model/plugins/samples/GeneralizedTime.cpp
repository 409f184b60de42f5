// Handles the Generalized Time syntax: "20240102030405Z" is shown as
// "2024-01-02 03:04:05 UTC".
#include <cctype>
#include <string>

#include "SamplePlugin.h"

namespace {

HRESULT Convert(const PluginValue* value, unsigned char** result, uint32_t* length)
{
    std::string text(reinterpret_cast<const char*>(value->bytes), value->length);
    if (text.size() < 14) return E_INVALIDARG;
    for (size_t i = 0; i < 14; ++i)
        if (!std::isdigit(static_cast<unsigned char>(text[i]))) return E_INVALIDARG;
    std::string shown = text.substr(0, 4) + "-" + text.substr(4, 2) + "-" + text.substr(6, 2) + " " +
                        text.substr(8, 2) + ":" + text.substr(10, 2) + ":" + text.substr(12, 2) +
                        (text.back() == 'Z' ? " UTC" : "");
    return sample::ReturnText(shown, result, length);
}

} // namespace

SAMPLE_EXPORT HRESULT ArbolitePluginCreate(const char*, GUID* clsid, IUnknown** object)
{
    static const sample::Setup setup{L"Readable times", L"Generalized Time as a date", L"",
                                     {}, {L"1.3.6.1.4.1.1466.115.121.1.24"}, true, true, false};
    return sample::Create({0x33333333u, 0xccccu, 0x4000u, {0x80, 0, 0, 0, 0, 0, 0, 0x03}}, setup, Convert, clsid,
                          object);
}
