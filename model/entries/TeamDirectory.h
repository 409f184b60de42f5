#pragma once
// The built-in team directory: the people of the team as entries built in
// memory below the server node of the profile named "Tessaline Team", so
// that browsing, values and photos work as for a server, without one.

#include <cstdint>
#include <string>

#include "ldap/LDAPAttributeList.h"
#include "ldap/LDAPDN.h"
#include "model/entries/EntryJobs.h"

class CServerObject;

// One person while the directory is built.
class TeamEntryRecord {
public:
    // Each text that is not empty becomes the value of, in order: "cn",
    // "description", "mail", "sn", "uid", "initials", "businesscategory",
    // "preferredlanguage".
    TeamEntryRecord(const arbldap::LDAPDN& dn, const std::string& cn, const std::string& description,
                    const std::string& mail, const std::string& sn, const std::string& uid,
                    const std::string& initials, const std::string& businessCategory,
                    const std::string& preferredLanguage);

    void AddValue(const std::string& name, const std::string& value) { m_attributes.AddValue(name, value); }
    void SetPhotoId(uint32_t id) { m_photoId = id; }

    const arbldap::LDAPDN& GetDN() const { return m_dn; }
    const arbldap::LDAPAttributeList& GetAttributes() const { return m_attributes; }
    uint32_t GetPhotoId() const { return m_photoId; }

private:
    arbldap::LDAPAttributeList m_attributes;
    uint32_t m_photoId = 0;
    arbldap::LDAPDN m_dn;
};

// Makes one member node with its attribute nodes (and its photo from the
// resource library) and inserts it below the server node.
void AddTeamMember(const TeamEntryRecord& record, CServerObject& server);
