#include "dialogs/CSchemaBrowser.h"

#include <wx/imaglist.h>
#include <wx/menuitem.h>
#include <wx/utils.h>

#include "schema/LDAPSchema.h"
#include "widgets/UiResources.h"

namespace {

constexpr unsigned kStrYes = 148;
constexpr unsigned kStrNo = 151;
constexpr unsigned kStrSummaryGroup = 699;
constexpr unsigned kBitmapImages = 210;

// An element item whose detail lines are still to be built.
class CElementData : public wxTreeItemData {
public:
    explicit CElementData(std::string oid) : m_oid(std::move(oid)) {}
    const std::string& GetOID() const { return m_oid; }

private:
    std::string m_oid;
};

std::wstring Word(unsigned id)
{
    // The words are button labels in the library; a tree shows no mnemonics.
    return wxStripMenuCodes(ui::ResourceString(id)).ToStdWstring();
}

} // namespace

CSchemaBrowser::CSchemaBrowser(CLDAPSchema* schema)
    : m_yes(Word(kStrYes)), m_no(Word(kStrNo)), m_schema(schema)
{
}

void CSchemaBrowser::InitImages()
{
    if (!m_tree) return;
    auto images = std::make_unique<wxImageList>(16, 16, true);
    wxBitmap strip = ui::LoadBitmapResource("bitmap", kBitmapImages);
    if (strip.IsOk()) images->Add(strip, *wxWHITE);
    m_tree->AssignImageList(images.release());
}

wxTreeItemId CSchemaBrowser::AddItem(const wxTreeItemId& parent, const SchemaTreeItem& item)
{
    wxTreeItemId id = m_tree->AppendItem(parent, wxString(item.text), item.image, item.selectedImage);
    // Selected shows the selected image, expanded or not.
    m_tree->SetItemImage(id, item.selectedImage, wxTreeItemIcon_SelectedExpanded);
    for (const SchemaTreeItem& child : item.children) AddItem(id, child);
    return id;
}

wxTreeItemId CSchemaBrowser::AddGroup(const wxTreeItemId& parent, const std::wstring& title, const StringList& lines)
{
    return AddItem(parent, SchemaGroupItem(title, lines));
}

void CSchemaBrowser::Refresh()
{
    if (!m_tree) return;
    wxBusyCursor wait;
    m_tree->Freeze();
    m_tree->DeleteAllItems();
    m_tree->AddRoot(wxString());
    m_content = m_schema ? m_schema->GetContent() : std::make_shared<const CSchemaContent>();
    if (m_kind == kBrowseGeneral)
        FillGeneral();
    else
        FillElements();
    m_tree->Thaw();
}

void CSchemaBrowser::FillGeneral()
{
    const int state = m_schema ? m_schema->GetLoadState() : kSchemaFetchInProgress;
    const int64_t stamp = m_schema ? m_schema->GetTimestamp() : 0;
    const wxTreeItemId root = m_tree->GetRootItem();
    for (const SchemaTreeItem& item :
         SchemaGeneralItems(state, *m_content, stamp, ui::ResourceString(kStrSummaryGroup).ToStdWstring())) {
        wxTreeItemId id = AddItem(root, item);
        if (item.IsGroup()) {
            m_tree->SelectItem(id);
            m_tree->Expand(id);
        }
    }
}

void CSchemaBrowser::FillElements()
{
    const wxTreeItemId root = m_tree->GetRootItem();
    for (const SchemaElementLabel& element : SchemaElementLabels(*m_content, m_kind, m_namesMode)) {
        wxTreeItemId id = m_tree->AppendItem(root, wxString(element.label), kSchemaImageGroup,
                                             kSchemaImageGroupSelected, new CElementData(element.oid));
        m_tree->SetItemImage(id, kSchemaImageGroupSelected, wxTreeItemIcon_SelectedExpanded);
        m_tree->SetItemHasChildren(id, true);
    }
}

void CSchemaBrowser::ExpandElement(const wxTreeItemId& item)
{
    if (!m_tree || !item.IsOk()) return;
    auto* data = dynamic_cast<CElementData*>(m_tree->GetItemData(item));
    if (!data) return;
    for (const SchemaTreeItem& line :
         SchemaElementDetails(*m_content, m_kind, data->GetOID(), m_namesMode, m_yes, m_no))
        AddItem(item, line);
    // Built once: the item no longer names its record.
    m_tree->SetItemData(item, nullptr);
    delete data;
}
