#pragma once
// The tree node of one directory entry. Its child entries are tree items
// below it; its own attributes are attribute nodes in two lists it owns, the
// normal and the operational ones. The child-fetch job fills both lists and
// makes the child entries; the entry turns them into list rows, answers
// what other parts ask of its attributes, and offers the LDIF export of its
// subtree.
//
// Threads: the jobs create and release the attribute nodes and collect the
// naming contexts on their worker; the attribute lists are guarded by the
// entry's lock, which is never held while the views are called from a
// worker. Filling the views always runs on the user-interface thread.

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "base/StringList.h"
#include "ldap/LDAPAttributeList.h"
#include "ldap/LDAPEntry.h"
#include "ldap/LDAPModificationList.h"
#include "model/entries/AttributeOwner.h"
#include "model/entries/CLDAPObject.h"

class CAttrObject;

// Commands of the entry and server menus.
constexpr uint32_t kCmdGoToDN = 32866;
constexpr uint32_t kCmdAbort = 32861;
constexpr uint32_t kCmdAddToFavorites = 32875;
constexpr uint32_t kCmdSetFilter = 32922;
constexpr uint32_t kCmdRemoveFilter = 32925;
constexpr uint32_t kCmdEntryViewOn = 32927;
constexpr uint32_t kCmdEntryViewOff = 32928;

class CEntryObject : public CLDAPObject, public AttributeOwner {
public:
    typedef std::vector<std::unique_ptr<CAttrObject>> AttributeNodeList;

    // An entry at dn of the server's directory, reached over connection. A
    // node reached over a referral's connection is marked ownsReference.
    // Its schema is the host's, from the schema cache; a caller that holds
    // the schema of connection's host already may hand it in.
    CEntryObject(const arbldap::LDAPConnectionPtr& connection, arbldap::LDAPDN dn, const ServerLink& server,
                 bool namingContext, bool ownsReference, const RefPtr<CLDAPSchema>& schema = RefPtr<CLDAPSchema>());
    ~CEntryObject() override;

    const char* GetRuntimeClassName() const override { return "CEntryObject"; }
    std::unique_ptr<platform::PopupMenu> BuildContextMenu() override;
    CommandList& GetCommandList(CommandList& list) override;
    int GetType() const override { return kNodeEntry; }
    int GetImage(bool selected) const override;
    bool QueryCapability1() const override { return true; }
    bool QueryCapability2() const override { return true; }
    // Unless busy or loaded: starts the child fetch (attributes only when
    // flag is set).
    void Expand(intptr_t flag) override;
    void LoadChildren(intptr_t reload) override;
    // Not while busy, in use or blocked: reloads the subtree once every job
    // below has stopped.
    void Refresh(intptr_t keepExpanded) override;
    void ShowContents(intptr_t reload) override;
    void OnCommandNew() override {}
    bool Delete(intptr_t) override { return false; }
    bool PromptDelete() override;
    bool CanRenameInList() const override { return true; }
    bool CanRenameInTree() const override { return true; }
    std::wstring GetFullName() const override;
    std::wstring GetTypeName() const override;
    // kSizeUnknown until the children are loaded; then the bytes of the
    // normal attribute values.
    uint32_t GetSize() const override;
    PropertyPageList AddPropertyPages() override;
    std::wstring GetPropertiesTitle() const override;
    // Also names the node after the DN's first RDN.
    void SetDN(const arbldap::LDAPDN& dn) override;
    // A node named after its DN: the first RDN's type, its value, and
    // type=value; they follow the DN, so they are not kept apart.
    std::wstring GetCaption() const override;
    std::wstring GetValueText() const override;
    std::wstring GetDisplayName() const override;

    // Normal attribute nodes, and operational ones when the profile shows them.
    virtual size_t GetAttributeCount() const;
    // True when a job was started.
    virtual bool StartChildrenFetch(intptr_t flag);
    virtual void AddAttributeNode(std::unique_ptr<CAttrObject> node, bool operational);
    // Sends the modifications to the server on the node's job; on success
    // the attributes are read again, a failure becomes an error node.
    // refresh: re-read the attributes afterwards. False when nothing could
    // be started (busy, nothing to do).
    bool ApplyModifications(const arbldap::LDAPModificationList& modifications, bool refresh) override;
    // Removes one userPassword value (the profile keeps a password history).
    bool RemovePasswordValue(const std::string& value) override;

    // One node per value: binary, operational or text, in the given list.
    void CreateAttributeNodes(const arbldap::LDAPAttributeList& attributes, bool operational);
    void ReleaseAttributeNodes();
    // A normal node whose operational twin (same name and value) exists goes.
    void RemoveDuplicateAttributeNodes();
    void RemoveAttributeNodes(const std::string& name);
    CAttrObject* FindAttributeNode(const std::string& name) const override;
    size_t GetAttributeNodeCount() const;
    // The nodes of one list, in order (the pointers stay the entry's).
    std::vector<CAttrObject*> GetAttributeNodes(bool operational) const override;

    void GetNamingContexts(StringList& contexts) const;
    void GetObjectClasses(StringList& classes) const;
    // The userCertificate and cACertificate values (the nodes stay the entry's).
    std::vector<CAttrObject*> GetCertificateNodes() const override;
    std::unique_ptr<arbldap::LDAPEntry> CollectAttributes() const;
    std::wstring GetModifiersNameText() const;
    std::wstring GetCreatorsNameText() const;
    std::wstring GetModifyTimestampText() const;
    std::wstring GetCreateTimestampText() const;
    std::wstring GetRDNText() const;
    std::wstring GetRDNValue() const override;
    CLDAPObject& OwnerNode() override { return *this; }
    CEntryObject* OwnerEntry() override { return this; }
    std::wstring GetRDNType() const;

    // The document's LDIF export command.
    void ExportLDIF();

    int GetUseCount() const { return m_useCount.load(); }
    void IncrementUseCount() { ++m_useCount; }
    void DecrementUseCount() { --m_useCount; }

    // Rebuilds the list from the node: its child entries, then its
    // attribute rows. Runs on the user-interface thread (a worker's call is
    // carried there).
    void UpdateViews();
    // The attribute rows, with the main frame's progress bar for many.
    void InsertAttributeRows();

    bool IsNamingContext() const;
    // The entry view flag: the children stand in ascending order (as a
    // fetch sorts them) rather than descending.
    bool IsEntryView() const;
    void SetEntryView(bool on);

protected:
    // The server node's own entry part: no connection yet.
    CEntryObject(const arbldap::LDAPDN& dn, const ServerLink& server);
    // The profile that decides about operational rows.
    bool ShowsOperationalAttributes() const;
    // The waiting display of the list while a fetch for the selected node runs.
    void StartListWaitTimer();
    void BuildCommonMenu(platform::PopupMenu& menu, bool server);

private:
    // From now on caption, value and display name come from the DN's first RDN.
    void NameByDN();

    enum : uint32_t {
        kNamingContextPending = 1u << 0,
        kNamingContextNode = 1u << 1,
        kEntryView = 1u << 2,
        kNamedByDN = 1u << 3,
    };
    bool IsNamedByDN() const { return (m_entryFlags.load() & kNamedByDN) != 0; }
    void UpdateViewsHere();
    std::wstring OperationalText(const char* name) const;

    std::atomic<uint32_t> m_entryFlags{kEntryView};
    mutable SmallLock m_attributesLock;
    // Made with the first attribute node: the entries of a long list of
    // children hold none until one of them is read. Under m_attributesLock.
    struct AttributeLists {
        AttributeNodeList normal;
        AttributeNodeList operational;
    };
    const AttributeNodeList& Normal() const;  // empty when there are none
    const AttributeNodeList& Operational() const;
    AttributeLists& ListsToSet();
    std::unique_ptr<AttributeLists> m_attributes;
    std::atomic<int> m_useCount{0};
};
