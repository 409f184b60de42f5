#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "base/Utf8.h"
#include "dialogcore/CX509Certificate.h"
#include "model/ports/ResourceText.h"
#include "platform/FileText.h"
#include "platform/ResourceLibrary.h"
#include "tests/support/SlapdServer.h"
#include "tests/support/TempHome.h"
#include "tests/support/TestCertificates.h"

namespace {

std::string Shell(const std::string& command)
{
    return testsupport::Run(command);
}

// A certificate made by the library's own tool at test time.
struct CertificateSpec {
    const char* name;
    const char* key;      // the -newkey argument
    const char* serial;   // -set_serial, or empty for the tool's random 20 bytes
    const char* subject;  // -subj
    const char* extensions;  // the config's extension lines, or empty for none
};

const char* const kAllExtensions =
    "nsCertType = client, server, email\n"
    "crlDistributionPoints = URI:http://crl.example.org/lab.crl\n"
    "certificatePolicies = 1.2.3.4, 1.3.6.1.4.1.99.1\n"
    "basicConstraints = critical, CA:TRUE, pathlen:2\n"
    "keyUsage = critical, digitalSignature, keyEncipherment, keyCertSign\n";

const CertificateSpec kSpecs[] = {
    {"rsa-short-serial", "rsa:2048", "0x1234abcd", "/CN=Alice Lab/O=Lab/C=DE", kAllExtensions},
    {"rsa-long-serial", "rsa:3072", "", "/CN=Bob/OU=People/O=Lab", ""},
    {"ec-utf8-comma", "ec -pkeyopt ec_paramgen_curve:prime256v1", "0x7f01",
     "/CN=Jos\xc3\xa9, M\xc3\xbcller/O=Caf\xc3\xa9 \xe2\x82\xac/C=FR", "basicConstraints = CA:FALSE\n"},
};

void PrintTo(const CertificateSpec& spec, std::ostream* out)
{
    *out << spec.name;
}

std::string OutputFolder()
{
    const std::string folder = std::string(ARB_TEST_OUTPUT_DIR) + "/certificates";
    std::filesystem::create_directories(folder);
    return folder;
}

// Each line without its leading blanks, empty lines dropped.
std::string Unindented(const std::string& text)
{
    std::istringstream in(text);
    std::string line, out;
    while (std::getline(in, line)) {
        const size_t start = line.find_first_not_of(' ');
        if (start == std::string::npos) continue;
        size_t end = line.find_last_not_of(' ');
        out += line.substr(start, end - start + 1) + "\n";
    }
    return out;
}

// The text after "<label>" up to the line's end, from the tool's dump.
std::string After(const std::string& text, const std::string& label)
{
    const size_t at = text.find(label);
    if (at == std::string::npos) return "(missing " + label + ")";
    const size_t start = at + label.size();
    return text.substr(start, text.find('\n', start) - start);
}

// The lines of the tool's dump that are indented deeper than the line that
// names the section, unindented.
std::string Section(const std::string& text, const std::string& header)
{
    size_t at = text.find(header);
    if (at == std::string::npos) return "(missing " + header + ")";
    const size_t lineStart = text.rfind('\n', at) + 1;
    const size_t depth = at - lineStart;
    std::istringstream in(text.substr(text.find('\n', at) + 1));
    std::string line, out;
    while (std::getline(in, line)) {
        const size_t indent = line.find_first_not_of(' ');
        if (indent == std::string::npos || indent <= depth) break;
        out += line + "\n";
    }
    return Unindented(out);
}

class X509CertificateTest : public ::testing::TestWithParam<CertificateSpec> {
protected:
    static void SetUpTestSuite() { platform::ResourceLibrary::Current().LoadDefault(); }

    void SetUp() override
    {
        const CertificateSpec& spec = GetParam();
        testsupport::CertificateRequest request;
        request.subject = spec.subject;
        request.key = spec.key;
        request.serial = spec.serial;
        request.extensions = spec.extensions;
        m_bytes = testsupport::MakeCertificate(m_folder.Path(), request);
        m_der = m_folder.Path() + "/cert.der";
        ASSERT_EQ(m_certificate.Load(m_bytes), 0);
        platform::WriteStringToFile(m_bytes, OutputFolder() + "/" + spec.name + ".der");
    }

    // What the tool prints for the certificate with those options.
    std::string Tool(const std::string& options) const
    {
        return Shell("openssl x509 -inform DER -in '" + m_der + "' -noout " + options + " 2>&1");
    }

    std::string Text(const std::wstring& text) const { return WideToUtf8Text(text); }

    testsupport::TempFolder m_folder;
    std::string m_der;
    std::string m_bytes;
    CX509Certificate m_certificate;
};

TEST_P(X509CertificateTest, FieldsReadAsTheToolPrintsThem)
{
    const std::string text = Tool("-text");
    EXPECT_EQ(std::to_string(m_certificate.GetVersion()), After(text, "Version: ").substr(0, 1));
    const std::string serial = Text(m_certificate.GetSerialNumber());
    if (*GetParam().serial) {
        EXPECT_EQ(serial, After(text, "Serial Number: ") + "\n");
    } else {
        EXPECT_EQ(Unindented(serial), Section(text, "Serial Number:"));
        EXPECT_EQ(serial.find('('), std::string::npos);
    }
    EXPECT_EQ(Text(m_certificate.GetSignatureAlgorithm()), After(text, "Signature Algorithm: "));
    EXPECT_EQ(Text(m_certificate.GetPublicKeyAlgorithm()), After(text, "Public Key Algorithm: "));
    EXPECT_EQ(Text(m_certificate.GetValidFrom()), After(text, "Not Before: "));
    EXPECT_EQ(Text(m_certificate.GetValidTo()), After(text, "Not After : "));
    // The signature, joined from the tool's lines.
    std::string signature;
    for (char c : Section(text.substr(text.find("Signature Value:") - 4), "Signature Value:"))
        if (c != '\n') signature += c;
    EXPECT_EQ(Text(m_certificate.GetSignatureValue()), signature);
    if (std::string(GetParam().key).rfind("rsa", 0) == 0)
        EXPECT_EQ("(" + std::to_string(m_certificate.GetPublicKeyBits()) + " bit)", After(text, "Public-Key: "));
    else
        EXPECT_EQ(m_certificate.GetPublicKeyBits(), -1);
}

TEST_P(X509CertificateTest, SerialNumbersKeepTheirForm)
{
    m_certificate.SetUpperCase(true);
    m_certificate.SetSeparator(L' ');
    const std::string serial = Text(m_certificate.GetSerialNumber());
    if (std::string(GetParam().serial) == "0x1234abcd") {
        EXPECT_EQ(serial, "305441741 (0X1234ABCD)\n");
    } else if (!*GetParam().serial) {
        // Twenty bytes: upper-case pairs, blanks between, a line break at the end.
        ASSERT_EQ(serial.size(), 20u * 3);
        for (size_t i = 0; i < 20; ++i) {
            EXPECT_TRUE(std::isxdigit(static_cast<unsigned char>(serial[3 * i])));
            EXPECT_FALSE(std::islower(static_cast<unsigned char>(serial[3 * i])));
            EXPECT_EQ(serial[3 * i + 2], i + 1 < 20 ? ' ' : '\n');
        }
    }
}

TEST_P(X509CertificateTest, NamesAreTheToolsUtf8Rfc2253Names)
{
    EXPECT_EQ("subject=" + Text(m_certificate.GetSubject()) + "\n",
              Tool("-subject -nameopt RFC2253,-esc_msb,space_eq"));
    EXPECT_EQ("issuer=" + Text(m_certificate.GetIssuer()) + "\n", Tool("-issuer -nameopt RFC2253,-esc_msb"));
}

TEST_P(X509CertificateTest, PublicKeyIsThePemBodyOnOneLine)
{
    std::string body;
    std::istringstream in(Tool("-pubkey"));
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("-----", 0) != 0) body += line;
    EXPECT_EQ(Text(m_certificate.GetPublicKey()), body);
}

TEST_P(X509CertificateTest, FingerprintsAreTheToolsDigests)
{
    struct Digest {
        int index;
        const char* option;
        const char* name;
    };
    const Digest digests[] = {{0, "-md5", "MD5"}, {1, "-sha256", "SHA256"}, {2, "-sha1", "SHA1"},
                              {3, "-sha512", "SHA512"}};
    m_certificate.SetUpperCase(true);
    for (const Digest& digest : digests) {
        const std::string tool = Tool(std::string("-fingerprint ") + digest.option);
        const std::string hex = tool.substr(tool.find('=') + 1);
        EXPECT_EQ(Text(m_certificate.GetFingerprint(digest.index)), std::string(digest.name) + " - " + hex);
    }
    m_certificate.SetSeparator(L' ');
    const std::string sha1 = Text(m_certificate.GetFingerprint(2));
    ASSERT_EQ(sha1.size(), 7 + 20u * 3);
    EXPECT_EQ(sha1.substr(0, 7), "SHA1 - ");
    EXPECT_EQ(sha1.back(), '\n');
    EXPECT_EQ(sha1[7 + 2], ' ');
    EXPECT_EQ(Text(m_certificate.GetFingerprint(4)), "N/A");
}

TEST_P(X509CertificateTest, PurposesAreTheToolsYesAndNoLines)
{
    const std::string tool = Tool("-purpose");
    EXPECT_EQ("Certificate purposes:\n" + Text(m_certificate.GetPurposes()), tool);
}

TEST_P(X509CertificateTest, ExtensionsAreTheToolsTextWithoutIndentation)
{
    const std::string text = Tool("-text");
    const char* const headers[] = {"Netscape Cert Type:", "X509v3 CRL Distribution Points:",
                                   "X509v3 Certificate Policies:", "X509v3 Basic Constraints:",
                                   "X509v3 Key Usage:"};
    for (int i = 0; i < CX509Certificate::kExtensionCount; ++i) {
        const std::string value = Text(m_certificate.GetExtension(i));
        if (text.find(headers[i]) == std::string::npos) {
            EXPECT_EQ(value, "N/A") << headers[i];
            continue;
        }
        EXPECT_EQ(Unindented(value), Section(text, headers[i])) << headers[i];
    }
    EXPECT_EQ(Text(m_certificate.GetNetscapeCertType()), Text(m_certificate.GetExtension(0)));
    EXPECT_EQ(Text(m_certificate.GetCRLDistributionPoints()), Text(m_certificate.GetExtension(1)));
    EXPECT_EQ(Text(m_certificate.GetCertificatePolicies()), Text(m_certificate.GetExtension(2)));
    EXPECT_EQ(Text(m_certificate.GetKeyUsage()), Text(m_certificate.GetExtension(4)));
    std::string constraints = Text(m_certificate.GetExtension(3));
    const size_t pathlen = constraints.find("pathlen");
    if (pathlen != std::string::npos) constraints.replace(pathlen, 7, Text(LoadResourceText(483)));
    EXPECT_EQ(Text(m_certificate.GetBasicConstraints()), constraints);
}

TEST_P(X509CertificateTest, SavedTextIsTheToolsDump)
{
    const std::string path = OutputFolder() + "/" + GetParam().name + ".txt";
    std::remove(path.c_str());
    ASSERT_EQ(m_certificate.SaveAsText(Utf8ToWideString(path)), 1);
    std::string saved;
    ASSERT_EQ(platform::ReadFileToString(path, saved), 0);
    EXPECT_EQ(saved, Tool("-text -nameopt compat"));
    // Nothing is left beside it.
    size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(OutputFolder()))
        if (entry.path().filename().string().rfind(std::string(GetParam().name) + ".txt", 0) == 0) ++files;
    EXPECT_EQ(files, 1u);
}

INSTANTIATE_TEST_SUITE_P(Made, X509CertificateTest, ::testing::ValuesIn(kSpecs),
                         [](const ::testing::TestParamInfo<CertificateSpec>& info) {
                             std::string name;
                             for (const char* p = info.param.name; *p; ++p) name += *p == '-' ? '_' : *p;
                             return name;
                         });

TEST(X509CertificateEmptyTest, EmptyOrCutValuesReadNotAvailableEverywhere)
{
    platform::ResourceLibrary::Current().LoadDefault();
    testsupport::TempFolder folder;
    const std::string whole = testsupport::MakeCertificate(folder.Path(), testsupport::CertificateRequest());
    for (const std::string& bytes : {std::string(), whole.substr(0, whole.size() / 2), std::string("\x30\x03\x02\x01\x01", 5),
                                     std::string("not a certificate")}) {
        CX509Certificate certificate;
        EXPECT_EQ(certificate.Load(bytes), -1);
        EXPECT_FALSE(certificate.IsLoaded());
        EXPECT_EQ(certificate.GetVersion(), -1);
        EXPECT_EQ(certificate.GetPublicKeyBits(), -1);
        for (const std::wstring& text :
             {certificate.GetSerialNumber(), certificate.GetSignatureAlgorithm(), certificate.GetPublicKeyAlgorithm(),
              certificate.GetSignatureValue(), certificate.GetIssuer(), certificate.GetSubject(),
              certificate.GetValidFrom(), certificate.GetValidTo(), certificate.GetPublicKey(),
              certificate.GetFingerprint(0), certificate.GetFingerprint(3), certificate.GetPurposes(),
              certificate.GetExtension(0), certificate.GetExtension(4), certificate.GetBasicConstraints()})
            EXPECT_EQ(text, L"N/A");
        const std::string path = folder.Path() + "/dump.txt";
        EXPECT_EQ(certificate.SaveAsText(Utf8ToWideString(path)), 0);
        EXPECT_FALSE(std::filesystem::exists(path));
    }
    // A load that fails drops the certificate loaded before.
    CX509Certificate certificate;
    ASSERT_EQ(certificate.Load(whole), 0);
    EXPECT_EQ(certificate.Load(whole.substr(0, 10)), -1);
    EXPECT_EQ(certificate.GetSubject(), L"N/A");
}

TEST(X509CertificateEmptyTest, AFailedSaveLeavesNoFileBehind)
{
    testsupport::TempFolder folder;
    const std::string bytes = testsupport::MakeCertificate(folder.Path(), testsupport::CertificateRequest());
    CX509Certificate certificate;
    ASSERT_EQ(certificate.Load(bytes), 0);
    // A folder that cannot be written: the old file stays whole, nothing beside it.
    const std::string locked = folder.Path() + "/locked";
    std::filesystem::create_directories(locked);
    ASSERT_EQ(platform::WriteStringToFile("old", locked + "/dump.txt"), 0);
    chmod(locked.c_str(), 0500);
    if (access(locked.c_str(), W_OK) != 0) {
        EXPECT_EQ(certificate.SaveAsText(Utf8ToWideString(locked + "/dump.txt")), 0);
        std::string old;
        EXPECT_EQ(platform::ReadFileToString(locked + "/dump.txt", old), 0);
        EXPECT_EQ(old, "old");
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(locked), std::filesystem::directory_iterator()), 1);
    }
    chmod(locked.c_str(), 0700);
    // A missing folder and a folder as the path.
    EXPECT_EQ(certificate.SaveAsText(Utf8ToWideString(folder.Path() + "/missing/dump.txt")), 0);
    EXPECT_EQ(certificate.SaveAsText(Utf8ToWideString(folder.Path())), 0);
    EXPECT_TRUE(std::filesystem::is_directory(folder.Path()));
    // A UTF-8 path is written as it is named.
    const std::string named = folder.Path() + "/Zertifikat f\xc3\xbcr Jos\xc3\xa9.txt";
    EXPECT_EQ(certificate.SaveAsText(Utf8ToWideString(named)), 1);
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::u8path(named)));
}

} // namespace
