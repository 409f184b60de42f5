#include "model/profiles/CAppConfig.h"

#include <vector>

#include "model/values/WideArchiveString.h"
#include "platform/RegistryKey.h"

using platform::RegistryKey;
using platform::RegRoot;

namespace {

const wchar_t* const kSettingsKey = L"Software\\Vellumar\\Arbolite\\Settings\\";
const wchar_t* const kOptionsValue = L"AppOptions";

} // namespace

void CAppConfig::SetDefaults()
{
    const int32_t defaults[12] = {1, 1, 1, 14, 0, 1, 0, 1, 30, 0, 1, 0};
    for (int i = 0; i < 12; ++i) *m_stored[i] = defaults[i];
    m_strProxyHost.clear();
    m_nProxyPort = 0;
}

void CAppConfig::Serialize(CArchive& ar)
{
    if (ar.IsStoring())
        Store(ar);
    else
        Restore(ar);
}

void CAppConfig::Store(CArchive& ar) const
{
    for (const auto* field : m_stored) ar.WriteInt32(*field);
    WriteWideArchiveString(ar, m_strProxyHost);
    ar.WriteInt32(m_nProxyPort);
}

void CAppConfig::Restore(CArchive& ar)
{
    for (auto* field : m_stored) *field = ar.ReadInt32();
    ReadWideArchiveString(ar, m_strProxyHost);
    m_nProxyPort = ar.ReadInt32();
}

std::string CAppConfig::ToBytes() const
{
    CArchive ar;
    Store(ar);
    return ar.GetBuffer();
}

bool CAppConfig::Load()
{
    RegistryKey key(RegRoot::CurrentUser, true);
    std::vector<uint8_t> bytes;
    if (key.Open(kSettingsKey) && key.Read(kOptionsValue, bytes) && key.GetLastType() == platform::REG_BINARY) {
        try {
            CArchive ar(std::string(bytes.begin(), bytes.end()));
            Serialize(ar);
            return true;
        } catch (const CArchiveException&) {
        }
    }
    SetDefaults();
    return false;
}

bool CAppConfig::Save() const
{
    const std::string bytes = ToBytes();
    RegistryKey key(RegRoot::CurrentUser, false);
    return key.CreateKey(kSettingsKey) && key.WriteBinary(kOptionsValue, bytes.data(), bytes.size());
}

CAppConfig& GetAppConfig()
{
    static CAppConfig config;
    return config;
}
