#pragma once
// What the tests of the entry, server and attribute nodes share without a
// server: a headless user interface with scripted dialogs and a recording
// desktop, fresh settings, and entries that carry the built-in schema.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/NoCase.h"
#include "model/entries/CAttrObject.h"
#include "model/entries/CEntryObject.h"
#include "model/entries/CServerObject.h"
#include "schema/SchemaCache.h"
#include "schema/SyntaxCatalogue.h"
#include "tests/model/nodes/ModelTestSupport.h"
#include "tests/support/TempHome.h"
#include "tests/support/RecordingDesktopLauncher.h"
#include "tests/support/ScriptedNodeDialogs.h"

namespace nodetest {

// A server node of a profile that is never bound (nothing here talks to a
// server).
inline CServerProfile Profile(const std::string& baseDN = "o=lab")
{
    CServerProfile profile;
    profile.SetProfileName(L"headless");
    profile.SetHostName(L"ldap");
    profile.SetPort(389);
    profile.SetBaseDN(arbldap::LDAPDN(baseDN));
    profile.SetAnonymousBind(1);
    return profile;
}

class NodeTest : public testsupport::TempHomeTest {
protected:
    void SetUp() override
    {
        testsupport::TempHomeTest::SetUp();
        InitSchemaTables();
    }

    CServerObject* AddServer(const CServerProfile& profile = Profile())
    {
        return modeltest::AddNode<CServerObject>(platform::kTreeRoot, profile);
    }

    // An entry below parent that knows the built-in schema.
    CEntryObject* AddEntry(CDataObject& parent, const std::string& dn, CServerObject* server)
    {
        CEntryObject* entry = modeltest::AddNode<CEntryObject>(parent.GetTreeItem(), arbldap::LDAPConnectionPtr(),
                                                               arbldap::LDAPDN(dn), server, false, false);
        entry->SetSchema(GetBuiltInSchema());
        return entry;
    }

    // The entry's attribute nodes named name.
    static std::vector<CAttrObject*> Values(const CEntryObject& entry, const std::string& name, bool operational = false)
    {
        std::vector<CAttrObject*> nodes;
        for (CAttrObject* node : entry.GetAttributeNodes(operational))
            if (EqualNoCase(node->GetName(), name))
                nodes.push_back(node);
        return nodes;
    }

    static arbldap::LDAPAttributeList Attributes(const std::vector<std::pair<std::string, std::string>>& values)
    {
        arbldap::LDAPAttributeList list;
        for (const auto& value : values)
            list.AddValue(value.first, value.second);
        return list;
    }

    ScriptedNodeDialogs& Dialogs() { return dialogs.Dialogs(); }

    modeltest::ModelUi ui;
    ScriptedNodeDialogsScope dialogs;
    testsupport::RecordingDesktopLauncherScope launcher;
};

} // namespace nodetest
