#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/Utf8.h"
#include "dialogcore/CX509Certificate.h"
#include "dialogcore/CertificateRows.h"
#include "platform/ResourceLibrary.h"
#include "tests/support/TempHome.h"
#include "tests/support/TestCertificates.h"

namespace {

TEST(CertificateRowsTest, GroupingCutsThePlainTextIntoPieces)
{
    struct Case {
        std::wstring text;
        size_t n;
        wchar_t separator;
        std::wstring grouped;
    };
    const Case cases[] = {
        {L"ab cd ef 01\n", 4, L' ', L"abcd ef01"},
        {L"ab:cd:ef:01:23\n", 4, L':', L"abcd:ef01:23"},
        {L"4660 (0x1234)\n", 4, L' ', L"4660 (0x1 234)"},
        {L"", 4, L' ', L""},
        {L"abc", 4, L' ', L"abc"},
        {L"a\nb\nc\nd\ne", 2, L'-', L"ab-cd-e"},
    };
    for (const Case& c : cases) EXPECT_EQ(GroupText(c.text, c.n, c.separator), c.grouped) << WideToUtf8Text(c.text);
}

TEST(CertificateRowsTest, NamesShowOneRdnALineWithoutBackslashes)
{
    struct Case {
        std::wstring name;
        std::wstring lines;
    };
    const Case cases[] = {
        {L"N/A", L"N/A"},
        {L"CN=Alice,O=Lab", L"CN=Alice\nO=Lab"},
        {L"C = FR,O = Caf\u00e9,CN = Jos\u00e9\\, M\u00fcller", L"C = FR\nO = Caf\u00e9\nCN = Jos\u00e9, M\u00fcller"},
        {L"CN=a\\+b+UID=x,O=Lab", L"CN=a+b+UID=x\nO=Lab"},
        {L"CN=One", L"CN=One"},
    };
    for (const Case& c : cases) EXPECT_EQ(NameLines(c.name), c.lines) << WideToUtf8Text(c.name);
}

TEST(CertificateRowsTest, FingerprintLinesSplitAtTheGapAfterTheDigestsName)
{
    struct Case {
        std::wstring fingerprints;
        std::wstring lines;
    };
    const Case cases[] = {
        {L"MD5 - AB CD EF 01 23\nSHA1 - 00 11 22 33\n", L"MD5:ABCD EF01 23\nSHA1:0011 2233"},
        // A digest whose name holds a '-'.
        {L"SHA3-256 - AB CD EF 01\nSHA512-224 - 01 02\n", L"SHA3-256:ABCD EF01\nSHA512-224:0102"},
        {L"N/AN/A", L"N/A"},
        {L"", L"N/A"},
        {L"MD5 - AB\nN/A\nSHA1 - CD EF\n", L"MD5:AB\nSHA1:CDEF"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FingerprintLines(c.fingerprints, L' '), c.lines) << WideToUtf8Text(c.fingerprints);
}

class CertificateRowsOfACertificate : public ::testing::Test {
protected:
    static void SetUpTestSuite() { platform::ResourceLibrary::Current().LoadDefault(); }

    // A certificate made by the library's own tool.
    std::string Make(const std::string& subject, const std::string& extensions)
    {
        testsupport::CertificateRequest request;
        request.subject = subject;
        request.serial = "0x1234";
        request.extensions = extensions;
        return testsupport::MakeCertificate(m_folder.Path(), request);
    }

    testsupport::TempFolder m_folder;
};

TEST_F(CertificateRowsOfACertificate, FifteenRowsInTheirOrderWithoutLineBreaksInTheList)
{
    CX509Certificate certificate;
    ASSERT_EQ(certificate.Load(Make("/CN=Alice/O=Lab", "basicConstraints = CA:TRUE, pathlen:1\n"
                                                       "keyUsage = digitalSignature\n")),
              0);
    certificate.SetUpperCase(true);
    certificate.SetSeparator(L' ');
    const std::vector<CertificateRow> rows = MakeCertificateRows(certificate);
    const unsigned labels[] = {241, 239, 256, 245, 247, 249, 252, 254, 258, 260, 261, 268, 263, 264, 266};
    ASSERT_EQ(rows.size(), std::size(labels));
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].label, labels[i]) << i;
        EXPECT_EQ(rows[i].text.find(L'\n'), std::wstring::npos) << i;
        EXPECT_EQ(rows[i].fixedWidth, i == 1 || i == 2 || i == 8) << i;
        EXPECT_EQ(rows[i].image, i >= 10 ? 1 : 0) << i;
    }
    EXPECT_EQ(rows[0].text, L"V3");
    EXPECT_EQ(rows[1].text, L"4660 (0X1 234)");
    EXPECT_EQ(rows[2].text, L"sha256WithRSAEncryption");
    // The signature in groups of four upper-case digits.
    EXPECT_EQ(rows[2].details.substr(4, 1), " ");
    EXPECT_EQ(rows[2].details.size(), 256u * 2 + 256u / 2 - 1);
    // Two RDNs: one after the other in the list, on two lines in the details.
    EXPECT_EQ(rows[3].text, L"O=LabCN=Alice");
    EXPECT_EQ(rows[3].details, "O=Lab\nCN=Alice");
    EXPECT_EQ(rows[6].details, "O = Lab\nCN = Alice");
    EXPECT_EQ(rows[7].text, L"rsaEncryption (2048 bits)");
    EXPECT_EQ(rows[7].details, WideToUtf8Text(certificate.GetPublicKey()));
    // Four fingerprints, each a line of the details and joined with ", " in the list.
    EXPECT_EQ(rows[8].details.rfind("MD5:", 0), 0u);
    EXPECT_NE(rows[8].details.find("\nSHA256:"), std::string::npos);
    EXPECT_NE(rows[8].details.find("\nSHA1:"), std::string::npos);
    EXPECT_NE(rows[8].details.find("\nSHA512:"), std::string::npos);
    EXPECT_NE(rows[8].text.find(L", SHA256:"), std::wstring::npos);
    EXPECT_EQ(rows[9].text.find(L"SSL client : Yes, SSL client CA : "), 0u);
    EXPECT_EQ(rows[10].text, L"N/A");
    EXPECT_EQ(rows[13].text, L"CA:TRUE, Path length:1");
    EXPECT_EQ(rows[14].text, L"Digital Signature");
}

TEST_F(CertificateRowsOfACertificate, NoExtensionsAndNoCertificateShowNotAvailable)
{
    CX509Certificate certificate;
    ASSERT_EQ(certificate.Load(Make("/CN=Bare", std::string())), 0);
    std::vector<CertificateRow> rows = MakeCertificateRows(certificate);
    ASSERT_EQ(rows.size(), 15u);
    for (size_t i = 10; i < 15; ++i) EXPECT_EQ(rows[i].text, L"N/A") << i;

    CX509Certificate none;
    rows = MakeCertificateRows(none);
    ASSERT_EQ(rows.size(), 15u);
    for (const CertificateRow& row : rows) {
        EXPECT_EQ(row.text, L"N/A") << row.label;
        EXPECT_EQ(row.details, "N/A") << row.label;
    }
}

} // namespace
