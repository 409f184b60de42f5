#pragma once
// The sample plug-ins the tests register, by ProgID, name and library.

#include <cstring>
#include <string>
#include <vector>

#include "model/plugins/PluginRegistry.h"

namespace plugintest {

inline std::wstring SamplePath(const char* sample)
{
    return std::wstring(ARB_SAMPLE_PLUGIN_DIR L"/sample_plugin_") + std::wstring(sample, sample + strlen(sample)) +
           L".so";
}

struct Sample {
    const wchar_t* progId;
    const wchar_t* name;
    const char* library;
};

// ProgIDs chosen so that their order differs from their names' ("Arb.Empty" is "Quiet").
inline const std::vector<Sample>& Samples()
{
    static const std::vector<Sample> samples{
        {L"Arb.PhotoA", L"Photo A", "PhotoSizeA"},     {L"Arb.PhotoB", L"Photo\nB", "PhotoSizeB"},
        {L"Arb.Time", L"Readable time", "GeneralizedTime"}, {L"Arb.Ext", L"Extension", "Extension"},
        {L"Arb.NoInfo", L"No info", "NoInfo"},          {L"Arb.Empty", L"Quiet", "EmptyLists"},
        {L"Arb.Failing", L"Failing", "Failing"},        {L"Arb.NoEntry", L"No entry", "NoEntry"},
        {L"Arb.Refusing", L"Refusing", "Refusing"},     {L"Arb.Nothing", L"Nothing", "Refusing"},
        {L"Arb.Throwing", L"Throwing", "Refusing"},
    };
    return samples;
}

inline bool RegisterSample(const wchar_t* progId)
{
    for (const Sample& sample : Samples())
        if (std::wstring(sample.progId) == progId)
            return RegisterPlugin({sample.progId, sample.name, SamplePath(sample.library)});
    return false;
}

// The CLSIDs the samples give, as the lookup tables store them.
constexpr const wchar_t* kPhotoAClsid = L"{11111111-AAAA-4000-8000-000000000001}";
constexpr const wchar_t* kPhotoBClsid = L"{22222222-BBBB-4000-8000-000000000002}";
constexpr const wchar_t* kTimeClsid = L"{33333333-CCCC-4000-8000-000000000003}";

} // namespace plugintest
