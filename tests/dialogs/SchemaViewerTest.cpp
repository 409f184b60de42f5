// The schema viewer and the schema page against the test servers: every
// element kind with its detail lines, the General summary, a server that
// hides its schema, the built-in default schema, and a schema still loading.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <string>
#include <vector>

#include <wx/app.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/frame.h>
#include <wx/listctrl.h>
#include <wx/notebook.h>
#include <wx/treectrl.h>

#include "dialogs/CSchemaPropDlg.h"
#include "dialogs/CSchemaViewerDlg.h"
#include "jobs/CLDAPThread.h"
#include "platform/RegistryKey.h"
#include "platform/ResourceLibrary.h"
#include "schema/SchemaCache.h"
#include "schema/SchemaLoadThread.h"
#include "tests/support/LiveSupport.h"
#include "tests/support/TempHome.h"
#include "tests/support/gui/UiTestSupport.h"

namespace {

using namespace std::chrono_literals;
using testsupport::SlapdServer;

std::vector<std::string> Texts(wxTreeCtrl& tree, const wxTreeItemId& parent)
{
    std::vector<std::string> texts;
    wxTreeItemIdValue cookie;
    for (wxTreeItemId c = tree.GetFirstChild(parent, cookie); c.IsOk(); c = tree.GetNextChild(parent, cookie))
        texts.push_back(tree.GetItemText(c).utf8_string());
    return texts;
}

wxTreeItemId Child(wxTreeCtrl& tree, const wxTreeItemId& parent, const std::string& text)
{
    wxTreeItemIdValue cookie;
    for (wxTreeItemId c = tree.GetFirstChild(parent, cookie); c.IsOk(); c = tree.GetNextChild(parent, cookie))
        if (tree.GetItemText(c).utf8_string() == text) return c;
    return wxTreeItemId();
}

bool Has(const std::vector<std::string>& texts, const std::string& text)
{
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

class SchemaViewerTest : public testsupport::TempHomeTest {
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        ASSERT_TRUE(platform::ResourceLibrary::Current().LoadDefault());
        InstallSchemaLoadJobStarter();
    }
    void TearDown() override
    {
        AbortAllThreads();
        EXPECT_TRUE(WaitForAllThreads(30s));
        CLDAPSchema::SetLoadJobStarter(nullptr);
        TempHomeTest::TearDown();
    }

    // The host's schema from the run's cache, once its loading has ended.
    RefPtr<CLDAPSchema> LoadSchema(arbldap::LDAPConnection* connection)
    {
        RefPtr<CLDAPSchema> schema = GetSchemaCache()->GetSchemaForHost(connection);
        EXPECT_TRUE(WaitForAllThreads(30s));
        return schema;
    }

    // The machine's stand-in definitions for servers that hide their root DSE.
    void SetMachineDefinitions()
    {
        auto store = platform::SettingsStore::Open(m_machineFile, true);
        platform::RegistryKey key(store, false);
        const std::wstring base = L"Software\\Vellumar\\Arbolite\\DefaultSchema\\";
        ASSERT_TRUE(key.CreateKey(base + L"attributeTypes"));
        ASSERT_TRUE(key.Write(L"1", std::wstring(L"( 2.5.4.41 NAME 'name' SYNTAX 1.3.6.1.4.1.1466.115.121.1.15{32768} )")));
        ASSERT_TRUE(key.Write(L"2", std::wstring(L"( 2.5.4.3 NAME ( 'cn' 'commonName' ) SUP name )")));
        ASSERT_TRUE(key.CreateKey(base + L"objectClasses"));
        ASSERT_TRUE(key.Write(L"1", std::wstring(L"( 2.5.6.6 NAME 'person' SUP top STRUCTURAL MUST ( sn $ cn ) )")));
    }
};

// A viewer open without a modal loop, for the test to drive.
struct OpenViewer {
    explicit OpenViewer(CLDAPSchema& schema) : dialog(new CSchemaViewerDlg(&schema))
    {
        EXPECT_TRUE(dialog->Create());
        dialog->Show();
        uitest::RunFor(50);
        kinds = dynamic_cast<wxListCtrl*>(dialog->FindWindow(kIdcSchemaKinds));
        tree = dynamic_cast<wxTreeCtrl*>(dialog->FindWindow(kIdcSchemaTree));
        byOid = dynamic_cast<wxCheckBox*>(dialog->FindWindow(kIdcSchemaByOid));
        EXPECT_TRUE(kinds && tree && byOid);
    }
    ~OpenViewer()
    {
        dialog->Destroy();
        uitest::RunFor(50);
    }

    std::vector<std::string> Rows() const
    {
        std::vector<std::string> rows;
        for (long i = 0; i < kinds->GetItemCount(); ++i) rows.push_back(kinds->GetItemText(i).utf8_string());
        return rows;
    }
    // Selects the list row as a click does.
    void Choose(const std::string& row)
    {
        for (long i = 0; i < kinds->GetItemCount(); ++i) {
            if (kinds->GetItemText(i).utf8_string() != row) continue;
            kinds->SetItemState(i, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
            uitest::RunFor(20);
            if (dialog->GetKind() != static_cast<int>(kinds->GetItemData(i))) {
                wxListEvent event(wxEVT_LIST_ITEM_SELECTED, kinds->GetId());
                event.m_itemIndex = i;
                event.SetEventObject(kinds);
                kinds->GetEventHandler()->ProcessEvent(event);
            }
            return;
        }
        ADD_FAILURE() << "no row " << row;
    }
    void SetByOid(bool on)
    {
        byOid->SetValue(on);
        wxCommandEvent event(wxEVT_CHECKBOX, byOid->GetId());
        event.SetInt(on ? 1 : 0);
        event.SetEventObject(byOid);
        byOid->GetEventHandler()->ProcessEvent(event);
    }
    // Expands the root item with that label; its detail lines.
    std::vector<std::string> Expand(const std::string& label)
    {
        wxTreeItemId item = Child(*tree, tree->GetRootItem(), label);
        EXPECT_TRUE(item.IsOk()) << label;
        if (!item.IsOk()) return {};
        tree->Expand(item);
        return Texts(*tree, item);
    }
    std::vector<std::string> RootTexts() const { return Texts(*tree, tree->GetRootItem()); }

    CSchemaViewerDlg* dialog;
    wxListCtrl* kinds = nullptr;
    wxTreeCtrl* tree = nullptr;
    wxCheckBox* byOid = nullptr;
};

std::string Count(const char* label, size_t n)
{
    return std::string(label) + ": " + std::to_string(n);
}

TEST_F(SchemaViewerTest, EveryKindOfARealServersSchemaAndItsSummary)
{
    arbldap::LDAPConnectionPtr connection = live::Open(SlapdServer::Main().Port());
    RefPtr<CLDAPSchema> schema = LoadSchema(connection.get());
    ASSERT_EQ(schema->GetLoadState(), kSchemaLoaded);
    std::shared_ptr<const CSchemaContent> content = schema->GetContent();

    OpenViewer viewer(*schema);
    EXPECT_EQ(viewer.Rows(), (std::vector<std::string>{"General", "Syntaxes", "Attribute Types", "Object Classes",
                                                        "Matching Rules", "Matching Rule Use"}));
    EXPECT_FALSE(viewer.byOid->IsEnabled());

    // The General summary, its group expanded and selected.
    std::vector<std::string> general = viewer.RootTexts();
    ASSERT_EQ(general.size(), 3u);
    EXPECT_EQ(general[0], "Schema DN: cn=Subschema");
    EXPECT_EQ(general[1], "Schema status: Schema loaded");
    EXPECT_EQ(general[2], "Schema Information");
    wxTreeItemId group = Child(*viewer.tree, viewer.tree->GetRootItem(), "Schema Information");
    EXPECT_TRUE(viewer.tree->IsExpanded(group));
    EXPECT_EQ(viewer.tree->GetSelection(), group);
    std::vector<std::string> summary = Texts(*viewer.tree, group);
    ASSERT_EQ(summary.size(), 6u);
    EXPECT_EQ(summary[0].rfind("Timestamp: ", 0), 0u);
    EXPECT_NE(summary[0].find(", 20"), std::string::npos) << summary[0];  // "Thursday, December 10, 2026 ..."
    EXPECT_EQ(summary[1], Count("Syntaxes", content->GetSyntaxes().size()));
    EXPECT_EQ(summary[2], Count("AttributeTypes", content->GetAttributeTypes().size()));
    EXPECT_EQ(summary[3], Count("ObjectClasses", content->GetObjectClasses().size()));
    EXPECT_EQ(summary[4], Count("MatchingRules", content->GetMatchingRules().size()));
    EXPECT_EQ(summary[5], Count("MatchingRuleUses", content->GetMatchingRuleUses().size()));
    uitest::Screenshot(*viewer.dialog, "schema-viewer-general");

    struct KindCase {
        const char* row;
        size_t count;
        const char* label;                       // an element to expand
        std::vector<std::string> expectedLines;  // among its detail lines
    };
    const KindCase kinds[] = {
        {"Syntaxes", content->GetSyntaxes().size(), "1.3.6.1.4.1.1466.115.121.1.15",
         {"OID: 1.3.6.1.4.1.1466.115.121.1.15", "Description: Directory String"}},
        {"Attribute Types", content->GetAttributeTypes().size(), "cn",
         {"Names", "OID: 2.5.4.3", "Obsolete: No", "Superior: name", "Single value: No", "Collective: No",
          "Read only: No", "Usage: User Application"}},
        {"Object Classes", content->GetObjectClasses().size(), "inetOrgPerson",
         {"Name: inetOrgPerson", "OID: 2.16.840.1.113730.3.2.2", "Superior: organizationalPerson",
          "Kind: Structural", "May"}},
        {"Matching Rules", content->GetMatchingRules().size(), "caseIgnoreMatch",
         {"Name: caseIgnoreMatch", "OID: 2.5.13.2", "Obsolete: No", "Syntax OID: 1.3.6.1.4.1.1466.115.121.1.15"}},
        {"Matching Rule Use", content->GetMatchingRuleUses().size(), "caseIgnoreMatch",
         {"Name: caseIgnoreMatch", "OID: 2.5.13.2", "Applies OIDs"}},
    };
    for (const KindCase& k : kinds) {
        SCOPED_TRACE(k.row);
        viewer.Choose(k.row);
        EXPECT_TRUE(viewer.byOid->IsEnabled());
        std::vector<std::string> labels = viewer.RootTexts();
        EXPECT_EQ(labels.size(), k.count);
        EXPECT_TRUE(std::is_sorted(labels.begin(), labels.end(), [](const std::string& a, const std::string& b) {
            return wxString::FromUTF8(a).CmpNoCase(wxString::FromUTF8(b)) < 0;
        }));
        std::vector<std::string> lines = viewer.Expand(k.label);
        for (const std::string& line : k.expectedLines) EXPECT_TRUE(Has(lines, line)) << line;
        // A second expansion builds nothing more.
        viewer.tree->Collapse(Child(*viewer.tree, viewer.tree->GetRootItem(), k.label));
        EXPECT_EQ(viewer.Expand(k.label), lines);
        if (std::string(k.row) == "Attribute Types") {
            wxTreeItemId names = Child(*viewer.tree, Child(*viewer.tree, viewer.tree->GetRootItem(), "cn"), "Names");
            EXPECT_EQ(Texts(*viewer.tree, names), (std::vector<std::string>{"cn", "commonName"}));
            viewer.tree->SelectItem(names);
            viewer.tree->Expand(names);
            uitest::Screenshot(*viewer.dialog, "schema-viewer-attributes");
        }
    }

    // By OID: every label an OID, no OID line; back by name.
    viewer.Choose("Attribute Types");
    viewer.SetByOid(true);
    EXPECT_FALSE(Has(viewer.RootTexts(), "cn"));
    std::vector<std::string> lines = viewer.Expand("2.5.4.3");
    EXPECT_TRUE(Has(lines, "Names"));
    EXPECT_FALSE(Has(lines, "OID: 2.5.4.3"));
    viewer.SetByOid(false);
    EXPECT_TRUE(Has(viewer.RootTexts(), "cn"));

    // An operational type's usage.
    lines = viewer.Expand("modifyTimestamp");
    EXPECT_TRUE(Has(lines, "Usage: Directory Operation"));
    EXPECT_TRUE(Has(lines, "Read only: Yes"));
    EXPECT_TRUE(Has(lines, "Single value: Yes"));

    // Back to General.
    viewer.Choose("General");
    EXPECT_FALSE(viewer.byOid->IsEnabled());
    EXPECT_EQ(viewer.RootTexts().size(), 3u);
}

TEST_F(SchemaViewerTest, AServerThatHidesItsSchemaShowsTheDefaultDefinitions)
{
    SetMachineDefinitions();
    arbldap::LDAPConnectionPtr connection = live::Open(SlapdServer::Restricted().Port());
    RefPtr<CLDAPSchema> schema = LoadSchema(connection.get());
    ASSERT_EQ(schema->GetLoadState(), kSchemaDefaultUsed);

    OpenViewer viewer(*schema);
    EXPECT_EQ(viewer.Rows(), (std::vector<std::string>{"General", "Attribute Types", "Object Classes"}));
    std::vector<std::string> general = viewer.RootTexts();
    ASSERT_EQ(general.size(), 3u);
    EXPECT_EQ(general[0], "Schema DN: ");
    EXPECT_EQ(general[1], "Schema status: Default schema was used");
    std::vector<std::string> summary =
        Texts(*viewer.tree, Child(*viewer.tree, viewer.tree->GetRootItem(), "Schema Information"));
    ASSERT_EQ(summary.size(), 3u);
    EXPECT_EQ(summary[1], "AttributeTypes: 2");
    EXPECT_EQ(summary[2], "ObjectClasses: 1");

    viewer.Choose("Attribute Types");
    EXPECT_EQ(viewer.RootTexts(), (std::vector<std::string>{"cn", "name"}));
    std::vector<std::string> lines = viewer.Expand("name");
    EXPECT_TRUE(Has(lines, "Max. attribute value length: 32768"));
    EXPECT_TRUE(Has(lines, "Syntax OID: 1.3.6.1.4.1.1466.115.121.1.15"));
    viewer.Choose("Object Classes");
    lines = viewer.Expand("person");
    EXPECT_TRUE(Has(lines, "Superior: top"));
    EXPECT_TRUE(Has(lines, "Must"));
    EXPECT_FALSE(Has(lines, "May"));
    uitest::Screenshot(*viewer.dialog, "schema-viewer-hidden");
}

TEST_F(SchemaViewerTest, TheBuiltInDefaultSchema)
{
    RefPtr<CLDAPSchema> schema = GetBuiltInSchema();
    ASSERT_EQ(schema->GetLoadState(), kSchemaLoaded);
    std::shared_ptr<const CSchemaContent> content = schema->GetContent();
    OpenViewer viewer(*schema);
    EXPECT_EQ(viewer.Rows(), (std::vector<std::string>{"General", "Attribute Types", "Object Classes"}));
    EXPECT_EQ(viewer.RootTexts()[1], "Schema status: Schema loaded");
    viewer.Choose("Object Classes");
    EXPECT_EQ(viewer.RootTexts().size(), content->GetObjectClasses().size());
    EXPECT_TRUE(Has(viewer.Expand("person"), "Kind: Structural"));
}

TEST_F(SchemaViewerTest, TheViewerOpensWhereItWasClosed)
{
    RefPtr<CLDAPSchema> schema = GetBuiltInSchema();
    wxRect closedAt;
    {
        OpenViewer viewer(*schema);
        const wxSize opening = viewer.dialog->GetSize();
        viewer.dialog->SetSize(100, 90, opening.x + 150, opening.y + 100);
        ASSERT_TRUE(uitest::RunUntil([&] { return viewer.dialog->GetSize() == opening + wxSize(150, 100); }, 5000));
        closedAt = viewer.dialog->GetRect();
        // The tree grew with the dialog, the list only in height.
        const wxRect tree = viewer.tree->GetRect(), list = viewer.kinds->GetRect();
        EXPECT_EQ(viewer.dialog->GetClientSize().x - tree.GetRight(), 560 - (164 + 389) + 1);
        EXPECT_EQ(list.width, 150);
    }
    OpenViewer again(*schema);
    EXPECT_EQ(again.dialog->GetRect(), closedAt);
}

// ---- the page ----

struct OpenPage {
    explicit OpenPage(CSchemaPropDlg* p) : page(p)
    {
        frame = new wxFrame(nullptr, wxID_ANY, "sheet", wxDefaultPosition, wxSize(480, 420));
        book = new wxNotebook(frame, wxID_ANY);
        EXPECT_TRUE(page->Create(book));
        book->AddPage(page, CSchemaPropDlg::GetPageTitle());
        frame->Show();
        uitest::RunFor(50);
        kinds = dynamic_cast<wxComboBox*>(page->FindWindow(kIdcSchemaPageKinds));
        tree = dynamic_cast<wxTreeCtrl*>(page->FindWindow(kIdcSchemaPageTree));
        refresh = page->FindWindow(kIdcSchemaPageRefresh);
    }
    ~OpenPage()
    {
        frame->Destroy();
        uitest::RunFor(50);
    }
    std::vector<std::string> Kinds() const
    {
        std::vector<std::string> k;
        for (unsigned i = 0; i < kinds->GetCount(); ++i) k.push_back(kinds->GetString(i).utf8_string());
        return k;
    }
    void Choose(int row)
    {
        kinds->SetSelection(row);
        wxCommandEvent event(wxEVT_COMBOBOX, kinds->GetId());
        event.SetInt(row);
        event.SetEventObject(kinds);
        kinds->GetEventHandler()->ProcessEvent(event);
    }

    CSchemaPropDlg* page;
    wxFrame* frame = nullptr;
    wxNotebook* book = nullptr;
    wxComboBox* kinds = nullptr;
    wxTreeCtrl* tree = nullptr;
    wxWindow* refresh = nullptr;
};

TEST_F(SchemaViewerTest, ThePageShowsTheCachedSchemaAndAsksForARefresh)
{
    arbldap::LDAPConnectionPtr connection = live::Open(SlapdServer::Main().Port());
    RefPtr<CLDAPSchema> schema = LoadSchema(connection.get());
    ASSERT_EQ(schema->GetLoadState(), kSchemaLoaded);
    ASSERT_FALSE(schema->IsDirty());
    {
        OpenPage page(new CSchemaPropDlg(connection.get()));
        EXPECT_EQ(page.page->GetSchema(), schema.get());
        EXPECT_EQ(page.Kinds(), (std::vector<std::string>{"General", "Syntaxes", "Attribute Types", "Object Classes",
                                                           "Matching Rules", "Matching Rule Use"}));
        EXPECT_EQ(Texts(*page.tree, page.tree->GetRootItem()).size(), 3u);
        EXPECT_FALSE(page.page->FindWindow(kIdcSchemaPageNote)->IsShown());
        page.Choose(3);
        EXPECT_TRUE(Has(Texts(*page.tree, page.tree->GetRootItem()), "inetOrgPerson"));
        uitest::Screenshot(*page.frame, "schema-page");

        ASSERT_TRUE(page.refresh->IsShown());
        wxCommandEvent click(wxEVT_BUTTON, kIdcSchemaPageRefresh);
        click.SetEventObject(page.refresh);
        page.refresh->GetEventHandler()->ProcessEvent(click);
        EXPECT_TRUE(schema->IsDirty());
        EXPECT_FALSE(page.refresh->IsEnabled());
    }
    // Asked for already: no button.
    OpenPage again(new CSchemaPropDlg(connection.get()));
    EXPECT_FALSE(again.refresh->IsShown());
}

TEST_F(SchemaViewerTest, ThePageOfASchemaStillLoadingOffersOnlyTheSummary)
{
    testsupport::SilentServer silent;
    arbldap::LDAPConnectionPtr connection = live::Open(silent.Port());
    OpenPage page(new CSchemaPropDlg(connection.get()));
    ASSERT_EQ(page.page->GetSchema()->GetLoadState(), kSchemaFetchInProgress);
    EXPECT_EQ(page.Kinds(), (std::vector<std::string>{"General"}));
    EXPECT_EQ(Texts(*page.tree, page.tree->GetRootItem()),
              (std::vector<std::string>{"Schema DN: ", "Schema status: Schema fetch in progress..."}));
    EXPECT_TRUE(page.refresh->IsShown());
}

} // namespace
