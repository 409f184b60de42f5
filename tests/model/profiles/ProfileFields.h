#pragma once
// Every stored field of a server profile, shown as text so two profiles can be
// compared field by field, and a profile whose every field differs from a new
// profile's.

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/Utf8.h"
#include "model/profiles/CServerProfile.h"
#include "base/Guid.h"

namespace profiletest {

struct ProfileField {
    const char* name;
    std::function<std::string(const CServerProfile&)> show;
};

inline std::string ShowList(const StringList& list)
{
    std::string out;
    for (const std::string& s : list) out += "[" + s + "]";
    return out;
}

inline std::string ShowControls(const arbldap::LDAPControlList* controls)
{
    if (!controls) return "none";
    std::string out;
    for (const arbldap::LDAPControl& c : *controls)
        out += "[" + c.GetOID() + " " + std::to_string(c.IsCritical()) + " " + std::to_string(c.IsEnabled()) + " " +
               std::to_string(c.GetValue().size()) + ":" + c.GetValue() + "]";
    return out;
}

inline std::string ShowFavorites(const CFavoriteList& list)
{
    std::string out;
    for (const CFavorite& f : list) out += "[" + f.GetText() + "=" + f.GetValue() + "]";
    return out;
}

inline const std::vector<ProfileField>& Fields()
{
    static const std::vector<ProfileField> fields = {
        {"profile name", [](const CServerProfile& p) { return WideToUtf8Text(p.GetProfileName()); }},
        {"host name", [](const CServerProfile& p) { return WideToUtf8Text(p.GetHostName()); }},
        {"port", [](const CServerProfile& p) { return std::to_string(p.GetPort()); }},
        {"version", [](const CServerProfile& p) { return std::to_string(p.GetVersion()); }},
        {"base DN", [](const CServerProfile& p) { return p.GetBaseDN().GetText(); }},
        {"anonymous bind", [](const CServerProfile& p) { return std::to_string(p.GetAnonymousBind()); }},
        {"password", [](const CServerProfile& p) { return p.GetPassword(); }},
        {"user DN", [](const CServerProfile& p) { return p.GetUserDN().GetText(); }},
        {"save password", [](const CServerProfile& p) { return std::to_string(p.GetSavePassword()); }},
        {"filter", [](const CServerProfile& p) { return p.GetFilter(); }},
        {"show operational", [](const CServerProfile& p) { return std::to_string(p.GetShowOperationalAttributes()); }},
        {"monitor DN", [](const CServerProfile& p) { return p.GetMonitorDN().GetText(); }},
        {"identity", [](const CServerProfile& p) { return WideToUtf8Text(GuidToString(p.GetId())); }},
        {"attributes", [](const CServerProfile& p) { return ShowList(p.GetAttributes()); }},
        {"extra operational", [](const CServerProfile& p) { return ShowList(p.GetExtraOperationalAttributes()); }},
        {"password history", [](const CServerProfile& p) { return std::to_string(p.IsPasswordHistoryEnabled()); }},
        {"favourites", [](const CServerProfile& p) { return ShowFavorites(p.GetFavorites()); }},
        {"time limit", [](const CServerProfile& p) { return std::to_string(p.GetOptions().GetTimeLimit()); }},
        {"size limit", [](const CServerProfile& p) { return std::to_string(p.GetOptions().GetSizeLimit()); }},
        {"chase referrals", [](const CServerProfile& p) { return std::to_string(p.GetOptions().GetChaseReferrals()); }},
        {"dereferencing", [](const CServerProfile& p) { return std::to_string(p.GetOptions().GetDeref()); }},
        {"SSL", [](const CServerProfile& p) { return std::to_string(p.GetOptions().GetUseSSL()); }},
        {"client controls", [](const CServerProfile& p) { return ShowControls(p.GetOptions().GetClientControls()); }},
        {"server controls", [](const CServerProfile& p) { return ShowControls(p.GetOptions().GetServerControls()); }},
    };
    return fields;
}

// The field of that name; the test support's own mistake when there is none.
inline const ProfileField& FieldNamed(const std::string& name)
{
    for (const ProfileField& f : Fields())
        if (name == f.name) return f;
    throw std::logic_error("no profile field named " + name);
}

// Every field away from its default. Version 2 with SSL on is a pairing that
// must survive storage. Controls are in OID order, the order the store lists
// sub-keys in.
inline void FillEveryField(CServerProfile& p)
{
    using arbldap::LDAPControl;
    using arbldap::LDAPControlList;
    p.SetProfileName(L"Directory \u00e9t\u00e9 \U0001F600");
    p.SetHostName(L"ldap.example.org");
    p.SetPort(10636);
    p.SetVersion(2);
    p.SetBaseDN(arbldap::LDAPDN("ou=People,dc=example,dc=org"));
    p.SetAnonymousBind(0);
    p.SetPassword(std::string("s\xC3\xA9kr\xC3\xA9t pw"));
    p.SetUserDN(arbldap::LDAPDN("cn=J\xC3\xBCrgen,ou=People,dc=example,dc=org"));
    p.SetSavePassword(1);
    p.SetFilter("(&(objectClass=person)(cn=*))");
    p.SetShowOperationalAttributes(0);
    p.SetMonitorDN(arbldap::LDAPDN("cn=Monitor,cn=config"));
    p.SetIdFromString(L"{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}");
    StringList attrs;
    attrs.Add("cn");
    attrs.Add("sn");
    attrs.Add("mail");
    attrs.Add("cn");
    p.SetAttributes(attrs);
    StringList extra;
    extra.Add("entryUUID");
    extra.Add("creatorsName");
    p.SetExtraOperationalAttributes(extra);
    p.SetPasswordHistoryEnabled(1);
    p.AddFavorite(CFavorite("Zulu", "ou=Zulu,dc=example,dc=org"));
    p.AddFavorite(CFavorite("alpha : beta", "ou=Alpha,dc=example,dc=org"));
    p.GetOptions().SetTimeLimit(5);
    p.GetOptions().SetSizeLimit(25);
    p.GetOptions().SetChaseReferrals(false);
    p.GetOptions().SetDeref(3);
    p.GetOptions().SetUseSSL(true);
    LDAPControlList client;
    client.Add(LDAPControl(std::string("1.2.3.4"), true, std::string("\0\x01\xFF", 3), false));
    p.GetOptions().SetClientControls(&client);
    LDAPControlList server;
    server.Add(LDAPControl(std::string("1.2.840.113556.1.4.319"), true, std::string("\x30\x05\x02\x01\x05\x04\x00", 7), true));
    server.Add(LDAPControl(std::string("2.16.840.1.113730.3.4.2"), false, std::string(), true));
    p.GetOptions().SetServerControls(&server);
}

// A message naming every field in which the two profiles differ.
inline std::string Differences(const CServerProfile& a, const CServerProfile& b)
{
    std::string out;
    for (const ProfileField& f : Fields())
        if (f.show(a) != f.show(b)) out += std::string(f.name) + ": '" + f.show(a) + "' vs '" + f.show(b) + "'\n";
    return out;
}

} // namespace profiletest
