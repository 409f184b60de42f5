// Loading and saving a profile's settings key.

#include "model/profiles/CServerProfile.h"

#include "base/Utf8.h"
#include "model/profiles/ProfilePassword.h"
#include "model/profiles/ProfileSubKeys.h"
#include "platform/RegistryKey.h"

using namespace arbldap;
using platform::RegistryKey;
using platform::RegRoot;

namespace {

const wchar_t* const kAttributesKey = L"\\Attributes";
const wchar_t* const kClientControlsKey = L"\\ClientControls";
const wchar_t* const kServerControlsKey = L"\\ServerControls";
const wchar_t* const kFavoritesKey = L"\\Favorites";
const wchar_t* const kExtraAttributesKey = L"\\ExtraOperationalAttributes";

std::string ReadUtf8(RegistryKey& key, const wchar_t* name)
{
    std::wstring text;
    return key.Read(name, text) ? WideToUtf8Text(text) : std::string();
}

} // namespace

bool CServerProfile::SaveProfile() const
{
    if (IsTeamProfile() || m_storageHeld) return true;
    const std::wstring path = GetKeyPath(true);
    bool ok;
    {
        RegistryKey key(RegRoot::CurrentUser, false);
        if (!key.CreateKey(path)) return false;
        const bool anonymous = m_anonymousBind != 0;
        std::string password;
        if (!anonymous && m_savePassword) password = EncodeStoredPassword(m_password, m_id);
        ok = key.Write(L"ProfileName", m_profileName);
        ok = key.Write(L"HostName", GetHostName()) && ok;
        ok = key.Write(L"Filter", Utf8ToWideString(m_filter)) && ok;
        ok = key.Write(L"Port", uint32_t(GetPort())) && ok;
        ok = key.Write(L"BaseDN", Utf8ToWideString(m_baseDN.GetText())) && ok;
        ok = key.Write(L"Version", uint32_t(m_version == 2 ? 2 : 3)) && ok;
        ok = key.Write(L"Timeout", uint32_t(m_options.GetTimeLimit())) && ok;
        ok = key.Write(L"SizeLimit", uint32_t(m_options.GetSizeLimit())) && ok;
        // Kept for version 2 too: dropping it would bind in the clear next time.
        ok = key.Write(L"UseSecureConnection", uint32_t(m_options.GetUseSSL() ? 1 : 0)) && ok;
        ok = key.Write(L"SavePassword", uint32_t(m_savePassword)) && ok;
        ok = key.Write(L"AnonymouseBind", uint32_t(m_anonymousBind)) && ok;
        ok = key.Write(L"UserDN", anonymous ? std::wstring() : Utf8ToWideString(m_userDN.GetText())) && ok;
        ok = key.Write(L"Password", Utf8ToWideString(password)) && ok;
        ok = key.Write(L"ReferralsOptions", uint32_t(m_options.GetChaseReferrals() ? 1 : 0)) && ok;
        ok = key.Write(L"DerefAliases", uint32_t(m_options.GetDeref())) && ok;
        ok = key.Write(L"Monitor DN", Utf8ToWideString(m_monitorDN.GetText())) && ok;
        ok = key.Write(L"ShowOperationalAttributes", uint32_t(m_showOperationalAttributes)) && ok;
        ok = key.Write(L"PasswordHistoryEnabled", uint32_t(m_passwordHistoryEnabled)) && ok;
    }
    ok = WriteNameListKey(path + kAttributesKey, m_attributes) && ok;
    ok = WriteControlListKey(path + kClientControlsKey, m_options.GetClientControls()) && ok;
    ok = WriteControlListKey(path + kServerControlsKey, m_options.GetServerControls()) && ok;
    ok = WriteFavoriteListKey(path + kFavoritesKey, m_favorites) && ok;
    ok = WriteNameListKey(path + kExtraAttributesKey, m_extraOperationalAttributes) && ok;
    return ok;
}

bool CServerProfile::SaveFavorites() const
{
    // The team directory has no key of its own; a lone "Favorites" key would
    // make an unloadable profile.
    if (IsTeamProfile() || m_storageHeld) return true;
    return WriteFavoriteListKey(GetKeyPath(true) + kFavoritesKey, m_favorites);
}

bool CServerProfile::DeleteProfile() const
{
    RegistryKey key(RegRoot::CurrentUser, false);
    return key.DeleteKey(GetKeyPath(true));
}

bool CServerProfile::LoadProfile()
{
    m_loadFailed = 0;
    const std::wstring path = GetKeyPath(true);
    {
        RegistryKey key(RegRoot::CurrentUser, true);
        std::wstring text;
        uint32_t number = 0;
        auto fail = [this]() {
            m_loadFailed = 1;
            return false;
        };

        if (!key.Open(path)) return fail();
        if (!key.Read(L"ProfileName", text)) return fail();
        m_profileName = text;
        if (!key.Read(L"HostName", text)) return fail();
        m_hostName = text;
        m_filter = ReadUtf8(key, L"Filter");
        if (!key.Read(L"Port", number)) return fail();
        m_port = static_cast<int>(number);
        m_baseDN = ReadUtf8(key, L"BaseDN");
        if (!key.Read(L"Version", number)) return fail();
        m_version = number == 2 ? 2 : 3;

        if (key.Read(L"Timeout", number)) m_options.SetTimeLimit(static_cast<int>(number));
        if (key.Read(L"SizeLimit", number)) m_options.SetSizeLimit(static_cast<int>(number));
        if (key.Read(L"UseSecureConnection", number)) m_options.SetUseSSL(number == 1);
        m_userDN = ReadUtf8(key, L"UserDN");
        m_password = DecodeStoredPassword(ReadUtf8(key, L"Password"), m_id);
        if (key.Read(L"SavePassword", number)) m_savePassword = static_cast<int32_t>(number);
        if (key.Read(L"AnonymouseBind", number)) m_anonymousBind = static_cast<int32_t>(number);
        if (key.Read(L"ReferralsOptions", number)) m_options.SetChaseReferrals(number == 1);
        if (key.Read(L"DerefAliases", number)) m_options.SetDeref(static_cast<int>(number));
        m_monitorDN = ReadUtf8(key, L"Monitor DN");
        if (key.Read(L"ShowOperationalAttributes", number)) m_showOperationalAttributes = static_cast<int32_t>(number);
        m_passwordHistoryEnabled = key.Read(L"PasswordHistoryEnabled", number) ? static_cast<int32_t>(number) : 0;
    }
    ReadNameListKey(path + kAttributesKey, m_attributes);
    std::unique_ptr<LDAPControlList> controls = ReadControlListKey(path + kClientControlsKey);
    m_options.SetClientControls(controls.get());
    controls = ReadControlListKey(path + kServerControlsKey);
    m_options.SetServerControls(controls.get());
    ReadFavoriteListKey(path + kFavoritesKey, m_favorites);
    ReadNameListKey(path + kExtraAttributesKey, m_extraOperationalAttributes);
    return true;
}
