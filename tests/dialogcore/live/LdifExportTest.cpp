// The LDIF export against the real server: awkward entries exported in every
// scope and layout, loaded into a fresh server by ldapadd (slapadd with
// operational attributes) and compared there entry by entry with the source
// as ldapsearch prints both; the file's layout; and the failures that must
// leave an earlier file untouched.

#include "tests/model/entries/live/LiveModelSupport.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>

#include "base/Base64.h"
#include "dialogcore/CLdifExportThread.h"
#include "model/nodes/CErrorObject.h"
#include "model/ports/LdifExport.h"
#include "tests/support/ExportFiles.h"
#include "tests/support/HeadlessProgressDlg.h"
#include "tests/support/SilentServer.h"

#ifndef ARB_TEST_OUTPUT_DIR
#define ARB_TEST_OUTPUT_DIR "test-output"
#endif

namespace {

using namespace modellive;
std::string Shell(const std::string& command)
{
    return testsupport::Run(command);
}

// The records of ldapsearch -LLL output, each as its text, sorted.
std::string Search(int port, const std::string& base, const std::string& scope, const std::string& attributes = "")
{
    return Shell("ldapsearch -x -LLL -o ldif-wrap=no -H ldap://127.0.0.1:" + std::to_string(port) + " -b '" + base +
               "' -s " + scope + " '(objectclass=*)' " + attributes);
}

const std::string kLabBase =
    "dn: o=lab\nobjectClass: organization\no: lab\n\n"
    "dn: ou=scratch,o=lab\nobjectClass: organizationalUnit\nou: scratch\n\n";

class LdifExport : public LiveModelTest {
protected:
    void SetUp() override
    {
        LiveModelTest::SetUp();
        m_base = "ou=ldifx" + std::to_string(getpid()) + "," + live::kScratch;
        m_joseDN = "cn=Jos\xc3\xa9," + m_base;
        m_lineDN = "cn=line1\nline2," + m_base;
        std::string photo;
        for (int i = 0; i < 600; ++i) photo += static_cast<char>((i * 37 + 11) & 0xFF);
        photo[0] = '\xff';
        photo[1] = '\xd8';
        const std::string ldif =
            "dn: " + m_base + "\nobjectClass: organizationalUnit\nou: ldifx" + std::to_string(getpid()) +
            "\ndescription: abc\n"
            "description:: " + testsupport::Base64(" leading space") + "\n"
            "description:: " + testsupport::Base64(":colon first") + "\n"
            "description:: " + testsupport::Base64("<less first") + "\n"
            "description:: " + testsupport::Base64("trailing space ") + "\n"
            "description:: " + testsupport::Base64("with\rCR") + "\n"
            "description:: " + testsupport::Base64("with\nLF") + "\n"
            "description:: " + testsupport::Base64("Jos\xc3\xa9 non-ASCII") + "\n"
            "description:: " + testsupport::Base64(" " + std::string(56, 'x')) + "\n"
            "description:: " + testsupport::Base64(" " + std::string(57, 'y')) + "\n"
            "description: " + std::string(1000, 'z') + "\n\n"
            "dn:: " + testsupport::Base64(m_joseDN) + "\nobjectClass: inetOrgPerson\ncn:: " + testsupport::Base64("Jos\xc3\xa9") +
            "\nsn: S\n"
            "userPassword:: " + testsupport::Base64(std::string("nul\0inside", 10)) + "\n"
            "userPassword:: " + testsupport::Base64("\x0e" "first") + "\n"
            "userPassword: later\x0e" "byte\n"
            "jpegPhoto:: " + testsupport::Base64(photo) + "\n\n"
            "dn: cn=child," + m_joseDN + "\nobjectClass: device\ncn: child\n\n"
            "dn:: " + testsupport::Base64(m_lineDN) + "\nobjectClass: device\ncn:: " + testsupport::Base64("line1\nline2") + "\n\n";
        const std::string path = testsupport::ExportFolder(ARB_TEST_OUTPUT_DIR) + "source-" + std::to_string(getpid()) + ".ldif";
        testsupport::WriteBytes(path, ldif);
        Shell("ldapadd -x -D '" + std::string(testsupport::kAdminDN) + "' -w " + testsupport::kAdminPassword +
            " -H ldap://127.0.0.1:" + std::to_string(live::MainServer().Port()) + " -f '" + path + "' 2>&1");
        unlink(path.c_str());
    }

    void TearDown() override
    {
        LiveModelTest::TearDown();
        Shell("ldapdelete -r -x -D '" + std::string(testsupport::kAdminDN) + "' -w " + testsupport::kAdminPassword +
            " -H ldap://127.0.0.1:" + std::to_string(live::MainServer().Port()) + " '" + m_base + "' 2>&1 || true");
    }

    CServerObject* Server(const std::string& base)
    {
        CServerProfile profile = MainProfile(base);
        return AddServer(profile);
    }

    // Runs the export on node and waits for it; the progress window's record.
    std::shared_ptr<const HeadlessProgressRecord> Export(CEntryObject& node, int scope, int output, bool header,
                                                         bool operational, const std::string& path,
                                                         const std::string& filter = "(objectclass=*)")
    {
        LdifExportRequest request;
        request.scope = scope;
        request.output = output;
        request.firstOption = header;
        request.secondOption = operational;
        request.path = Utf8ToWideString(path);
        request.filter = filter;
        auto progress = std::make_unique<CHeadlessProgressDlg>();
        auto record = progress->GetRecord();
        StartLdifExport(node, request, std::move(progress));
        EXPECT_TRUE(WaitIdle());
        return record;
    }

    std::string m_base;
    std::string m_joseDN;
    std::string m_lineDN;
};

struct Layout {
    const char* name;
    int scope;   // LDAP scope
    int output;  // 0 CR LF, 1 LF
    bool header;
};

void CheckLayout(const std::string& text, const Layout& layout)
{
    const std::string end = layout.output == 0 ? "\r\n" : "\n";
    if (layout.output == 1) {
        EXPECT_EQ(text.find('\r'), std::string::npos) << "no CR with LF chosen";
    } else {
        for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1))
            ASSERT_TRUE(at > 0 && text[at - 1] == '\r') << "a bare LF at " << at;
    }
    std::string lf = text;
    lf.erase(std::remove(lf.begin(), lf.end(), '\r'), lf.end());
    std::istringstream in(lf);
    std::string line;
    bool inHeader = true;
    int headerLines = 0;
    std::getline(in, line);
    while (inHeader && line.rfind("# ", 0) == 0) {
        ++headerLines;
        if (!std::getline(in, line)) break;
    }
    EXPECT_EQ(headerLines > 0, layout.header);
    EXPECT_EQ(line, "version: 1");
    ASSERT_TRUE(std::getline(in, line));
    EXPECT_EQ(line.rfind("dn", 0), 0u) << "the first record follows the version line directly";
    EXPECT_EQ(lf.find("\n\n\n"), std::string::npos) << "one empty line between records";
    EXPECT_EQ(lf.back(), '\n');
    EXPECT_NE(lf.substr(lf.size() - 2), "\n\n") << "no empty line at the end";
}

TEST_F(LdifExport, EveryScopeAndLayoutLoadsIntoAFreshServerUnchanged)
{
    CServerObject* server = Server(m_base);
    const int port = live::MainServer().Port();
    const Layout layouts[] = {
        {"subtree-lf-header", 2, 1, true},
        {"subtree-crlf-header", 2, 0, true},
        {"subtree-lf", 2, 1, false},
        {"subtree-crlf", 2, 0, false},
        {"onelevel-lf-header", 1, 1, true},
        {"onelevel-crlf", 1, 0, false},
    };
    for (const Layout& layout : layouts) {
        SCOPED_TRACE(layout.name);
        const std::string path = testsupport::ExportFolder(ARB_TEST_OUTPUT_DIR) + layout.name + ".ldif";
        unlink(path.c_str());
        Export(*server, layout.scope, layout.output, layout.header, false, path);
        const std::string text = testsupport::ReadBytes(path);
        ASSERT_FALSE(text.empty());
        CheckLayout(text, layout);
        const std::string scope = layout.scope == 2 ? "sub" : "one";
        const std::string source = Search(port, m_base, scope);
        testsupport::WriteBytes(testsupport::ExportFolder(ARB_TEST_OUTPUT_DIR) + layout.name + ".source.ldif", source);

        // The one-level records need their parent in the fresh server.
        std::string preload = kLabBase;
        if (layout.scope == 1) preload += Search(port, m_base, "base") + "\n";
        std::unique_ptr<testsupport::SlapdServer> fresh = testsupport::SlapdServer::Fresh("o=lab", preload);
        Shell("ldapadd -x -D cn=admin,o=lab -w secret -H ldap://127.0.0.1:" + std::to_string(fresh->Port()) +
            " -f '" + path + "' 2>&1");
        const std::string loaded = Search(fresh->Port(), m_base, scope);
        EXPECT_EQ(testsupport::LdifRecords(loaded), testsupport::LdifRecords(source));
        EXPECT_EQ(testsupport::LdifRecords(source).size(), layout.scope == 2 ? 4u : 2u);
    }
}

std::chrono::system_clock::time_point NinthOfDecemberAfternoon()
{
    std::tm local{};
    local.tm_year = 2026 - 1900;
    local.tm_mon = 11;
    local.tm_mday = 9;
    local.tm_hour = 14;
    local.tm_min = 5;
    local.tm_isdst = -1;
    return std::chrono::system_clock::from_time_t(std::mktime(&local));
}

TEST_F(LdifExport, TheHeaderNamesDateTimeAndServerInCommentLines)
{
    CServerObject* server = Server(m_base);
    const CLdifExportThread::Clock previous = CLdifExportThread::SetClock(&NinthOfDecemberAfternoon);
    const std::string path = testsupport::ExportFolder(ARB_TEST_OUTPUT_DIR) + "header-crlf.ldif";
    Export(*server, 0, 0, true, false, path);
    CLdifExportThread::SetClock(previous);
    const std::string text = testsupport::ReadBytes(path);
    EXPECT_EQ(text.rfind("# LDIF export of Arbolite\r\n# Date: 12.09.2026 14:05\r\n# Server: 127.0.0.1, port " +
                             std::to_string(live::MainServer().Port()) + "\r\nversion: 1\r\ndn: " + m_base + "\r\n",
                         0),
              0u)
        << text.substr(0, 200);
}

TEST_F(LdifExport, ValuesAreWrittenPlainOnlyWhenSafe)
{
    CServerObject* server = Server(m_base);
    const std::string path = testsupport::ExportFolder(ARB_TEST_OUTPUT_DIR) + "values-lf.ldif";
    Export(*server, 2, 1, false, false, path);
    const std::string text = testsupport::ReadBytes(path);
    struct Case {
        const char* what;
        std::string line;
    };
    const Case cases[] = {
        {"safe", "description: abc\n"},
        {"leading space", "description:: " + testsupport::Base64(" leading space") + "\n"},
        {"leading colon", "description:: " + testsupport::Base64(":colon first") + "\n"},
        {"leading less-than", "description:: " + testsupport::Base64("<less first") + "\n"},
        {"trailing space", "description:: " + testsupport::Base64("trailing space ") + "\n"},
        {"CR", "description:: " + testsupport::Base64("with\rCR") + "\n"},
        {"LF", "description:: " + testsupport::Base64("with\nLF") + "\n"},
        {"non-ASCII", "description:: " + testsupport::Base64("Jos\xc3\xa9 non-ASCII") + "\n"},
        {"57 bytes: one line of 76", "description:: " + testsupport::Base64(" " + std::string(56, 'x')) + "\n"},
        {"58 bytes: 76 and a second line of a space and 4",
         "description:: " + testsupport::Base64(" " + std::string(57, 'y')).substr(0, 76) + "\n " +
             testsupport::Base64(" " + std::string(57, 'y')).substr(76) + "\n"},
        {"1000 characters on one line", "description: " + std::string(1000, 'z') + "\n"},
        {"NUL", "userPassword:: " + testsupport::Base64(std::string("nul\0inside", 10)) + "\n"},
        {"first byte 0x0E", "userPassword:: " + testsupport::Base64("\x0e" "first") + "\n"},
        {"0x0E later stays plain", "userPassword: later\x0e" "byte\n"},
        {"non-ASCII DN", "dn:: " + testsupport::Base64(m_joseDN) + "\n"},
        {"DN holding LF", "dn:: " + testsupport::Base64(m_lineDN) + "\n"},
        {"plain DN", "dn: " + m_base + "\n"},
    };
    for (const Case& c : cases) EXPECT_NE(text.find("\n" + c.line), std::string::npos) << c.what;
    EXPECT_EQ(testsupport::Base64(" " + std::string(56, 'x')).size(), 76u);
    EXPECT_EQ(testsupport::Base64(" " + std::string(57, 'y')).size(), 80u);
}

TEST_F(LdifExport, TheEntryAloneIsWrittenFromTheNodeWithoutAskingTheServer)
{
    CServerObject* server = Server(m_base);
    Open(*server);
    ASSERT_GT(server->GetAttributeNodeCount(), 0u);
    // Nobody listens there now: a search would fail.
    server->SetPort(testsupport::FreePort());
    const std::string path = testsupport::ExportFolder(ARB_TEST_OUTPUT_DIR) + "base-lf.ldif";
    Export(*server, 0, 1, false, false, path);
    const std::string text = testsupport::ReadBytes(path);
    EXPECT_EQ(text.rfind("version: 1\ndn: " + m_base + "\n", 0), 0u) << text.substr(0, 200);
    EXPECT_EQ(text.find("\n\n"), std::string::npos) << "one record";
    EXPECT_NE(text.find("\ndescription: abc\n"), std::string::npos);
    EXPECT_EQ(ChildrenOf<CErrorObject>(*server).size(), 0u);
}

TEST_F(LdifExport, OperationalAttributesLoadWithSlapadd)
{
    CServerObject* server = Server(m_base);
    const std::string path = testsupport::ExportFolder(ARB_TEST_OUTPUT_DIR) + "operational-lf.ldif";
    Export(*server, 2, 1, true, true, path);
    const std::string text = testsupport::ReadBytes(path);
    EXPECT_NE(text.find("\nentryUUID: "), std::string::npos);
    EXPECT_NE(text.find("\ncreateTimestamp: "), std::string::npos);
    const int port = live::MainServer().Port();
    const std::string source = Search(port, m_base, "sub", "'*' '+'");
    testsupport::WriteBytes(testsupport::ExportFolder(ARB_TEST_OUTPUT_DIR) + "operational-lf.source.ldif", source);

    std::string records = text.substr(text.find("version: 1\n") + 11);
    std::unique_ptr<testsupport::SlapdServer> fresh = testsupport::SlapdServer::Fresh("o=lab", kLabBase + records);
    const std::string loaded = Search(fresh->Port(), m_base, "sub", "'*' '+'");
    // The attributes the server derives (entryDN, subschemaSubentry) were
    // loaded as stored ones too, so the fresh server shows them twice: each
    // line is compared once.
    auto stable = [](const std::string& text) {
        std::vector<std::string> records = testsupport::LdifRecords(text);
        for (std::string& record : records) {
            std::istringstream in(record);
            std::vector<std::string> lines;
            for (std::string line; std::getline(in, line);)
                if (std::find(lines.begin(), lines.end(), line) == lines.end()) lines.push_back(line);
            std::sort(lines.begin(), lines.end());
            record.clear();
            for (const std::string& line : lines) record += line + "\n";
        }
        return records;
    };
    EXPECT_EQ(stable(loaded), stable(source));
}

TEST_F(LdifExport, AFileThatCannotBeWrittenShowsItsMessageAndWritesNothing)
{
    CServerObject* server = Server(m_base);
    const std::string folder = testsupport::ExportFolder(ARB_TEST_OUTPUT_DIR);
    for (const std::string& path : {std::string("/nonexistent-folder-") + std::to_string(getpid()) + "/x.ldif",
                                    folder}) {
        SCOPED_TRACE(path);
        const size_t boxes = ui.Shell().MessageBox().asked.size();
        Export(*server, 2, 1, true, false, path);
        ASSERT_EQ(ui.Shell().MessageBox().asked.size(), boxes + 1);
        const auto& box = ui.Shell().MessageBox().asked.back();
        EXPECT_EQ(box.text, FormatResourceText(kStrLdifFileNotWritable, {Utf8ToWideString(path)}));
        EXPECT_EQ(box.style & 0xF0, 0x10u) << "an error icon";
    }
}

TEST_F(LdifExport, AWrongPasswordLeavesAnErrorNodeAndTheEarlierFileUntouched)
{
    CServerProfile profile = MainProfile(m_base);
    profile.SetAnonymousBind(0);
    profile.SetUserDN(arbldap::LDAPDN(testsupport::kAdminDN));
    profile.SetSavePassword(1);
    profile.SetPassword("not the password");
    CServerObject* server = AddServer(profile);
    const std::string folder = testsupport::ExportFolder(ARB_TEST_OUTPUT_DIR) + "wrong-password-" + std::to_string(getpid()) + "/";
    Shell("rm -rf '" + folder + "' && mkdir -p '" + folder + "'");
    const std::string path = folder + "earlier.ldif";
    testsupport::WriteBytes(path, "earlier text\n");
    auto record = Export(*server, 2, 1, true, false, path);
    EXPECT_EQ(testsupport::ReadBytes(path), "earlier text\n");
    EXPECT_EQ(testsupport::FolderNames(folder), std::vector<std::string>{"earlier.ldif"});
    std::vector<CErrorObject*> errors = ChildrenOf<CErrorObject>(*server);
    ASSERT_EQ(errors.size(), 1u);
    const HeadlessProgressView view = record->Get();
    ASSERT_FALSE(view.statusTexts.empty());
    EXPECT_NE(view.statusTexts.back().find(L"49"), std::wstring::npos) << view.statusTexts.back();
    Shell("rm -rf '" + folder + "'");
}

TEST_F(LdifExport, AStopMidwayLeavesTheEarlierFileUntouched)
{
    // A server that takes the connection and never answers: the export
    // stands waiting, its file begun beside the old one.
    testsupport::SilentServer silent;
    CServerObject* server = AddServer(modellive::Profile(silent.Port(), m_base));
    const std::string folder = testsupport::ExportFolder(ARB_TEST_OUTPUT_DIR) + "stopped-" + std::to_string(getpid()) + "/";
    Shell("rm -rf '" + folder + "' && mkdir -p '" + folder + "'");
    const std::string path = folder + "earlier.ldif";
    testsupport::WriteBytes(path, "earlier text\n");

    LdifExportRequest request;
    request.scope = 2;
    request.path = Utf8ToWideString(path);
    request.filter = "(objectclass=*)";
    StartLdifExport(*server, request, nullptr);
    // The job shows its texts through this thread meanwhile.
    ASSERT_TRUE(ui.Dispatcher().PumpUntil([&] { return silent.OpenConnections() >= 1; }, 10000));
    EXPECT_EQ(testsupport::FolderNames(folder).size(), 2u) << "the new file is being written beside the old one";
    server->Abort();
    EXPECT_TRUE(WaitIdle());
    EXPECT_EQ(testsupport::ReadBytes(path), "earlier text\n");
    EXPECT_EQ(testsupport::FolderNames(folder), std::vector<std::string>{"earlier.ldif"});
    Shell("rm -rf '" + folder + "'");
}

} // namespace
