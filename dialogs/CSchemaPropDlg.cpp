#include "dialogs/CSchemaPropDlg.h"

#include <wx/checkbox.h>
#include <wx/combobox.h>

#include "schema/SchemaCache.h"
#include "widgets/UiResources.h"

CSchemaPropDlg::CSchemaPropDlg() = default;

CSchemaPropDlg::CSchemaPropDlg(arbldap::LDAPConnection* connection)
    : m_schemaRef(GetSchemaCache()->GetSchemaForHost(connection))
{
    m_schema = m_schemaRef.get();
}

wxString CSchemaPropDlg::GetPageTitle()
{
    return ui::ResourceString(kIddSchemaPage);
}

bool CSchemaPropDlg::Create(wxWindow* book)
{
    if (!ui::LoadPanelResource(this, book, kIddSchemaPage)) return false;
    return OnInitDialog();
}

bool CSchemaPropDlg::OnInitDialog()
{
    m_byOid = dynamic_cast<wxCheckBox*>(FindWindow(kIdcSchemaPageByOid));
    m_kinds = dynamic_cast<wxComboBox*>(FindWindow(kIdcSchemaPageKinds));
    m_tree = dynamic_cast<wxTreeCtrl*>(FindWindow(kIdcSchemaPageTree));
    m_refresh = FindWindow(kIdcSchemaPageRefresh);
    if (!m_byOid || !m_kinds || !m_tree || !m_refresh) return false;
    InitImages();
    for (int id : {kIdcSchemaPageNote, kIdcSchemaPageLabel})
        if (wxWindow* label = FindWindow(id)) label->Hide();

    const int state = m_schema ? m_schema->GetLoadState() : kSchemaFetchInProgress;
    const bool finished = state != kSchemaFetchInProgress;
    // A refresh already asked for needs no button.
    if (finished && m_schema->IsDirty()) m_refresh->Hide();
    const std::shared_ptr<const CSchemaContent> content =
        m_schema ? m_schema->GetContent() : std::make_shared<const CSchemaContent>();
    for (const SchemaKindChoice& choice : SchemaKindChoices(*content, finished))
        m_kinds->Append(wxString(choice.name), reinterpret_cast<void*>(static_cast<intptr_t>(choice.kind)));
    m_kinds->SetSelection(0);
    m_byOid->Enable(false);
    CSchemaBrowser::Refresh();

    m_kinds->Bind(wxEVT_COMBOBOX, &CSchemaPropDlg::OnKindChosen, this);
    m_byOid->Bind(wxEVT_CHECKBOX, &CSchemaPropDlg::OnByOid, this);
    m_refresh->Bind(wxEVT_BUTTON, &CSchemaPropDlg::OnRefreshSchema, this);
    m_tree->Bind(wxEVT_TREE_ITEM_EXPANDING, [this](wxTreeEvent& event) { ExpandElement(event.GetItem()); });
    return true;
}

void CSchemaPropDlg::OnKindChosen(wxCommandEvent&)
{
    const int row = m_kinds->GetSelection();
    if (row < 0) return;
    m_kind = static_cast<int>(reinterpret_cast<intptr_t>(m_kinds->GetClientData(static_cast<unsigned>(row))));
    m_byOid->Enable(m_kind != kBrowseGeneral);
    CSchemaBrowser::Refresh();
}

void CSchemaPropDlg::OnByOid(wxCommandEvent&)
{
    m_checkState = m_byOid->GetValue() ? 1 : 0;
    m_namesMode = m_checkState == 0;
    CSchemaBrowser::Refresh();
}

void CSchemaPropDlg::OnRefreshSchema(wxCommandEvent&)
{
    if (m_schema) m_schema->MarkDirty();
    m_refresh->Disable();
}
