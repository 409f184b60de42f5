#include "dialogcore/CertificateRows.h"


#include "base/Utf8.h"
#include "dialogcore/CX509Certificate.h"
#include "ldap/LDAPDN.h"

namespace {

const wchar_t kNotAvailable[] = L"N/A";

constexpr unsigned kStrVersion = 241;
constexpr unsigned kStrSerial = 239;
constexpr unsigned kStrSignature = 256;
constexpr unsigned kStrIssuer = 245;
constexpr unsigned kStrValidFrom = 247;
constexpr unsigned kStrValidTo = 249;
constexpr unsigned kStrSubject = 252;
constexpr unsigned kStrPublicKey = 254;
constexpr unsigned kStrFingerprints = 258;
constexpr unsigned kStrPurposes = 260;
constexpr unsigned kStrNetscapeType = 261;
constexpr unsigned kStrCrlPoints = 268;
constexpr unsigned kStrPolicies = 263;
constexpr unsigned kStrConstraints = 264;
constexpr unsigned kStrKeyUsage = 266;

constexpr int kFieldImage = 0;
constexpr int kExtensionImage = 1;

std::wstring ReplaceLineBreaks(const std::wstring& text, const std::wstring& with)
{
    std::wstring out;
    for (wchar_t c : text) {
        if (c == L'\n')
            out += with;
        else if (c != L'\r')
            out.push_back(c);
    }
    return out;
}

enum class FixedWidth { No, Yes };

void AddRow(std::vector<CertificateRow>& rows, unsigned label, const std::wstring& value, FixedWidth fixed,
            const std::wstring& details, int image)
{
    CertificateRow row;
    row.label = label;
    row.text = ReplaceLineBreaks(value, std::wstring());
    row.details = WideToUtf8Text(details.empty() ? value : details);
    row.fixedWidth = fixed == FixedWidth::Yes;
    row.image = image;
    rows.push_back(std::move(row));
}

} // namespace

std::wstring GroupText(const std::wstring& text, size_t n, wchar_t separator)
{
    std::wstring plain;
    for (wchar_t c : text)
        if (c != separator && c != L'\n' && c != L'\r') plain.push_back(c);
    if (n == 0) return plain;
    std::wstring out;
    for (size_t i = 0; i < plain.size(); i += n) {
        if (i) out.push_back(separator);
        out += plain.substr(i, n);
    }
    return out;
}

std::wstring NameLines(const std::wstring& name)
{
    if (name == kNotAvailable) return name;
    const arbldap::LDAPDN dn(WideToUtf8Text(name));
    std::string lines;
    for (const arbldap::LDAPRDN& rdn : dn.GetParts()) {
        if (!lines.empty()) lines.push_back('\n');
        lines += rdn.GetText();
    }
    std::wstring out;
    for (wchar_t c : Utf8ToWideString(lines))
        if (c != L'\\') out.push_back(c);
    return out;
}

std::wstring FingerprintLines(const std::wstring& fingerprints, wchar_t separator)
{
    // Cut at the " - " between the digest's name and its bytes: names such
    // as "SHA3-256" hold a '-' of their own.
    static const wchar_t kBetween[] = L" - ";
    std::wstring out;
    size_t start = 0;
    while (start < fingerprints.size()) {
        size_t end = fingerprints.find(L'\n', start);
        if (end == std::wstring::npos) end = fingerprints.size();
        const std::wstring line = fingerprints.substr(start, end - start);
        start = end + 1;
        const size_t at = line.find(kBetween);
        if (at == std::wstring::npos) continue;
        std::wstring name;
        for (wchar_t c : line.substr(0, at))
            if (c != L' ') name.push_back(c);
        out += name + L":" + GroupText(line.substr(at + 3), 4, separator) + L"\n";
    }
    if (!out.empty()) out.pop_back();
    return out.size() < 2 ? std::wstring(kNotAvailable) : out;
}

std::vector<CertificateRow> MakeCertificateRows(const CX509Certificate& certificate)
{
    const wchar_t separator = certificate.GetSeparator();
    std::vector<CertificateRow> rows;

    const int version = certificate.GetVersion();
    std::wstring versionText = kNotAvailable;
    if (version != -1) versionText = L"V" + std::to_wstring(version);
    AddRow(rows, kStrVersion, versionText, FixedWidth::No, std::wstring(), kFieldImage);
    AddRow(rows, kStrSerial, GroupText(certificate.GetSerialNumber(), 4, separator), FixedWidth::Yes,
           std::wstring(), kFieldImage);
    AddRow(rows, kStrSignature, certificate.GetSignatureAlgorithm(), FixedWidth::Yes,
           GroupText(certificate.GetSignatureValue(), 4, separator), kFieldImage);
    AddRow(rows, kStrIssuer, NameLines(certificate.GetIssuer()), FixedWidth::No, std::wstring(), kFieldImage);
    AddRow(rows, kStrValidFrom, certificate.GetValidFrom(), FixedWidth::No, std::wstring(), kFieldImage);
    AddRow(rows, kStrValidTo, certificate.GetValidTo(), FixedWidth::No, std::wstring(), kFieldImage);
    AddRow(rows, kStrSubject, NameLines(certificate.GetSubject()), FixedWidth::No, std::wstring(), kFieldImage);

    const int bits = certificate.GetPublicKeyBits();
    std::wstring key = kNotAvailable;
    if (bits != -1) key = certificate.GetPublicKeyAlgorithm() + L" (" + std::to_wstring(bits) + L" bits)";
    AddRow(rows, kStrPublicKey, key, FixedWidth::No, certificate.GetPublicKey(), kFieldImage);

    std::wstring fingerprints;
    for (int i = 0; i < CX509Certificate::kFingerprintCount; ++i) {
        // A digest that failed reads "N/A" without a line break: it stays a line of its own.
        fingerprints += certificate.GetFingerprint(i);
        if (fingerprints.back() != L'\n') fingerprints.push_back(L'\n');
    }
    const std::wstring lines = FingerprintLines(fingerprints, separator);
    AddRow(rows, kStrFingerprints, ReplaceLineBreaks(lines, L", "), FixedWidth::Yes, lines, kFieldImage);
    AddRow(rows, kStrPurposes, ReplaceLineBreaks(certificate.GetPurposes(), L", "), FixedWidth::No, std::wstring(),
           kFieldImage);

    AddRow(rows, kStrNetscapeType, certificate.GetNetscapeCertType(), FixedWidth::No, std::wstring(),
           kExtensionImage);
    AddRow(rows, kStrCrlPoints, certificate.GetCRLDistributionPoints(), FixedWidth::No, std::wstring(),
           kExtensionImage);
    AddRow(rows, kStrPolicies, certificate.GetCertificatePolicies(), FixedWidth::No, std::wstring(),
           kExtensionImage);
    AddRow(rows, kStrConstraints, certificate.GetBasicConstraints(), FixedWidth::No, std::wstring(),
           kExtensionImage);
    AddRow(rows, kStrKeyUsage, certificate.GetKeyUsage(), FixedWidth::No, std::wstring(), kExtensionImage);
    return rows;
}
