#include "dialogs/CSchemaViewerDlg.h"

#include <wx/checkbox.h>
#include <wx/listctrl.h>

#include "schema/LDAPSchema.h"

CSchemaViewerDlg::CSchemaViewerDlg(CLDAPSchema* schema, wxWindow* parent)
    : CResizableDialog(kIddSchemaViewer, parent), CSchemaBrowser(schema)
{
}

bool CSchemaViewerDlg::OnInitDialog()
{
    CResizableDialog::OnInitDialog();
    m_byOid = dynamic_cast<wxCheckBox*>(FindWindow(kIdcSchemaByOid));
    m_kinds = dynamic_cast<wxListCtrl*>(FindWindow(kIdcSchemaKinds));
    m_tree = dynamic_cast<wxTreeCtrl*>(FindWindow(kIdcSchemaTree));
    if (!m_byOid || !m_kinds || !m_tree) return false;
    InitImages();

    m_kinds->InsertColumn(0, wxString(), wxLIST_FORMAT_LEFT, m_kinds->GetClientSize().x - 2);
    const std::shared_ptr<const CSchemaContent> content =
        m_schema ? m_schema->GetContent() : std::make_shared<const CSchemaContent>();
    // Every kind with elements, whatever the load state.
    long row = 0;
    for (const SchemaKindChoice& choice : SchemaKindChoices(*content, true)) {
        m_kinds->InsertItem(row, wxString(choice.name));
        m_kinds->SetItemData(row, choice.kind);
        ++row;
    }
    m_kinds->SetItemState(0, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED,
                          wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
    CSchemaBrowser::Refresh();
    m_byOid->Enable(false);

    m_kinds->Bind(wxEVT_LIST_ITEM_SELECTED, &CSchemaViewerDlg::OnKindSelected, this);
    m_byOid->Bind(wxEVT_CHECKBOX, &CSchemaViewerDlg::OnByOid, this);
    m_tree->Bind(wxEVT_TREE_ITEM_EXPANDING, [this](wxTreeEvent& event) { ExpandElement(event.GetItem()); });

    AddAnchoredChildren({{kIdcSchemaByOid, AnchorBottomLeft},
                         {kIdcSchemaKinds, AnchorTopLeft, AnchorBottomLeft},
                         {kIdcSchemaTree, AnchorTopLeft, AnchorBottomRight},
                         {wxID_CANCEL, AnchorBottomRight}});
    ShowSizeGrip(true);
    EnableSaveRestore(L"SchemaViewer");
    return true;
}

void CSchemaViewerDlg::OnKindSelected(wxListEvent& event)
{
    const long row = event.GetIndex();
    if (row < 0 || row == m_selectedRow) return;
    m_selectedRow = row;
    m_kind = static_cast<int>(m_kinds->GetItemData(row));
    m_byOid->Enable(m_kind != kBrowseGeneral);
    CSchemaBrowser::Refresh();
}

void CSchemaViewerDlg::OnByOid(wxCommandEvent&)
{
    m_checkState = m_byOid->GetValue() ? 1 : 0;
    m_namesMode = m_checkState == 0;
    CSchemaBrowser::Refresh();
}

int ShowSchemaViewer(CLDAPSchema& schema, wxWindow* parent)
{
    CSchemaViewerDlg dialog(&schema, parent);
    return dialog.DoModal();
}
