#include "model/profiles/CServerProfile.h"

#include "base/Utf8.h"
#include "model/profiles/ProfileKeys.h"
#include "platform/GuidGen.h"
#include "platform/StringResource.h"

namespace {

const unsigned kNewProfileNameString = 698;

} // namespace

CServerProfile::CServerProfile() : m_id(platform::CreateGuid())
{
    m_options.SetTimeLimit(30);
    m_options.SetSizeLimit(1000);
    m_options.SetChaseReferrals(true);
    m_options.SetDeref(0);
    m_options.SetUseSSL(false);
    std::string name;
    LoadStringResource(kNewProfileNameString, name);
    m_profileName = Utf8ToWideString(name);
}

// A copy is a profile in its own right, whatever became of loading the original.
CServerProfile::CServerProfile(const CServerProfile& other)
    : m_options(other.m_options),
      m_profileName(other.m_profileName),
      m_hostName(other.m_hostName),
      m_port(other.m_port),
      m_version(other.m_version),
      m_baseDN(other.m_baseDN),
      m_anonymousBind(other.m_anonymousBind),
      m_password(other.m_password),
      m_userDN(other.m_userDN),
      m_savePassword(other.m_savePassword),
      m_filter(other.m_filter),
      m_showOperationalAttributes(other.m_showOperationalAttributes),
      m_monitorDN(other.m_monitorDN),
      m_id(other.m_id),
      m_attributes(other.m_attributes),
      m_extraOperationalAttributes(other.m_extraOperationalAttributes),
      m_passwordHistoryEnabled(other.m_passwordHistoryEnabled),
      m_favorites(other.m_favorites),
      m_loadFailed(0)
{
}

CServerProfile::~CServerProfile() = default;

void CServerProfile::SetId(uint32_t w0, uint32_t w1, uint32_t w2, uint32_t w3)
{
    unsigned char bytes[16];
    const uint32_t words[4] = {w0, w1, w2, w3};
    for (int i = 0; i < 16; ++i) bytes[i] = static_cast<unsigned char>(words[i / 4] >> (8 * (i % 4)));
    m_id = GuidFromBytes(bytes);
}

bool CServerProfile::SetIdFromString(const std::wstring& text)
{
    return GuidFromString(text, m_id);
}

std::wstring CServerProfile::GetKeyPath(bool withRoot) const
{
    std::wstring id = GuidToString(m_id);
    return withRoot ? kProfilesKey + id : id;
}

bool CServerProfile::IsTeamProfile() const
{
    return m_profileName == L"Tessaline Team";
}
