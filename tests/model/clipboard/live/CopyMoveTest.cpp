// Copying and moving subtrees on the main test server, and entries that
// travel through the clipboard first. The server's tree is compared before
// and after with a search.

#include "tests/model/entries/live/LiveModelSupport.h"

#include <unistd.h>

#include <algorithm>
#include <cwchar>
#include <map>

#include "model/clipboard/CArbClipboard.h"
#include "model/clipboard/CCopyEntriesThread.h"
#include "model/nodes/CInformationObject.h"
#include "model/clipboard/ClipboardPaste.h"
#include "model/ports/ResourceText.h"
#include "tests/support/HeadlessProgressDlg.h"
#include "tests/support/MemoryClipboard.h"

namespace {

using namespace modellive;

// Every entry of a subtree: DN (lower case) to attribute (lower case) to values.
typedef std::map<std::string, std::map<std::string, std::multiset<std::string>>> Snapshot;

std::string Lower(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

const std::string kPhoto("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00\x01\x02\x00\xFF\xD9", 17);

class CopyMove : public LiveModelTest {
protected:
    void SetUp() override
    {
        m_admin = live::OpenAdmin();
        m_top = "ou=cm" + std::to_string(getpid()) + "," + live::kScratch;
        for (const std::string& dn : {m_top, Src(), "ou=one," + Src(), "ou=two,ou=one," + Src(),
                                      "ou=sib," + Src(), Dst()})
            m_admin->Add(Unit(dn));
        m_admin->Add(Person("cn=leaf,ou=two,ou=one," + Src()));
        LiveModelTest::SetUp();
        m_progressFactory = SetProgressDialogFactory([this]() -> std::unique_ptr<CProgressDlg> {
            auto window = std::make_unique<CHeadlessProgressDlg>();
            m_progress.push_back(window->GetRecord());
            return window;
        });
    }

    void TearDown() override
    {
        SetProgressDialogFactory(m_progressFactory);
        LiveModelTest::TearDown();
        // Deepest first.
        std::vector<std::string> dns;
        for (const auto& entry : Take())
            dns.push_back(entry.first);
        std::sort(dns.begin(), dns.end(), [](const std::string& a, const std::string& b) {
            return std::count(a.begin(), a.end(), ',') > std::count(b.begin(), b.end(), ',');
        });
        for (const std::string& dn : dns)
            m_admin->Delete(dn);
    }

    std::string Src() const { return "ou=src," + m_top; }
    std::string Dst() const { return "ou=dst," + m_top; }

    static arbldap::LDAPEntry Unit(const std::string& dn)
    {
        auto* attributes = new arbldap::LDAPAttributeList;
        attributes->AddValue("objectClass", "organizationalUnit");
        attributes->AddValue("ou", arbldap::LDAPDN(dn).GetFirstPart().GetValue());
        attributes->AddValue("description", "unit " + arbldap::LDAPDN(dn).GetFirstPart().GetValue());
        return arbldap::LDAPEntry(dn, attributes);
    }

    static arbldap::LDAPEntry Person(const std::string& dn)
    {
        auto* attributes = new arbldap::LDAPAttributeList;
        attributes->AddValue("objectClass", "inetOrgPerson");
        attributes->AddValue("cn", arbldap::LDAPDN(dn).GetFirstPart().GetValue());
        attributes->AddValue("sn", "Leaf");
        attributes->AddValue("jpegPhoto", kPhoto);
        attributes->AddValue("description", "first");
        attributes->AddValue("description", "second");
        return arbldap::LDAPEntry(dn, attributes);
    }

    // The subtree below the top, as the server holds it now.
    Snapshot Take()
    {
        Snapshot snapshot;
        std::unique_ptr<arbldap::LDAPSearchResults> results =
            m_admin->Search(m_top, 2, "(objectClass=*)", StringList(), false);
        for (const arbldap::LDAPEntry& entry : results->GetEntries()) {
            auto& attributes = snapshot[Lower(arbldap::LDAPDN(entry.GetDN()).GetText())];
            for (const arbldap::LDAPAttribute& attribute : entry.GetAttributes())
                for (std::string_view value : attribute.GetValues())
                    attributes[Lower(attribute.GetName())].insert(std::string(value));
        }
        return snapshot;
    }

    // The snapshot with every entry at or below from moved below to
    // (copied: the originals stay).
    static Snapshot Relocated(const Snapshot& before, const std::string& from, const std::string& to, bool copy)
    {
        Snapshot after;
        const std::string suffix = Lower(from);
        for (const auto& entry : before) {
            const std::string& dn = entry.first;
            const bool inside =
                dn.size() >= suffix.size() && dn.compare(dn.size() - suffix.size(), suffix.size(), suffix) == 0;
            if (!inside || copy)
                after[dn] = entry.second;
            if (inside)
                after[dn.substr(0, dn.size() - suffix.size()) + Lower(to)] = entry.second;
        }
        return after;
    }

    // The server of the test's subtree, opened as its administrator.
    CServerObject* OpenServer()
    {
        CServerProfile profile = MainProfile(m_top);
        profile.SetAnonymousBind(0);
        profile.SetUserDN(arbldap::LDAPDN(testsupport::kAdminDN));
        profile.SetSavePassword(1);
        profile.SetPassword(testsupport::kAdminPassword);
        CServerObject* server = AddServer(profile);
        Open(*server);
        return server;
    }

    // The server opened, the source entry opened, and the source's child "one".
    struct OpenedSource {
        CServerObject* server = nullptr;
        CEntryObject* src = nullptr;
        CEntryObject* one = nullptr;
    };
    OpenedSource OpenSource()
    {
        OpenedSource opened;
        opened.server = OpenServer();
        opened.src = Node(*opened.server, Src());
        if (!opened.src)
            return opened;
        Open(*opened.src);
        opened.one = Child(*opened.src, "ou=one," + Src());
        return opened;
    }

    CEntryObject* Node(CServerObject& server, const std::string& dn)
    {
        CEntryObject* node = Child(server, dn);
        EXPECT_NE(node, nullptr) << dn;
        return node;
    }

    void Run(CLDAPObject& target, const CArbClipboardContext& content)
    {
        target.StartJob(std::make_shared<CCopyEntriesThread>(target, content));
        EXPECT_TRUE(WaitIdle());
    }

    std::vector<std::wstring> StatusLines(const wchar_t* prefix)
    {
        std::vector<std::wstring> lines;
        for (const auto& record : m_progress)
            for (const std::wstring& text : record->Get().statusTexts)
                if (text.rfind(prefix, 0) == 0)
                    lines.push_back(text.substr(std::wcslen(prefix)));
        return lines;
    }

    // Each DN of the lines comes after every DN above it (or before, for
    // deletes).
    static bool ParentsFirst(const std::vector<std::wstring>& dns)
    {
        for (size_t i = 0; i < dns.size(); ++i)
            for (size_t j = i + 1; j < dns.size(); ++j)
                if (arbldap::LDAPDN(WideToUtf8Text(dns[j])).EndsWith(arbldap::LDAPDN(WideToUtf8Text(dns[i]))) &&
                    dns[i] != dns[j])
                    return false;
        return true;
    }

    std::string m_top;
    RefPtr<arbldap::LDAPSyncConnection> m_admin;
    ProgressDialogFactory m_progressFactory;
    // Every progress window made, the copy job's among them.
    std::vector<std::shared_ptr<const HeadlessProgressRecord>> m_progress;
};

TEST_F(CopyMove, CopyPlacesEveryLevelBelowTheTargetTopDown)
{
    CServerObject* server = OpenServer();
    CEntryObject* src = Node(*server, Src());
    CEntryObject* dst = Node(*server, Dst());
    ASSERT_TRUE(src && dst);
    const Snapshot before = Take();

    Run(*dst, CArbClipboardContext(*src));

    EXPECT_EQ(Take(), Relocated(before, Src(), "ou=src," + Dst(), true));
    std::vector<std::wstring> created = StatusLines(L"Create: ");
    EXPECT_EQ(created.size(), 5u);
    EXPECT_TRUE(ParentsFirst(created));
    EXPECT_TRUE(StatusLines(L"Delete: ").empty());
    EXPECT_TRUE(dialogs.Dialogs().checkBoxes.empty());
    // The target shows its new child.
    EXPECT_EQ(ChildDNs(*dst), std::set<std::string>{"ou=src," + Dst()});
}

TEST_F(CopyMove, MoveDeletesTheSourcesBottomUp)
{
    CServerObject* server = OpenServer();
    CEntryObject* src = Node(*server, Src());
    CEntryObject* dst = Node(*server, Dst());
    ASSERT_TRUE(src && dst);
    const Snapshot before = Take();

    CArbClipboardContext content(*src);
    content.SetOperation(kClipboardMove);
    Run(*dst, content);

    EXPECT_EQ(Take(), Relocated(before, Src(), "ou=src," + Dst(), false));
    std::vector<std::wstring> deleted = StatusLines(L"Delete: ");
    ASSERT_EQ(deleted.size(), 5u);
    std::reverse(deleted.begin(), deleted.end());
    EXPECT_TRUE(ParentsFirst(deleted)) << "children are deleted before their parents";
    // The old parent and the target are read again.
    EXPECT_EQ(ChildDNs(*server), std::set<std::string>{Dst()});
}

TEST_F(CopyMove, AMoveNeverDeletesASourceWhoseCopyFailed)
{
    // The target holds two of the names already: those copies fail.
    m_admin->Add(Unit("ou=src," + Dst()));
    m_admin->Add(Unit("ou=sib,ou=src," + Dst()));
    for (int answer : {platform::kIdNo, platform::kIdYes}) {
        SCOPED_TRACE(answer == platform::kIdYes ? "go on" : "stop");
        CServerObject* server = OpenServer();
        CEntryObject* src = Node(*server, Src());
        CEntryObject* dst = Node(*server, Dst());
        ASSERT_TRUE(src && dst);
        const Snapshot before = Take();
        dialogs.Dialogs().checkBoxes.clear();
        dialogs.Dialogs().checkAnswers.push_back(answer);
        log.Clear();

        CArbClipboardContext content(*src);
        content.SetOperation(kClipboardMove);
        Run(*dst, content);

        const Snapshot after = Take();
        // Asked once, whatever followed; every failure is logged.
        EXPECT_EQ(dialogs.Dialogs().checkBoxes.size(), 1u);
        const std::wstring srcFailed = FormatResourceText(555, {Utf8ToWideString("ou=src," + Dst()), L""});
        EXPECT_EQ(log.CountContaining(srcFailed.substr(0, srcFailed.size() - 2)), 1);
        if (answer == platform::kIdNo) {
            EXPECT_EQ(after, before) << "stopped at the first failure, before anything was written";
            continue;
        }
        const std::wstring sibFailed = FormatResourceText(555, {Utf8ToWideString("ou=sib,ou=src," + Dst()), L""});
        EXPECT_EQ(log.CountContaining(sibFailed.substr(0, sibFailed.size() - 2)), 1);
        // What could not be copied stays; what was copied moved.
        EXPECT_EQ(after.count(Lower(Src())), 1u);
        EXPECT_EQ(after.count(Lower("ou=sib," + Src())), 1u);
        EXPECT_EQ(after.count(Lower("ou=one," + Src())), 0u);
        EXPECT_EQ(after.count(Lower("cn=leaf,ou=two,ou=one,ou=src," + Dst())), 1u);
        EXPECT_EQ(after.at(Lower("cn=leaf,ou=two,ou=one,ou=src," + Dst())).at("jpegphoto"),
                  std::multiset<std::string>{kPhoto});
    }
}

TEST_F(CopyMove, ATargetInsideTheSourceIsRefusedBeforeAnythingIsWritten)
{
    const OpenedSource opened = OpenSource();
    ASSERT_TRUE(opened.src && opened.one);
    CEntryObject* src = opened.src;
    CEntryObject* one = opened.one;
    const Snapshot before = Take();

    for (CEntryObject* target : {src, one}) {
        for (uint32_t operation : {0u, kClipboardMove}) {
            CArbClipboardContext content(*src);
            content.SetOperation(operation);
            Run(*target, content);
            EXPECT_EQ(Take(), before);
        }
        std::vector<CInformationObject*> information = ChildrenOf<CInformationObject>(*target);
        ASSERT_FALSE(information.empty());
        EXPECT_NE(information.back()->GetValueText().find(LoadResourceText(558).substr(0, 10)), std::wstring::npos);
    }
    EXPECT_TRUE(dialogs.Dialogs().checkBoxes.empty());
}

TEST_F(CopyMove, ASourceThatIsGoneIsAskedAbout)
{
    m_admin->Add(Unit("ou=gone," + m_top));
    CServerObject* server = OpenServer();
    CEntryObject* gone = Node(*server, "ou=gone," + m_top);
    CEntryObject* dst = Node(*server, Dst());
    ASSERT_TRUE(gone && dst);
    m_admin->Delete("ou=gone," + m_top);
    const Snapshot before = Take();

    dialogs.Dialogs().checkAnswers.push_back(platform::kIdNo);
    Run(*dst, CArbClipboardContext(*gone));
    EXPECT_EQ(dialogs.Dialogs().checkBoxes.size(), 1u);
    EXPECT_EQ(Take(), before);
}

TEST_F(CopyMove, EntriesWithBinaryValuesTravelThroughTheClipboardWithinOneServer)
{
    testsupport::MemoryClipboardScope board;
    RegisterArbClipboardFormat();
    CServerObject* server = OpenServer();
    CEntryObject* src = Node(*server, Src());
    CEntryObject* dst = Node(*server, Dst());
    ASSERT_TRUE(src && dst);
    Open(*src);
    CServerObject* second = AddServer(Profile(live::SecondServer().Port(), "o=elsewhere"));
    Open(*second);
    ASSERT_TRUE(src->GetSchema() && second->GetSchema());
    EXPECT_NE(src->GetSchema()->GetHostGuid(), second->GetSchema()->GetHostGuid());

    // Two of the source's children (one holds a photo below it), and a
    // binary value for the target.
    CArbClipboard copy(src);
    copy.AddDN(arbldap::LDAPDN("ou=one," + Src()));
    copy.AddDN(arbldap::LDAPDN("ou=sib," + Src()));
    copy.AddAttributeValue("userPassword", std::string("bytes \x01\x00\xFF", 9));
    ASSERT_TRUE(copy.Copy());

    EXPECT_TRUE(CArbClipboard::IsPasteAvailable(nullptr));
    EXPECT_TRUE(CArbClipboard::IsPasteAvailable(dst));
    EXPECT_FALSE(CArbClipboard::IsPasteAvailable(second)) << "another server";
    EXPECT_FALSE(CArbClipboard::IsPasteAvailable(src)) << "the values' own entry";

    CArbClipboard paste;
    ASSERT_TRUE(paste.Paste());
    const Snapshot before = Take();
    Run(*dst, *paste.GetContext());

    Snapshot expected = Relocated(before, "ou=one," + Src(), "ou=one," + Dst(), true);
    expected = Relocated(expected, "ou=sib," + Src(), "ou=sib," + Dst(), true);
    expected[Lower(Dst())]["userpassword"].insert(std::string("bytes \x01\x00\xFF", 9));
    EXPECT_EQ(Take(), expected);
}

// A paste within one server onto the entry copied, below it or onto its
// parent cannot act: it says why and writes nothing.
TEST_F(CopyMove, APasteOntoTheCopiedEntryOrItsParentSaysWhyAndWritesNothing)
{
    const OpenedSource opened = OpenSource();
    ASSERT_TRUE(opened.src && opened.one);
    CServerObject* server = opened.server;
    CEntryObject* src = opened.src;
    CEntryObject* one = opened.one;
    const Snapshot before = Take();
    const CArbClipboardContext content(*src);
    for (CLDAPObject* target : std::initializer_list<CLDAPObject*>{src, one, server}) {
        SCOPED_TRACE(target->GetDN().GetText());
        ui.Shell().MessageBox().asked.clear();
        EXPECT_FALSE(PasteOnto(*target, content));
        EXPECT_TRUE(WaitIdle());
        ASSERT_EQ(ui.Shell().MessageBox().asked.size(), 1u);
        EXPECT_EQ(ui.Shell().MessageBox().asked[0].text,
                  FormatResourceText(571, {Utf8ToWideString(target->GetDN().GetText())}));
        EXPECT_EQ(Take(), before);
    }
    EXPECT_TRUE(dialogs.Dialogs().checkBoxes.empty());
    // Onto its grandparent's other child it goes.
    CEntryObject* dst = Node(*server, Dst());
    ASSERT_NE(dst, nullptr);
    EXPECT_TRUE(PasteOnto(*dst, content));
    EXPECT_TRUE(WaitIdle());
    EXPECT_EQ(Take(), Relocated(before, Src(), "ou=src," + Dst(), true));
}

}  // namespace
