#include "ui/CArbDocument.h"

#include "model/CRootObject.h"
#include "shellcore/CNavigationHistory.h"
#include "ui/CArbMainFrame.h"

namespace {
CArbDocument* g_document = nullptr;
}

class CArbDocument::Context : public DocumentContext {
public:
    explicit Context(CArbDocument& document) : m_document(document) {}
    ViewFocus GetFocus() const override { return ViewFocus::Neither; }
    bool IsTreeLastFocused() const override { return m_document.m_treeLastFocused; }
    CRootObject* GetRoot() const override { return m_document.m_root.get(); }

private:
    CArbDocument& m_document;
};

namespace {
CNavigationHistory& History()
{
    static CNavigationHistory history;
    return history;
}
} // namespace

CArbDocument::CArbDocument(CArbMainFrame* frame)
    : m_frame(frame), m_context(std::make_unique<Context>(*this)),
      m_commands(std::make_unique<CDocumentCommands>(*m_context, History()))
{
    g_document = this;
}

CArbDocument::~CArbDocument()
{
    if (g_document == this)
        g_document = nullptr;
}

CArbDocument* CArbDocument::Get() { return g_document; }
void CArbDocument::SetRootObject(std::unique_ptr<CRootObject> root) { m_root = std::move(root); }
CRootObject* CArbDocument::GetRootObject() const { return m_root.get(); }
void CArbDocument::SetTreeView(CArbTreeView* view) { m_treeView = view; }
CArbTreeView* CArbDocument::GetTreeView() const { return m_treeView; }
void CArbDocument::SetListView(IDocumentListView* view) { m_listView = view; }
IDocumentListView* CArbDocument::GetListView() const { return m_listView; }
CArbMainFrame* CArbDocument::GetFrame() const { return m_frame; }
void CArbDocument::SetLastFocusedView(bool tree) { m_treeLastFocused = tree; }
bool CArbDocument::IsTreeLastFocused() const { return m_treeLastFocused; }
const std::string& CArbDocument::GetNodeMenuClass() const { return m_nodeMenuClass; }
void CArbDocument::SetNodeMenuClass(const std::string& className) { m_nodeMenuClass = className; }
void CArbDocument::UpdateNodeMenu(CDataObject*) {}
CDataObject* CArbDocument::GetTreeItemObject(platform::TreeItem) const { return nullptr; }
CDataObject* CArbDocument::GetSelectedTreeObject() const { return nullptr; }
int CArbDocument::GetFirstSelectedListIndex() const { return -1; }
CDataObject* CArbDocument::GetSelectedListObject() const { return nullptr; }
bool CArbDocument::IsListFocused() const { return false; }
bool CArbDocument::IsTreeFocused() const { return false; }
CDataObject* CArbDocument::GetCurrentObject() const { return nullptr; }
void CArbDocument::RefreshSelectedServerInfo() {}
CLDAPSchema* CArbDocument::GetCurrentSchema() const { return nullptr; }
void CArbDocument::SetPaneText1(const std::wstring& text) { m_paneText1 = text; }
void CArbDocument::SetPaneText2(const std::wstring& text) { m_paneText2 = text; }
void CArbDocument::SetPaneValue(int value) { m_paneValue = value; }
void CArbDocument::SetMessageText(const std::wstring&) {}
const std::wstring& CArbDocument::GetPaneText1() const { return m_paneText1; }
const std::wstring& CArbDocument::GetPaneText2() const { return m_paneText2; }
int CArbDocument::GetPaneValue() const { return m_paneValue; }
void CArbDocument::RebuildMainMenu() {}
std::unique_ptr<wxMenu> CArbDocument::BuildListContextMenu() const { return std::make_unique<wxMenu>(); }
CNavigationHistory& CArbDocument::GetHistory() { return History(); }
CDocumentCommands& CArbDocument::GetCommands() { return *m_commands; }
bool CArbDocument::ExecuteCommand(uint32_t) { return false; }
bool CArbDocument::UpdateCommand(uint32_t, bool&) { return false; }
void CArbDocument::OnCommand(wxCommandEvent& event) { event.Skip(); }
void CArbDocument::OnUpdateCommand(wxUpdateUIEvent& event) { event.Skip(); }
void CArbDocument::Rename() {}
void CArbDocument::DeleteSelected() {}
void CArbDocument::ApplyFilter() {}
void CArbDocument::RemoveFilter() {}
void CArbDocument::Sort(bool) {}
void CArbDocument::ShowProperties() {}
void CArbDocument::OpenSchemaViewer() {}
void CArbDocument::OpenServerProperties() {}
