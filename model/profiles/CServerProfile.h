#pragma once
// A stored connection profile: the server, how to bind, search defaults and
// controls, the attributes to show and the favourite DNs. Each profile lives
// in its own settings key under "Software\Vellumar\Arbolite\Profiles\", named
// by the profile's GUID. Narrow texts are UTF-8; the password is held in
// clear text in memory only.

#include <cstdint>
#include <string>

#include "base/Guid.h"
#include "base/StringList.h"
#include "ldap/LDAPDN.h"
#include "ldap/LDAPOperationOptions.h"
#include "model/profiles/CFavoriteList.h"

class CServerProfile {
public:
    // The defaults of a new profile and a fresh GUID.
    CServerProfile();
    // Copies everything but the load-failed flag and the storage hold, which
    // start clear.
    CServerProfile(const CServerProfile& other);
    CServerProfile& operator=(const CServerProfile&) = delete;
    virtual ~CServerProfile();

    virtual std::wstring GetHostName() const { return m_hostName; }
    virtual int GetPort() const { return m_port; }

    const std::wstring& GetProfileName() const { return m_profileName; }
    void SetProfileName(const std::wstring& name) { m_profileName = name; }
    void SetHostName(const std::wstring& host) { m_hostName = host; }
    void SetPort(int port) { m_port = port; }
    int GetVersion() const { return m_version; }
    void SetVersion(int version) { m_version = version; }
    const arbldap::LDAPDN& GetBaseDN() const { return m_baseDN; }
    void SetBaseDN(const arbldap::LDAPDN& dn) { m_baseDN = dn; }
    const arbldap::LDAPDN& GetUserDN() const { return m_userDN; }
    void SetUserDN(const arbldap::LDAPDN& dn) { m_userDN = dn; }
    const arbldap::LDAPDN& GetMonitorDN() const { return m_monitorDN; }
    void SetMonitorDN(const arbldap::LDAPDN& dn) { m_monitorDN = dn; }
    const std::string& GetPassword() const { return m_password; }
    void SetPassword(const std::string& password) { m_password = password; }
    const std::string& GetFilter() const { return m_filter; }
    void SetFilter(const std::string& filter) { m_filter = filter; }
    int32_t GetSavePassword() const { return m_savePassword; }
    void SetSavePassword(int32_t save) { m_savePassword = save; }
    int32_t GetAnonymousBind() const { return m_anonymousBind; }
    void SetAnonymousBind(int32_t anonymous) { m_anonymousBind = anonymous; }
    int32_t GetShowOperationalAttributes() const { return m_showOperationalAttributes; }
    void SetShowOperationalAttributes(int32_t show) { m_showOperationalAttributes = show; }
    int32_t IsPasswordHistoryEnabled() const { return m_passwordHistoryEnabled; }
    void SetPasswordHistoryEnabled(int32_t enabled) { m_passwordHistoryEnabled = enabled; }
    const StringList& GetAttributes() const { return m_attributes; }
    void SetAttributes(const StringList& names) { m_attributes = names; }
    const StringList& GetExtraOperationalAttributes() const { return m_extraOperationalAttributes; }
    void SetExtraOperationalAttributes(const StringList& names) { m_extraOperationalAttributes = names; }

    const CFavoriteList& GetFavorites() const { return m_favorites; }
    void SetFavorites(const CFavoriteList& favorites) { m_favorites.Assign(favorites); }
    void AddFavorite(const CFavorite& favorite) { m_favorites.Add(favorite); }
    void ClearFavorites() { m_favorites.Clear(); }

    GUID GetId() const { return m_id; }
    // The GUID from its four 32-bit words in memory order.
    void SetId(uint32_t w0, uint32_t w1, uint32_t w2, uint32_t w3);
    // From the braced text; false, with the GUID unchanged, when it is not one.
    bool SetIdFromString(const std::wstring& text);

    // The connection options, used directly by whoever opens a connection.
    arbldap::LDAPOperationOptions& GetOptions() { return m_options; }
    const arbldap::LDAPOperationOptions& GetOptions() const { return m_options; }

    // "Software\Vellumar\Arbolite\Profiles\{GUID}", or "{GUID}" alone.
    std::wstring GetKeyPath(bool withRoot) const;
    // The built-in team directory: never stored.
    bool IsTeamProfile() const;

    // Reads the profile's key; false, with the load-failed flag set, when the
    // key or one of its required values is missing.
    bool LoadProfile();
    // Writes the values and rewrites the attribute, control, favourite and
    // extra attribute sub-keys (not the templates). False when a write failed.
    bool SaveProfile() const;
    // Rewrites only the favourites sub-key.
    bool SaveFavorites() const;
    // Removes the key with everything below it.
    bool DeleteProfile() const;
    int32_t IsLoadFailed() const { return m_loadFailed; }

    // A profile still being made (the new-profile wizard's) is held: saving
    // it stores nothing and reports success, so a page applied inside the
    // wizard leaves no key behind when the wizard is cancelled. Whoever
    // takes the finished profile saves a copy, which is not held.
    void SetStorageHeld(bool held) { m_storageHeld = held; }
    bool IsStorageHeld() const { return m_storageHeld; }

private:
    arbldap::LDAPOperationOptions m_options;
    std::wstring m_profileName;
    std::wstring m_hostName = L"localhost";
    int m_port = 389;
    int m_version = 3;
    arbldap::LDAPDN m_baseDN;
    int32_t m_anonymousBind = 0;
    std::string m_password;
    arbldap::LDAPDN m_userDN;
    int32_t m_savePassword = 0;
    std::string m_filter = "(objectClass=*)";
    int32_t m_showOperationalAttributes = 1;
    arbldap::LDAPDN m_monitorDN{"cn=monitor"};
    GUID m_id;
    StringList m_attributes;
    StringList m_extraOperationalAttributes;
    int32_t m_passwordHistoryEnabled = 0;
    CFavoriteList m_favorites;
    int32_t m_loadFailed = 0;
    bool m_storageHeld = false;
};
