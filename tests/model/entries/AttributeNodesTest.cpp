// Attribute nodes without a server: how values become nodes and show, which
// viewer opens them, saving them, and what deleting refuses.

#include "tests/model/entries/NodeTestSupport.h"

#include <fstream>
#include <sstream>
#include <unistd.h>

#include "model/entries/CBinAttrObject.h"
#include "model/entries/COperationalAttrObject.h"
#include "model/entries/CTextAttrObject.h"
#include "model/ports/ResourceText.h"
#include "platform/TempFiles.h"

namespace {

using nodetest::NodeTest;
using modeltest::Text;

class AttributeNodes : public NodeTest {
protected:
    void SetUp() override
    {
        NodeTest::SetUp();
        server = AddServer();
        entry = AddEntry(*server, "cn=Erin,o=lab", server);
    }

    CAttrObject* Make(const std::string& name, const std::string& value, bool operational = false)
    {
        entry->CreateAttributeNodes(Attributes({{name, value}}), operational);
        return entry->GetAttributeNodes(operational).back();
    }

    static std::string ReadFile(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }

    CServerObject* server = nullptr;
    CEntryObject* entry = nullptr;
};

TEST_F(AttributeNodes, KindOfNodeBySchemaAndContent)
{
    entry->CreateAttributeNodes(Attributes({{"cn", "Erin"},
                                            {"jpegPhoto", "printable after all"},
                                            {"description", "plain"},
                                            {"description", std::string("bin\x01ary", 7)}}),
                                false);
    entry->CreateAttributeNodes(Attributes({{"jpegPhoto", "\xFF\xD8"}, {"modifyTimestamp", "20040115093012Z"}}), true);

    EXPECT_NE(dynamic_cast<CTextAttrObject*>(Values(*entry, "cn").at(0)), nullptr);
    // The schema says binary, whatever the bytes.
    EXPECT_NE(dynamic_cast<CBinAttrObject*>(Values(*entry, "jpegPhoto").at(0)), nullptr);
    // One value that cannot be shown makes every value of the attribute binary.
    for (CAttrObject* node : Values(*entry, "description"))
        EXPECT_NE(dynamic_cast<CBinAttrObject*>(node), nullptr) << node->GetValue();
    // Operational values are operational nodes, binary syntax or not.
    for (CAttrObject* node : entry->GetAttributeNodes(true)) {
        EXPECT_NE(dynamic_cast<COperationalAttrObject*>(node), nullptr) << node->GetName();
        EXPECT_TRUE(node->IsOperational());
    }
    EXPECT_EQ(entry->GetAttributeNodeCount(), 4u);
}

TEST_F(AttributeNodes, WhatEachKindShows)
{
    CAttrObject* text = Make("cn", "M\xC3\xBCller");
    EXPECT_EQ(text->GetCaption(), L"cn");
    EXPECT_EQ(text->GetValueText(), L"M\u00fcller");
    EXPECT_EQ(text->GetTypeName(), Text(422));
    EXPECT_EQ(text->GetImage(false), 3);
    EXPECT_EQ(text->GetImage(true), 16);
    EXPECT_EQ(text->GetSize(), 7u);
    EXPECT_EQ(text->GetType(), kNodeAttribute);
    EXPECT_EQ(text->GetFullName(), L"cn=Erin");
    EXPECT_EQ(text->GetServerObject(), server);

    CAttrObject* binary = Make("jpegPhoto", std::string(20, '\x7F'));
    std::wstring hex;
    for (int i = 0; i < 16; ++i)
        hex += L"7F  ";
    EXPECT_EQ(binary->GetValueText(), hex);
    EXPECT_EQ(binary->GetSize(), 20u);
    EXPECT_EQ(binary->GetTypeName(), Text(344));
    EXPECT_EQ(binary->GetImage(false), 4);
    EXPECT_EQ(binary->GetImage(true), 17);
    EXPECT_EQ(binary->GetRuntimeClassName(), std::string("CBinAttrObject"));

    CAttrObject* operational = Make("createTimestamp", "20040115093012Z", true);
    EXPECT_EQ(operational->GetTypeName(), Text(522));
    EXPECT_EQ(operational->GetImage(false), 5);
    EXPECT_EQ(operational->GetImage(true), 5);
}

TEST_F(AttributeNodes, PasswordsAreMaskedAndNameTheirScheme)
{
    const struct {
        std::string value;
        std::wstring type;
    } cases[] = {
        {"{SHA}W6ph5Mm5Pz8GgiULbPgzG37mj9g=", Text(670) + L" [" + Text(117) + L"]"},
        {"{md5}X03MO1qnZdYdgyfeuILPmQ==", Text(670) + L" [" + Text(126) + L"]"},
        {"{CRYPT}ab01FAX.bQRSU", Text(670) + L" [" + Text(163) + L"]"},
        {"{SSHA}abcdefgh", L"password"},
        {"secret", L"password"},
        {std::string("\x01\x02\x03", 3), L"password"},
    };
    for (const auto& c : cases) {
        CAttrObject* node = Make("userPassword", c.value);
        EXPECT_EQ(node->GetValueText(), L"********") << c.value;
        EXPECT_EQ(node->GetTypeName(), c.type) << c.value;
        EXPECT_EQ(node->GetValue(), c.value);
        // Hashed or clear, a password opens in the password manager.
        EXPECT_TRUE(node->CanOpenValue());
        EXPECT_NE(node->BuildContextMenu()->FindCommand(kCmdOpenValue), nullptr);
    }
}

TEST_F(AttributeNodes, PasswordsOpenInThePasswordManagerWithTheirName)
{
    for (const char* name : {"userPassword", "USERPASSWORD", "userpassword;x-old"}) {
        CAttrObject* node = Make(name, "{SSHA}abcdefgh");
        ASSERT_TRUE(node->IsOpenValueAvailable()) << name;
        Dialogs().passwordRequests.clear();
        node->OpenValue();
        ASSERT_EQ(Dialogs().passwordRequests.size(), 1u) << name;
        EXPECT_EQ(Dialogs().passwordRequests[0].first, L"{SSHA}abcdefgh");
        EXPECT_EQ(Dialogs().passwordRequests[0].second, name);
        // Cancelled: the value stays and nothing runs for the entry.
        EXPECT_EQ(node->GetValue(), "{SSHA}abcdefgh");
        EXPECT_FALSE(entry->IsBusy());
    }
    // The same value back changes nothing either.
    CAttrObject* node = Make("userPassword", "secret");
    Dialogs().passwordResults.push_back(L"secret");
    node->OpenValue();
    EXPECT_FALSE(entry->IsBusy());
    EXPECT_TRUE(Dialogs().passwordResults.empty());
    // Not opened while the entry is busy.
    entry->SetBusy();
    Dialogs().passwordRequests.clear();
    node->OpenValue();
    EXPECT_TRUE(Dialogs().passwordRequests.empty());
    entry->ResetBusy();
}

TEST_F(AttributeNodes, OpenCommandByNameOrDnSyntax)
{
    const struct {
        const char* name;
        unsigned text;  // 0: not openable
    } cases[] = {
        {"jpegPhoto", 321}, {"JPEGPHOTO", 321}, {"photo", 321},          {"audio", 323},
        {"mail", 324},      {"labeledURI", 325}, {"labeledurl", 325},    {"memberURL", 325},
        {"nsDirectoryURL", 325}, {"userCertificate;binary", 327}, {"cACertificate", 327},
        {"seeAlso", 329},   {"member", 329},     {"description", 0},     {"userPassword", 518},
        {"USERPASSWORD;x-old", 518},
    };
    for (const auto& c : cases) {
        CAttrObject* node = Make(c.name, "x");
        EXPECT_EQ(node->CanOpenValue(), c.text != 0) << c.name;
        EXPECT_EQ(node->GetOpenCommandText(), c.text ? Text(c.text) : std::wstring()) << c.name;
        const platform::MenuItem* open = node->BuildContextMenu()->FindCommand(kCmdOpenValue);
        EXPECT_EQ(open != nullptr, c.text != 0) << c.name;
    }
}

TEST_F(AttributeNodes, ImagesAndSoundsOpenThroughTemporaryFiles)
{
    const struct {
        const char* name;
        std::string value;
        const char* extension;  // empty: not recognised
        unsigned message;
    } cases[] = {
        {"jpegPhoto", "any bytes", "jpg", 0},
        {"photo", std::string("II\x2A\x00rest", 8), "tiff", 0},
        {"photo", "GIF89a..", "gif", 0},
        {"photo", "BM", "", 335},
        {"audio", "RIFF....WAVE", "wav", 0},
        {"audio", "MThd", "", 338},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        const size_t opened = launcher.Launcher().Get().size();
        const size_t boxes = ui.Shell().MessageBox().asked.size();
        Make(c.name, c.value)->OpenValue();
        if (*c.extension) {
            ASSERT_EQ(launcher.Launcher().Get().size(), opened + 1);
            testsupport::RecordingDesktopLauncher::Opened file = launcher.Launcher().Get().back();
            EXPECT_TRUE(file.file);
            EXPECT_EQ(file.bytes, c.value);
            std::string suffix = std::string(".") + c.extension;
            EXPECT_EQ(file.target.substr(file.target.size() - suffix.size()), suffix);
            EXPECT_EQ(platform::GetRegisteredTempFiles().back(), file.target);
        } else {
            EXPECT_EQ(launcher.Launcher().Get().size(), opened);
            ASSERT_EQ(ui.Shell().MessageBox().asked.size(), boxes + 1);
            EXPECT_EQ(ui.Shell().MessageBox().asked.back().text, Text(c.message));
        }
    }
    platform::DeleteRegisteredTempFiles();
}

TEST_F(AttributeNodes, ATemporaryFileThatCannotBeMadeOpensNothing)
{
    const char* old = getenv("TMPDIR");
    std::string saved = old ? old : "";
    setenv("TMPDIR", "/nonexistent-arbolite-folder", 1);
    Make("jpegPhoto", "bytes")->OpenValue();
    if (old) setenv("TMPDIR", saved.c_str(), 1); else unsetenv("TMPDIR");
    EXPECT_TRUE(launcher.Launcher().Get().empty());
    ASSERT_EQ(ui.Shell().MessageBox().asked.size(), 1u);
    EXPECT_EQ(ui.Shell().MessageBox().asked[0].text, Text(342));
}

TEST_F(AttributeNodes, LinksAndMailGoToTheDesktopOnlyWhenSafe)
{
    const struct {
        const char* name;
        const char* value;
        const char* opened;  // null: nothing handed on
    } cases[] = {
        {"labeledURI", "http://example.org/a Home page", "http://example.org/a"},
        {"LABELEDURI", "https://example.org/", "https://example.org/"},
        {"memberURL", "ldap:///ou=people,o=lab??one?(objectClass=*)", "ldap:///ou=people,o=lab??one?(objectClass=*)"},
        {"labeledURI", "file:///etc/passwd", nullptr},
        {"labeledURI", "javascript:alert(1) label", nullptr},
        {"labeledURI", "/usr/bin/xterm", nullptr},
        {"mail", "erin@example.org", "mailto:erin@example.org"},
        {"mail", "erin@example.org?cc=eve@evil.example", "mailto:erin@example.org%3Fcc%3Deve@evil.example"},
    };
    for (const auto& c : cases) {
        const size_t before = launcher.Launcher().Get().size();
        Make(c.name, c.value)->OpenValue();
        std::vector<testsupport::RecordingDesktopLauncher::Opened> opened = launcher.Launcher().Get();
        if (c.opened) {
            ASSERT_EQ(opened.size(), before + 1) << c.value;
            EXPECT_FALSE(opened.back().file);
            EXPECT_EQ(opened.back().target, c.opened);
        } else {
            EXPECT_EQ(opened.size(), before) << c.value;
        }
    }
}

TEST_F(AttributeNodes, DnValuesNavigateFromTheServer)
{
    std::vector<std::pair<CLDAPObject*, std::string>> navigations;
    CLDAPObject::NavigateJobMaker previous =
        CLDAPObject::SetNavigateJobMaker([&](CLDAPObject& node, const arbldap::LDAPDN& dn) {
            navigations.emplace_back(&node, dn.GetText());
            return std::shared_ptr<CLDAPThread>();
        });
    Make("seeAlso", "cn=Bob,ou=people,o=lab")->OpenValue();
    CLDAPObject::SetNavigateJobMaker(previous);
    ASSERT_EQ(navigations.size(), 1u);
    EXPECT_EQ(navigations[0].first, server);
    EXPECT_EQ(navigations[0].second, "cn=Bob,ou=people,o=lab");
}

TEST_F(AttributeNodes, CertificatesOpenTogetherOnTheChosenPage)
{
    entry->CreateAttributeNodes(Attributes({{"userCertificate;binary", "\x30\x82one"},
                                            {"userCertificate;binary", "\x30\x82two"},
                                            {"cACertificate", "\x30\x82three"},
                                            {"description", "not one"}}),
                                false);
    std::vector<CAttrObject*> certificates = entry->GetCertificateNodes();
    ASSERT_EQ(certificates.size(), 3u);
    certificates[1]->OpenValue();
    ASSERT_EQ(Dialogs().certificates.size(), 1u);
    const ScriptedNodeDialogs::Certificates& sheet = Dialogs().certificates[0];
    std::wstring caption = Text(339);
    caption.replace(caption.find(L"%s"), 2, L"cn=Erin,o=lab");
    EXPECT_EQ(sheet.caption, caption);
    ASSERT_EQ(sheet.pages.size(), 3u);
    EXPECT_EQ(sheet.pages[0].title, Text(341) + L"1");
    EXPECT_EQ(sheet.pages[2].title, Text(341) + L"3");
    EXPECT_EQ(sheet.pages[1].value, "\x30\x82two");
    EXPECT_EQ(sheet.active, 1u);
}

TEST_F(AttributeNodes, SavingAValueProposesANameAndWritesItsBytes)
{
    const std::string folder = m_home + "/";
    CAttrObject* text = Make("description", "line one\nline two");
    Dialogs().savePaths.push_back(Utf8ToWideString(folder + "text.txt"));
    text->SaveValueToFile();
    ASSERT_EQ(Dialogs().saveRequests.size(), 1u);
    EXPECT_EQ(Dialogs().saveRequests[0].extension, L"txt");
    EXPECT_EQ(Dialogs().saveRequests[0].fileName, L"Erin_description");
    EXPECT_EQ(Dialogs().saveRequests[0].filter, Text(32774));
    EXPECT_EQ(ReadFile(folder + "text.txt"), "line one\nline two");

    CAttrObject* binary = Make("jpegPhoto", std::string("\xFF\xD8\x00\x01\x02\x03\x04\x05\x06", 9));
    Dialogs().binaryChoices.push_back({Utf8ToWideString(folder + "raw.bin"), false, false, 0});
    Dialogs().binaryChoices.push_back({Utf8ToWideString(folder + "text.b64"), true, true, 4});
    Dialogs().binaryChoices.push_back({Utf8ToWideString(folder + "long.b64"), true, false, 4});
    for (int i = 0; i < 3; ++i)
        binary->SaveValueToFile();
    ASSERT_EQ(Dialogs().binaryRequests.size(), 3u);
    EXPECT_EQ(Dialogs().binaryRequests[0].extension, L"bin");
    EXPECT_EQ(Dialogs().binaryRequests[0].fileName, L"Erin_jpegPhoto");
    EXPECT_EQ(ReadFile(folder + "raw.bin"), binary->GetValue());
    EXPECT_EQ(ReadFile(folder + "text.b64"), "/9gA\nAQID\nBAUG\n");
    EXPECT_EQ(ReadFile(folder + "long.b64"), "/9gAAQIDBAUG");

    // A file that cannot be written says so.
    Dialogs().savePaths.push_back(L"/nonexistent-arbolite-folder/x.txt");
    text->SaveValueToFile();
    ASSERT_EQ(ui.Shell().MessageBox().asked.size(), 1u);
    EXPECT_EQ(ui.Shell().MessageBox().asked[0].text, Text(32776));
}

TEST_F(AttributeNodes, DeletingIsRefusedForTheNamingValueAndWhileTheOwnerIsBusy)
{
    CAttrObject* naming = Make("cn", "Erin");
    EXPECT_FALSE(naming->Delete(0));
    ASSERT_EQ(ui.Shell().MessageBox().asked.size(), 1u);
    EXPECT_NE(ui.Shell().MessageBox().asked[0].text.find(Text(313)), std::wstring::npos);

    CAttrObject* other = Make("description", "x");
    entry->SetBusy();
    EXPECT_FALSE(other->Delete(1));
    EXPECT_FALSE(other->PromptDelete());
    EXPECT_EQ(ui.Shell().MessageBox().asked.size(), 1u) << "no question while busy";
    entry->ResetBusy();

    // Asked first, No keeps it.
    ui.Shell().MessageBox().Answer(platform::kIdNo);
    EXPECT_FALSE(other->Delete(1));
    EXPECT_EQ(ui.Shell().MessageBox().asked.back().text, Text(315));
}

TEST_F(AttributeNodes, ASingleValueIsReplacedOnlyAfterConfirmation)
{
    CAttrObject* country = Make("c", "DE");
    // The entry has a value of c already.
    Dialogs().checkAnswers.push_back(platform::kIdNo);
    EXPECT_FALSE(country->ConfirmSingleValueReplace());
    ASSERT_EQ(Dialogs().checkBoxes.size(), 1u);
    EXPECT_EQ(Dialogs().checkBoxes[0].first, Text(57608));
    EXPECT_EQ(Dialogs().checkBoxes[0].second, 308u);
    Dialogs().checkAnswers.push_back(platform::kIdYes);
    EXPECT_TRUE(country->ConfirmSingleValueReplace());
    // Many values allowed: no question.
    EXPECT_TRUE(Make("description", "x")->ConfirmSingleValueReplace());
    EXPECT_EQ(Dialogs().checkBoxes.size(), 2u);
}

} // namespace
