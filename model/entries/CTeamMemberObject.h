#pragma once
// One person of the built-in team directory: an entry that lives only in
// memory below its server node, with the built-in schema. It cannot be
// deleted, and refreshing it only shows it again.

#include <string>

#include "model/entries/CEntryObject.h"

class CTeamMemberObject : public CEntryObject {
public:
    CTeamMemberObject(const ServerLink& server, const arbldap::LDAPDN& dn);

    const char* GetRuntimeClassName() const override { return "CTeamMemberObject"; }
    int GetType() const override { return kNodeTeamMember; }
    int GetImage(bool) const override { return 27; }
    void Refresh(intptr_t) override;
    bool Delete(intptr_t) override { return false; }
    std::wstring GetTypeName() const override { return L"team member"; }
};
