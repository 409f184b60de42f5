// The property pages of entries, values, error and information nodes and
// of several selected rows, made for nodes of a server on the tests' slapd
// and shown in the program's sheet: what they show, which detail fields
// are there, and that a page outlives its node.

#include "tests/model/entries/live/LiveModelSupport.h"

#include <unistd.h>

#include <fstream>
#include <sstream>

#include <wx/listctrl.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "dialogs/CCommonPropertySheet.h"
#include "dialogs/CEntryPropertiesDlg.h"
#include "dialogs/CMessagePropertiesDlg.h"
#include "dialogs/CMultiTypeProppage.h"
#include "dialogs/CTextAttrPropertiesDlg.h"
#include "dialogs/ServerPropertyPages.h"
#include "model/nodes/CErrorObject.h"
#include "model/nodes/CInformationObject.h"
#include "model/ports/ResourceText.h"
#include "ldap/LDAPException.h"
#include "model/ports/NodePropertyPages.h"
#include "platform/ResourceLibrary.h"
#include "tests/support/gui/UiTestSupport.h"

namespace {

using namespace modellive;

std::string Certificate(const std::string& folder)
{
    const std::string der = folder + "/pages-cert.der";
    testsupport::Run("openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -keyout /dev/null "
                     "-subj '/CN=pages' -days 2 -outform der -out '" + der + "' 2>/dev/null");
    std::ifstream in(der, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

class NodePropertyPages : public LiveModelTest {
protected:
    void SetUp() override
    {
        m_admin = live::OpenAdmin();
        LiveModelTest::SetUp();
        ASSERT_TRUE(platform::ResourceLibrary::Current().LoadDefault());
        m_dn = "cn=pages" + std::to_string(getpid()) + "," + live::kScratch;
        auto* attributes = new arbldap::LDAPAttributeList;
        attributes->AddValue("objectClass", "inetOrgPerson");
        attributes->AddValue("cn", "pages" + std::to_string(getpid()));
        attributes->AddValue("sn", "Pages");
        attributes->AddValue("userCertificate;binary", Certificate(live::MainServer().Folder()));
        m_admin->Add(arbldap::LDAPEntry(m_dn, attributes));
        m_admin->Add(arbldap::LDAPEntry("ou=below," + m_dn, [] {
            auto* below = new arbldap::LDAPAttributeList;
            below->AddValue("objectClass", "organizationalUnit");
            below->AddValue("ou", "below");
            return below;
        }()));
    }

    void TearDown() override
    {
        m_sheet.reset();
        LiveModelTest::TearDown();
        m_admin->Delete("ou=below," + m_dn);
        m_admin->Delete(m_dn);
    }

    CServerObject* OpenServer(const std::string& base)
    {
        CServerProfile profile = MainProfile(base);
        profile.SetShowOperationalAttributes(1);
        CServerObject* server = AddServer(profile);
        Open(*server);
        return server;
    }

    CEntryObject* OpenEntry()
    {
        CServerObject* server = OpenServer(live::kScratch);
        CEntryObject* entry = Child(*server, m_dn);
        EXPECT_NE(entry, nullptr);
        if (entry)
            Open(*entry);
        return entry;
    }

    // A sheet with the pages the node asks for, as the program makes them.
    CCommonPropertySheet& Sheet(const PropertyPageList& pages)
    {
        // The old sheet goes first: a new one would be made its child.
        m_sheet.reset();
        m_sheet = std::make_unique<CCommonPropertySheet>(nullptr, "Properties");
        for (const auto& page : pages) {
            wxString title;
            wxWindow* window = nullptr;
            if (auto* message = dynamic_cast<const MessagePropertiesPage*>(page.get())) {
                auto* made = new CMessagePropertiesDlg(m_sheet->GetBook(), *message);
                title = made->GetTitle();
                window = made;
            } else if (auto* multi = dynamic_cast<const MultiTypePage*>(page.get())) {
                auto* made = new CMultiTypeProppage(m_sheet->GetBook(), multi->nodes);
                title = made->GetTitle();
                window = made;
            } else {
                window = MakeNodeDetailsPage(m_sheet->GetBook(), *page, title);
            }
            EXPECT_NE(window, nullptr);
            if (window)
                m_sheet->AddPage(window, title);
        }
        m_sheet->LayoutDialog();
        m_sheet->Show();
        uitest::RunFor(100);
        return *m_sheet;
    }

    wxString Field(int id, int page = 0)
    {
        wxWindow* window = m_sheet->GetPageWindow(page)->FindWindow(id);
        if (auto* edit = dynamic_cast<wxTextCtrl*>(window))
            return edit->GetValue();
        if (auto* label = dynamic_cast<wxStaticText*>(window))
            return label->GetLabel();
        return "(none)";
    }

    wxWindow* Control(int id, int page = 0) { return m_sheet->GetPageWindow(page)->FindWindow(id); }

    std::string m_dn;
    RefPtr<arbldap::LDAPSyncConnection> m_admin;
    std::unique_ptr<CCommonPropertySheet> m_sheet;
};

TEST_F(NodePropertyPages, EntryPages)
{
    CEntryObject* entry = OpenEntry();
    ASSERT_NE(entry, nullptr);
    Sheet(entry->AddPropertyPages());
    EXPECT_EQ(Field(kIdcEntryDN), wxString::FromUTF8(m_dn));
    EXPECT_EQ(Field(kIdcEntryChildren), "1");
    EXPECT_EQ(Field(kIdcEntrySize), wxString(std::to_wstring(entry->GetSize()) + L" byte(s)"));
    EXPECT_EQ(Field(kIdcEntryCreatedBy), "cn=admin,o=lab");
    EXPECT_EQ(Field(kIdcEntryURL), wxString(entry->GetURL()));
    EXPECT_NE(Field(kIdcEntryCreatedAt), "N/A");
    uitest::Screenshot(*m_sheet, "entry-properties", "dialogs");

    // Its child was never opened.
    CEntryObject* below = Child(*entry, "ou=below," + m_dn);
    ASSERT_NE(below, nullptr);
    Sheet(below->AddPropertyPages());
    EXPECT_EQ(Field(kIdcEntrySize), "N/A");
    EXPECT_EQ(ReadEntryPage(*below).iconId, 294u);
}

TEST_F(NodePropertyPages, TheRootDSEAndTheServersFifthPage)
{
    CServerObject* server = OpenServer("");
    PropertyPageList pages = server->AddPropertyPages();
    ASSERT_EQ(pages.size(), 5u);
    Sheet(pages);
    EXPECT_EQ(m_sheet->GetPageCount(), 5);
    EXPECT_EQ(m_sheet->GetBookCtrl()->GetPageText(4), "Entry");
    EXPECT_EQ(Field(kIdcEntryDN, 4), "RootDSE");
}

TEST_F(NodePropertyPages, ValuePages)
{
    CEntryObject* entry = OpenEntry();
    ASSERT_NE(entry, nullptr);
    struct Case {
        const char* name;
        bool operational;
        const char* syntaxOid;
        unsigned usage;
        bool singleValued;
        bool userModifiable;
    } const cases[] = {
        {"cn", false, "1.3.6.1.4.1.1466.115.121.1.15", 637, false, true},
        {"userCertificate;binary", false, "1.3.6.1.4.1.1466.115.121.1.8", 637, false, true},
        {"createTimestamp", true, "1.3.6.1.4.1.1466.115.121.1.24", 638, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CAttrObject* value = nullptr;
        for (CAttrObject* node : entry->GetAttributeNodes(c.operational))
            if (EqualNoCase(node->GetName(), c.name))
                value = node;
        ASSERT_NE(value, nullptr);
        Sheet(value->AddPropertyPages());
        EXPECT_EQ(Field(kIdcAttrDN), wxString::FromUTF8(m_dn));
        EXPECT_EQ(Field(kIdcAttrName), wxString::FromUTF8(c.name));
        EXPECT_EQ(Field(kIdcAttrSyntaxOid), c.syntaxOid);
        EXPECT_NE(Field(kIdcAttrSyntaxName), "N/A");
        EXPECT_EQ(Field(kIdcAttrUsage), wxString(LoadResourceText(c.usage)));
        EXPECT_EQ(Field(kIdcAttrSize), wxString::Format("%zu byte(s)", value->GetValue().size()));
        auto* flags = dynamic_cast<wxListCtrl*>(Control(kIdcAttrFlags));
        ASSERT_NE(flags, nullptr);
        ASSERT_EQ(flags->GetItemCount(), 4);
        EXPECT_EQ(flags->GetItemText(0), wxString(LoadResourceText(632)));
        EXPECT_EQ(flags->GetItemData(0), c.singleValued ? 1u : 0u);
        EXPECT_EQ(flags->GetItemText(1), wxString(LoadResourceText(633)));
        EXPECT_EQ(flags->GetItemData(1), c.userModifiable ? 1u : 0u);
        if (std::string(c.name) == "userCertificate;binary")
            uitest::Screenshot(*m_sheet, "attribute-properties", "dialogs");
    }
}

TEST_F(NodePropertyPages, MessagePagesOutliveTheirNode)
{
    CEntryObject* entry = OpenEntry();
    ASSERT_NE(entry, nullptr);
    entry->ReportInformation(L"Twelve entries copied", L"");
    std::vector<CInformationObject*> notes = ChildrenOf<CInformationObject>(*entry);
    ASSERT_EQ(notes.size(), 1u);
    Sheet(notes[0]->AddPropertyPages());
    const wxString type = Field(kIdcMessageType);
    EXPECT_EQ(type, wxString(notes[0]->GetTypeName()));
    // Both details empty: the first disabled, the second hidden with its label.
    EXPECT_FALSE(Control(kIdcMessageFirstDetail)->IsEnabled());
    EXPECT_FALSE(Control(kIdcMessageSecondDetail)->IsEnabled());
    EXPECT_FALSE(Control(kIdcMessageSecondDetail)->IsShown());
    EXPECT_FALSE(Control(kIdcMessageSecondLabel)->IsShown());
    // The node goes as its removal timer would take it; the page stays whole.
    notes[0]->Delete(0);
    EXPECT_TRUE(ChildrenOf<CInformationObject>(*entry).empty());
    m_sheet->Refresh();
    uitest::RunFor(100);
    EXPECT_EQ(Field(kIdcMessageType), type);
    m_sheet.reset();

    // An error page: a description and the result code as its first detail.
    CDataObject* errorParent = entry;
    errorParent->ReportError(arbldap::LDAPException(32, "no such object"));
    std::vector<CErrorObject*> errors = ChildrenOf<CErrorObject>(*entry);
    ASSERT_EQ(errors.size(), 1u);
    Sheet(errors[0]->AddPropertyPages());
    EXPECT_EQ(Field(kIdcMessageFirstDetail), "32");
    EXPECT_TRUE(Control(kIdcMessageFirstDetail)->IsEnabled());
    EXPECT_FALSE(Control(kIdcMessageSecondDetail)->IsShown());
    EXPECT_EQ(Field(kIdcMessageValue), wxString(errors[0]->GetValueText()));
    uitest::Screenshot(*m_sheet, "message-properties", "dialogs");
}

TEST_F(NodePropertyPages, SeveralSelectedRows)
{
    CEntryObject* entry = OpenEntry();
    ASSERT_NE(entry, nullptr);
    std::vector<CDataObject*> values;
    for (CAttrObject* node : entry->GetAttributeNodes(false))
        values.push_back(node);
    Sheet(PropertyPageList([&] {
        PropertyPageList pages;
        pages.push_back(std::make_unique<MultiTypePage>(values));
        return pages;
    }()));
    EXPECT_EQ(Field(kIdcMultiLocation), wxString::FromUTF8(m_dn));
    EXPECT_EQ(Field(kIdcMultiServer), wxString::Format("127.0.0.1 : %d", live::MainServer().Port()));
    EXPECT_TRUE(Control(kIdcMultiLocation)->IsShown());
    EXPECT_TRUE(Control(kIdcMultiCommonLabel)->IsShown());
    uitest::Screenshot(*m_sheet, "multi-selection", "dialogs");

    // Entry and values together: no location block.
    std::vector<CDataObject*> mix = {entry, values[0]};
    PropertyPageList pages;
    pages.push_back(std::make_unique<MultiTypePage>(mix));
    Sheet(pages);
    EXPECT_EQ(Field(kIdcMultiKind), wxString(LoadResourceText(305)));
    EXPECT_FALSE(Control(kIdcMultiLocation)->IsShown());
    EXPECT_FALSE(Control(kIdcMultiServerLabel)->IsShown());
}

} // namespace
