#pragma once
// The schema browsing shared by the schema page and the schema viewer: a
// tree showing the General summary or the elements of one kind, whose detail
// lines are built when an element is first expanded, labelled by first NAME
// or by OID.

#include <memory>
#include <string>

#include <wx/treectrl.h>

#include "dialogcore/SchemaBrowserContent.h"

class CLDAPSchema;
class StringList;

class CSchemaBrowser {
public:
    explicit CSchemaBrowser(CLDAPSchema* schema = nullptr);
    virtual ~CSchemaBrowser() = default;

    // The image strip (bitmap 210) as the tree's images.
    void InitImages();
    // Fills the tree anew for the current kind and names mode.
    void Refresh();
    // The detail lines below an element, once.
    void ExpandElement(const wxTreeItemId& item);
    // Below parent: an item titled title holding one line per string.
    wxTreeItemId AddGroup(const wxTreeItemId& parent, const std::wstring& title, const StringList& lines);

    CLDAPSchema* GetSchema() const { return m_schema; }
    wxTreeCtrl* GetTree() const { return m_tree; }
    int GetKind() const { return m_kind; }
    bool IsNamesMode() const { return m_namesMode; }

protected:
    void FillGeneral();
    void FillElements();
    wxTreeItemId AddItem(const wxTreeItemId& parent, const SchemaTreeItem& item);

    std::wstring m_yes;
    std::wstring m_no;
    CLDAPSchema* m_schema;
    wxTreeCtrl* m_tree = nullptr;
    bool m_namesMode = true;
    int m_kind = kBrowseGeneral;

private:
    // The content the tree shows; element items name their records in it.
    std::shared_ptr<const CSchemaContent> m_content;
};
