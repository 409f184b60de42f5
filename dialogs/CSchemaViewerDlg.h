#pragma once
// The schema viewer: the kinds of a server's schema in a list, the General
// summary or the chosen kind's elements in a tree beside it. Resizable; its
// placement is kept in the settings section "SchemaViewer".

#include "dialogs/CSchemaBrowser.h"
#include "widgets/CResizableDialog.h"

class wxCheckBox;
class wxListCtrl;
class wxListEvent;

// Dialog template and control ids.
constexpr unsigned kIddSchemaViewer = 695;
constexpr int kIdcSchemaByOid = 1249;
constexpr int kIdcSchemaKinds = 1336;
constexpr int kIdcSchemaTree = 1337;

class CSchemaViewerDlg : public CResizableDialog, public CSchemaBrowser {
public:
    // The caller keeps the schema alive while the dialog runs.
    explicit CSchemaViewerDlg(CLDAPSchema* schema, wxWindow* parent = nullptr);

protected:
    bool OnInitDialog() override;

private:
    void OnKindSelected(wxListEvent& event);
    void OnByOid(wxCommandEvent& event);

    wxCheckBox* m_byOid = nullptr;
    wxListCtrl* m_kinds = nullptr;
    int m_checkState = 0;
    long m_selectedRow = 0;
};

// Opens the viewer modally on a loaded schema; the dialog's result.
int ShowSchemaViewer(CLDAPSchema& schema, wxWindow* parent);
