// Binary values to and from files: saved raw and as base64 text (read back
// by coreutils and ldapsearch), and loaded from raw and base64 files into
// the entry on the server, one value at a time.

#include "tests/model/entries/live/LiveModelSupport.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "model/entries/BinaryValueLoad.h"
#include "model/entries/CBinAttrObject.h"
#include "model/nodes/CErrorObject.h"
#include "model/ports/ResourceText.h"

namespace {

using namespace modellive;

std::string Jpeg(char tag, size_t length)
{
    std::string bytes("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00", 20);
    for (size_t i = 0; bytes.size() + 2 < length; ++i)
        bytes += static_cast<char>((i * 7 + static_cast<unsigned char>(tag)) & 0xFF);
    bytes += "\xFF\xD9";
    return bytes;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

class ValueFiles : public LiveModelTest {
protected:
    void SetUp() override
    {
        m_admin = live::OpenAdmin();
        LiveModelTest::SetUp();
        m_folder = live::MainServer().Folder() + "/value-files-" + std::to_string(getpid());
        testsupport::Run("mkdir -p '" + m_folder + "'");
        m_certificates[0] = Certificate("first");
        m_certificates[1] = Certificate("second");
        m_certificates[2] = Certificate("third");
        m_dn = "cn=files" + std::to_string(getpid()) + "," + live::kScratch;
        auto* attributes = new arbldap::LDAPAttributeList;
        attributes->AddValue("objectClass", "inetOrgPerson");
        attributes->AddValue("cn", "files" + std::to_string(getpid()));
        attributes->AddValue("sn", "Files");
        attributes->AddValue("jpegPhoto", Jpeg('a', 300));
        attributes->AddValue("jpegPhoto", Jpeg('b', 200));
        attributes->AddValue("userCertificate;binary", m_certificates[0]);
        attributes->AddValue("userCertificate;binary", m_certificates[1]);
        m_admin->Add(arbldap::LDAPEntry(m_dn, attributes));
    }

    void TearDown() override
    {
        LiveModelTest::TearDown();
        m_admin->Delete(m_dn);
        testsupport::Run("rm -rf '" + m_folder + "'");
    }

    std::string Certificate(const std::string& name)
    {
        const std::string der = m_folder + "/" + name + ".der";
        testsupport::Run("openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -keyout /dev/null "
                         "-subj '/CN=" + name + "' -days 2 -outform der -out '" + der + "' 2>/dev/null");
        return ReadFile(der);
    }

    CEntryObject* OpenEntry(bool asAdmin = true) { return OpenEntryBelow(live::kScratch, m_dn, asAdmin); }

    CBinAttrObject* Value(CEntryObject& entry, const std::string& name, const std::string& bytes)
    {
        for (CAttrObject* node : entry.GetAttributeNodes(false))
            if (EqualNoCase(node->GetName(), name) && node->GetValue() == bytes)
                return dynamic_cast<CBinAttrObject*>(node);
        return nullptr;
    }

    std::vector<std::string> OnServer(const std::string& attribute)
    {
        std::vector<std::string> values = live::LdapsearchValues(live::MainServer().Port(), m_dn, attribute);
        std::sort(values.begin(), values.end());
        return values;
    }

    static std::vector<std::string> Sorted(std::vector<std::string> values)
    {
        std::sort(values.begin(), values.end());
        return values;
    }

    // Loads the file into node as the load dialog would hand it over.
    bool Load(CDataObject* node, const std::string& path, bool base64)
    {
        BinaryFileChoice choice;
        choice.path = Utf8ToWideString(path);
        choice.base64 = base64;
        dialogs.Dialogs().loadChoices.push_back(choice);
        bool sent = LoadBinaryValueFromFile(node);
        EXPECT_TRUE(WaitIdle());
        return sent;
    }

    std::string m_dn;
    std::string m_folder;
    std::string m_certificates[3];
    RefPtr<arbldap::LDAPSyncConnection> m_admin;
};

TEST_F(ValueFiles, ARawFileReplacesOnlyTheChosenValue)
{
    CEntryObject* entry = OpenEntry();
    ASSERT_NE(entry, nullptr);
    const std::string file = m_folder + "/new.jpg";
    const std::string photo = Jpeg('n', 5000);
    WriteFile(file, photo);
    CBinAttrObject* first = Value(*entry, "jpegPhoto", Jpeg('a', 300));
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->CanRenameInList());

    EXPECT_TRUE(Load(first, file, false));
    EXPECT_EQ(OnServer("jpegPhoto"), Sorted({photo, Jpeg('b', 200)}));
    for (CErrorObject* error : ChildrenOf<CErrorObject>(*entry))
        ADD_FAILURE() << "error " << error->GetResultCode() << " " << WideToUtf8Text(error->GetValueText());
    EXPECT_NE(Value(*entry, "jpegPhoto", photo), nullptr) << "the entry read its values again";
}

TEST_F(ValueFiles, Base64FilesWithLfAndCrLfLinesLoad)
{
    struct Case {
        const char* what;
        const char* lineEnd;
        int width;
    } const cases[] = {
        {"LF lines of 76", "", 76},
        {"CR LF lines of 64", "\\r", 64},
        {"one line", "", 0},
    };
    CEntryObject* entry = OpenEntry();
    ASSERT_NE(entry, nullptr);
    std::string previous = Jpeg('a', 300);
    char tag = 'c';
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string raw = m_folder + "/photo-" + tag + ".jpg";
        const std::string text = m_folder + "/photo-" + tag + ".b64";
        const std::string photo = Jpeg(tag++, 3001);
        WriteFile(raw, photo);
        // coreutils writes the file, not the program.
        testsupport::Run("base64 -w " + std::to_string(c.width) + " '" + raw + "' | sed 's/$/" + c.lineEnd + "/' > '" +
                         text + "'");
        CBinAttrObject* node = Value(*entry, "jpegPhoto", previous);
        ASSERT_NE(node, nullptr);
        EXPECT_TRUE(Load(node, text, true));
        EXPECT_EQ(OnServer("jpegPhoto"), Sorted({photo, Jpeg('b', 200)}));
        previous = photo;
    }
}

TEST_F(ValueFiles, ACertificateWithTwoValuesKeepsTheOther)
{
    CEntryObject* entry = OpenEntry();
    ASSERT_NE(entry, nullptr);
    const std::string file = m_folder + "/third.der";
    CBinAttrObject* first = Value(*entry, "userCertificate;binary", m_certificates[0]);
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(Load(first, file, false));
    EXPECT_EQ(OnServer("userCertificate;binary"), Sorted({m_certificates[2], m_certificates[1]}));
}

TEST_F(ValueFiles, WhatCannotBeLoadedLeavesTheServerAlone)
{
    struct Case {
        const char* what;
        std::string content;  // written to the file unless missing
        bool missing;
        bool base64;
        std::wstring message;
    };
    const std::wstring invalid = L"Invalid file format.";
    const std::wstring unreadable = modeltest::Text(32775);
    const std::wstring empty = modeltest::Text(753);
    const Case cases[] = {
        {"'=' inside", "QUJD=RFRg\n", false, true, invalid},
        {"a length that is no multiple of 4", "QUJDREV\n", false, true, invalid},
        {"a character outside the alphabet", "QUJD*EVG\n", false, true, invalid},
        {"three '=' at the end", "QQ==\nQ===\n", false, true, invalid},
        {"a missing base64 file", "", true, true, unreadable},
        {"a missing raw file", "", true, false, unreadable},
        {"an empty raw file", "", false, false, empty},
        {"an empty base64 file", "\r\n", false, true, empty},
    };
    CEntryObject* entry = OpenEntry();
    ASSERT_NE(entry, nullptr);
    const std::vector<std::string> before = OnServer("jpegPhoto");
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = m_folder + "/bad-" + std::to_string(index++);
        if (!c.missing)
            WriteFile(path, c.content);
        ui.Shell().MessageBox().asked.clear();
        CBinAttrObject* node = Value(*entry, "jpegPhoto", Jpeg('a', 300));
        ASSERT_NE(node, nullptr);
        EXPECT_FALSE(Load(node, path, c.base64));
        ASSERT_EQ(ui.Shell().MessageBox().asked.size(), 1u);
        EXPECT_EQ(ui.Shell().MessageBox().asked[0].text, c.message);
        EXPECT_FALSE(entry->IsBusy());
        EXPECT_EQ(OnServer("jpegPhoto"), before);
    }
}

TEST_F(ValueFiles, ARefusedChangeIsReportedAndTheListKeepsTheOldValue)
{
    CEntryObject* entry = OpenEntry(false);
    ASSERT_NE(entry, nullptr);
    const std::string file = m_folder + "/refused.jpg";
    WriteFile(file, Jpeg('r', 400));
    CBinAttrObject* first = Value(*entry, "jpegPhoto", Jpeg('a', 300));
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(Load(first, file, false));

    std::vector<CErrorObject*> errors = ChildrenOf<CErrorObject>(*entry);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0]->GetResultCode(), 8);
    EXPECT_EQ(log.CountContaining(L"[ERROR 8]"), 1);
    EXPECT_EQ(OnServer("jpegPhoto"), Sorted({Jpeg('a', 300), Jpeg('b', 200)}));
    EXPECT_NE(Value(*entry, "jpegPhoto", Jpeg('a', 300)), nullptr);
    EXPECT_EQ(Value(*entry, "jpegPhoto", Jpeg('r', 400)), nullptr);
}

TEST_F(ValueFiles, OnlyAChangeableBinaryValueIsOffered)
{
    CEntryObject* entry = OpenEntry();
    ASSERT_NE(entry, nullptr);
    std::vector<CAttrObject*> sn = LiveModelTest::Values(*entry, "sn");
    ASSERT_EQ(sn.size(), 1u);
    EXPECT_FALSE(sn[0]->CanRenameInList()) << "a text value";
    EXPECT_FALSE(LoadBinaryValueFromFile(sn[0]));
    EXPECT_EQ(dialogs.Dialogs().loadRequests, 0) << "no dialog for a text value";
    CBinAttrObject* photo = Value(*entry, "jpegPhoto", Jpeg('a', 300));
    ASSERT_NE(photo, nullptr);
    EXPECT_TRUE(photo->CanRenameInList());
    // Cancelled: nothing read, nothing sent.
    EXPECT_FALSE(LoadBinaryValueFromFile(photo));
    EXPECT_EQ(dialogs.Dialogs().loadRequests, 1);
    EXPECT_FALSE(entry->IsBusy());
}

TEST_F(ValueFiles, SavedFilesAreReadBackByOtherReaders)
{
    CEntryObject* entry = OpenEntry();
    ASSERT_NE(entry, nullptr);
    // 300 bytes give 400 base64 characters: lines of 80 and of 100 fill the
    // last line exactly.
    CBinAttrObject* photo = Value(*entry, "jpegPhoto", Jpeg('a', 300));
    ASSERT_NE(photo, nullptr);
    const std::string folder = std::string(ARB_TEST_OUTPUT_DIR) + "/value-files";
    testsupport::Run("mkdir -p '" + folder + "'");

    const std::string raw = folder + "/jpegPhoto.bin";
    BinaryFileChoice choice;
    choice.path = Utf8ToWideString(raw);
    dialogs.Dialogs().binaryChoices.push_back(choice);
    photo->SaveValueToFile();
    const std::vector<std::string> server = OnServer("jpegPhoto");
    EXPECT_NE(std::find(server.begin(), server.end(), ReadFile(raw)), server.end()) << "as ldapsearch reads it";
    EXPECT_EQ(ReadFile(raw), Jpeg('a', 300));

    struct Case {
        const char* name;
        bool limitOn;
        int limit;
    } const cases[] = {
        {"off", false, 76}, {"76", true, 76}, {"64", true, 64}, {"1", true, 1}, {"80-exact", true, 80}, {"100-exact", true, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string text = folder + "/jpegPhoto-" + c.name + ".b64";
        choice.path = Utf8ToWideString(text);
        choice.base64 = true;
        choice.limitOn = c.limitOn;
        choice.limit = c.limit;
        dialogs.Dialogs().binaryChoices.push_back(choice);
        photo->SaveValueToFile();
        const std::string written = ReadFile(text);
        ASSERT_FALSE(written.empty());
        EXPECT_EQ(written.back() == '\n', c.limitOn) << "one unbroken line without a line end";
        EXPECT_EQ(written.find('\r'), std::string::npos);
        const std::vector<std::string> lines = Lines(written);
        EXPECT_EQ(lines.size(), c.limitOn ? (400u + c.limit - 1) / c.limit : 1u);
        for (const std::string& line : lines) {
            EXPECT_FALSE(line.empty()) << "no empty line";
            EXPECT_LE(line.size(), c.limitOn ? static_cast<size_t>(c.limit) : 400u);
        }
        // coreutils decodes it to the raw bytes.
        const std::string decoded = folder + "/jpegPhoto-" + c.name + ".decoded";
        testsupport::Run("base64 -d '" + text + "' > '" + decoded + "'");
        EXPECT_EQ(ReadFile(decoded), ReadFile(raw));
        testsupport::Run("rm -f '" + decoded + "'");
    }
}

} // namespace
