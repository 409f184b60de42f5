#pragma once
// What an attribute node asks of the entry that holds it. The entry
// implements it, so the attribute nodes, which the entry makes and owns,
// need not include the entry.

#include <string>
#include <vector>

#include "ldap/LDAPModificationList.h"

class CAttrObject;
class CEntryObject;
class CLDAPObject;

class AttributeOwner {
public:
    // The entry as a node, and as itself.
    virtual CLDAPObject& OwnerNode() = 0;
    virtual CEntryObject* OwnerEntry() = 0;

    virtual bool ApplyModifications(const arbldap::LDAPModificationList& modifications, bool refresh) = 0;
    virtual bool RemovePasswordValue(const std::string& value) = 0;
    virtual CAttrObject* FindAttributeNode(const std::string& name) const = 0;
    virtual std::vector<CAttrObject*> GetCertificateNodes() const = 0;
    // The value nodes of one list, in order.
    virtual std::vector<CAttrObject*> GetAttributeNodes(bool operational) const = 0;
    virtual std::wstring GetRDNValue() const = 0;

protected:
    ~AttributeOwner() = default;
};
