#pragma once
// The tree node of one stored connection profile, and at once the entry
// node of the profile's base DN and the profile itself. It owns the LDAP
// connection that every node below it shares and the host's schema.
// Opening it binds the connection on a worker (asking for the password
// first when the profile needs one); only a successful bind fetches the
// children. A profile without a base DN stands for the root DSE.

#include <memory>
#include <string>

#include "model/entries/CEntryObject.h"
#include "model/templates/CEntryTemplateGroup.h"
#include "model/profiles/CServerProfile.h"

// The strings of the bind's progress window.
constexpr unsigned kStrBindCaption = 418;
constexpr unsigned kStrBindConnecting = 420;
constexpr int kBindProgressValue = 218;

class CServerObject : public CEntryObject, public CServerProfile {
public:
    // From a new profile (a copy is kept).
    explicit CServerObject(const CServerProfile& profile);
    // From a stored profile key's name (its braced GUID); IsLoadFailed tells
    // whether the profile could be read.
    explicit CServerObject(const std::wstring& keyName);
    ~CServerObject() override;

    const char* GetRuntimeClassName() const override { return "CServerObject"; }
    std::unique_ptr<platform::PopupMenu> BuildContextMenu() override;
    CommandList& GetCommandList(CommandList& list) override;
    int GetType() const override { return kNodeServer; }
    int GetImage(bool selected) const override { return selected ? 21 : 8; }
    // Reconnects (reload 0: a new connection and bind) or reads the
    // server's root again (reload 1) on the same connection.
    void LoadChildren(intptr_t reload) override;
    // Binds first when the connection is not bound.
    void ShowContents(intptr_t reload) override;
    // Not while busy: removes the server, its profile and everything below
    // it once their jobs have stopped (asking first when ask is set).
    bool Delete(intptr_t ask) override;
    // Not while busy: reloads the subtree once every job below has stopped.
    void Refresh(intptr_t keepExpanded) override;
    bool PromptDelete() override;
    bool CanRenameInTree() const override { return true; }
    // The server's LDAP URL.
    std::wstring GetFullName() const override;
    std::wstring GetTypeName() const override;
    PropertyPageList AddPropertyPages() override;
    int ShowProperties(const std::vector<CDataObject*>* selection = nullptr) override;
    std::wstring GetPropertiesTitle() const override;
    // The profile's filter.
    bool GetSearchFilter(std::string& filter) const override;
    void RemoveCustomFilter() override;
    // Assigns the DN only; the node keeps its name.
    void SetDN(const arbldap::LDAPDN& dn) override;
    // Takes the host's schema first when the node has none.
    bool StartChildrenFetch(intptr_t flag) override;

    // A new, unbound connection for the profile's host, port, options and
    // version; the node's DN becomes the profile's base DN.
    void CreateConnection();
    // Asks for the password when needed and starts the bind job; true when
    // it was started.
    bool LoadServerRoot(intptr_t reload);
    // Adds a DN to the profile's favourites, through the favourite dialog.
    void AddToFavorites(const arbldap::LDAPDN& dn);
    void Rename(const std::wstring& name);
    void SetUserDN(const arbldap::LDAPDN& dn);
    void SetHostName(const std::wstring& host);
    void SetPort(int port);
    // The server's own entry templates.
    CEntryTemplateGroup& GetTemplates() { return m_templates; }

private:
    // Texts and connection of a node whose profile part is ready.
    void Initialize();
    void UpdateHostTexts();

    CEntryTemplateGroup m_templates;
};
