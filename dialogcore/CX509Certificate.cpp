#include "dialogcore/CX509Certificate.h"

#include <cstdio>

#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/objects.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include "base/Utf8.h"
#include "model/ports/ResourceText.h"
#include "platform/FileText.h"

namespace {

constexpr unsigned kStrYes = 148;
constexpr unsigned kStrNo = 151;
constexpr unsigned kStrNegative = 480;
constexpr unsigned kStrPurposeCode = 481;
constexpr unsigned kStrUnknownAlgorithm = 482;
constexpr unsigned kStrPathLength = 483;

const wchar_t kNotAvailable[] = L"N/A";
const char kBeginKey[] = "-----BEGIN PUBLIC KEY-----";
const char kEndKey[] = "-----END PUBLIC KEY-----";
const char kPathLen[] = "pathlen";

// RFC 2253 without escaping the bytes above 127: the UTF-8 of the names
// stays as it is.
constexpr unsigned long kIssuerFlags = XN_FLAG_RFC2253 & ~ASN1_STRFLGS_ESC_MSB;
constexpr unsigned long kSubjectFlags = kIssuerFlags | XN_FLAG_SPC_EQ;

const char* const kExtensionNames[] = {
    "Netscape Cert Type", "X509v3 CRL Distribution Points", "X509v3 Certificate Policies",
    "X509v3 Basic Constraints", "X509v3 Key Usage",
};

struct BioFree {
    void operator()(BIO* bio) const { BIO_free(bio); }
};
using BioPtr = std::unique_ptr<BIO, BioFree>;

BioPtr MemoryBio()
{
    return BioPtr(BIO_new(BIO_s_mem()));
}

std::string Contents(BIO* bio)
{
    char* data = nullptr;
    long n = BIO_get_mem_data(bio, &data);
    return n > 0 && data ? std::string(data, static_cast<size_t>(n)) : std::string();
}

std::string FirstLine(const std::string& text)
{
    return text.substr(0, text.find('\n'));
}

std::wstring Wide(const std::string& text)
{
    return Utf8ToWideString(text);
}

// A resource text without the mnemonic marks of a button label ("&Yes").
std::wstring PlainResourceText(unsigned id)
{
    std::wstring text = LoadResourceText(id), plain;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'&' && i + 1 < text.size()) ++i;
        plain.push_back(text[i]);
    }
    return plain;
}

std::wstring AlgorithmName(const ASN1_OBJECT* object)
{
    const int nid = object ? OBJ_obj2nid(object) : NID_undef;
    if (nid == NID_undef) return LoadResourceText(kStrUnknownAlgorithm);
    const char* name = OBJ_nid2ln(nid);
    return name ? Wide(name) : LoadResourceText(kStrUnknownAlgorithm);
}

const EVP_MD* FingerprintDigest(int index)
{
    switch (index) {
    case 0: return EVP_md5();
    case 1: return EVP_sha256();
    case 2: return EVP_sha1();
    case 3: return EVP_sha512();
    default: return nullptr;
    }
}

std::wstring PrintName(const X509_NAME* name, unsigned long flags)
{
    BioPtr bio = MemoryBio();
    if (!bio || !name) return kNotAvailable;
    if (X509_NAME_print_ex(bio.get(), name, 0, flags) < 0) return kNotAvailable;
    return Wide(FirstLine(Contents(bio.get())));
}

std::wstring PrintTime(const ASN1_TIME* time)
{
    BioPtr bio = MemoryBio();
    if (!bio || !time || !ASN1_TIME_print(bio.get(), time)) return kNotAvailable;
    return Wide(FirstLine(Contents(bio.get())));
}

} // namespace

void CX509Certificate::Free::operator()(x509_st* certificate) const
{
    X509_free(certificate);
}

CX509Certificate::CX509Certificate() = default;
CX509Certificate::~CX509Certificate() = default;

int CX509Certificate::Load(const std::string& der)
{
    m_certificate.reset();
    BioPtr bio = MemoryBio();
    if (!bio || der.empty() || BIO_write(bio.get(), der.data(), static_cast<int>(der.size())) < 1) return -1;
    X509* certificate = d2i_X509_bio(bio.get(), nullptr);
    if (!certificate) return -1;
    m_certificate.reset(certificate);
    return 0;
}

std::wstring CX509Certificate::Hex(const unsigned char* bytes, size_t n, bool lineEnd) const
{
    const wchar_t* digits = m_upperCase ? L"0123456789ABCDEF" : L"0123456789abcdef";
    std::wstring text;
    for (size_t i = 0; i < n; ++i) {
        text.push_back(digits[bytes[i] >> 4]);
        text.push_back(digits[bytes[i] & 15]);
        if (i + 1 < n)
            text.push_back(m_separator);
        else if (lineEnd)
            text.push_back(L'\n');
    }
    return text;
}

int CX509Certificate::GetVersion() const
{
    return m_certificate ? static_cast<int>(X509_get_version(m_certificate.get())) + 1 : -1;
}

std::wstring CX509Certificate::GetSerialNumber() const
{
    const ASN1_INTEGER* serial = m_certificate ? X509_get0_serialNumber(m_certificate.get()) : nullptr;
    if (!serial) return kNotAvailable;
    const bool negative = ASN1_STRING_type(serial) == V_ASN1_NEG_INTEGER;
    const int length = ASN1_STRING_length(serial);
    if (length <= 4) {
        long value = ASN1_INTEGER_get(serial);
        const char* sign = "";
        if (value < 0) {
            sign = "-";
            value = -value;
        }
        char text[64];
        std::snprintf(text, sizeof text, m_upperCase ? "%s%lu (%s0X%lX)\n" : "%s%lu (%s0x%lx)\n", sign,
                      static_cast<unsigned long>(value), sign, static_cast<unsigned long>(value));
        return Wide(text);
    }
    std::wstring text = negative ? LoadResourceText(kStrNegative) : std::wstring();
    return text + Hex(ASN1_STRING_get0_data(serial), static_cast<size_t>(length), true);
}

std::wstring CX509Certificate::GetSignatureAlgorithm() const
{
    if (!m_certificate) return kNotAvailable;
    const X509_ALGOR* algorithm = nullptr;
    X509_get0_signature(nullptr, &algorithm, m_certificate.get());
    const ASN1_OBJECT* object = nullptr;
    if (algorithm) X509_ALGOR_get0(&object, nullptr, nullptr, algorithm);
    return AlgorithmName(object);
}

std::wstring CX509Certificate::GetPublicKeyAlgorithm() const
{
    X509_PUBKEY* key = m_certificate ? X509_get_X509_PUBKEY(m_certificate.get()) : nullptr;
    if (!key) return kNotAvailable;
    ASN1_OBJECT* object = nullptr;
    if (!X509_PUBKEY_get0_param(&object, nullptr, nullptr, nullptr, key)) return kNotAvailable;
    return AlgorithmName(object);
}

std::wstring CX509Certificate::GetSignatureValue() const
{
    if (!m_certificate) return kNotAvailable;
    const ASN1_BIT_STRING* signature = nullptr;
    X509_get0_signature(&signature, nullptr, m_certificate.get());
    if (!signature) return kNotAvailable;
    return Hex(ASN1_STRING_get0_data(signature), static_cast<size_t>(ASN1_STRING_length(signature)), false);
}

std::wstring CX509Certificate::GetIssuer() const
{
    return m_certificate ? PrintName(X509_get_issuer_name(m_certificate.get()), kIssuerFlags) : kNotAvailable;
}

std::wstring CX509Certificate::GetSubject() const
{
    return m_certificate ? PrintName(X509_get_subject_name(m_certificate.get()), kSubjectFlags) : kNotAvailable;
}

std::wstring CX509Certificate::GetValidFrom() const
{
    return m_certificate ? PrintTime(X509_get0_notBefore(m_certificate.get())) : kNotAvailable;
}

std::wstring CX509Certificate::GetValidTo() const
{
    return m_certificate ? PrintTime(X509_get0_notAfter(m_certificate.get())) : kNotAvailable;
}

int CX509Certificate::GetPublicKeyBits() const
{
    EVP_PKEY* key = m_certificate ? X509_get0_pubkey(m_certificate.get()) : nullptr;
    if (!key || EVP_PKEY_get_base_id(key) != EVP_PKEY_RSA) return -1;
    const int bits = EVP_PKEY_get_bits(key);
    return bits > 0 ? bits : -1;
}

std::wstring CX509Certificate::GetPublicKey() const
{
    EVP_PKEY* key = m_certificate ? X509_get0_pubkey(m_certificate.get()) : nullptr;
    BioPtr bio = MemoryBio();
    if (!key || !bio || !PEM_write_bio_PUBKEY(bio.get(), key)) return kNotAvailable;
    std::string pem = Contents(bio.get());
    const size_t begin = pem.find(kBeginKey);
    if (begin != std::string::npos) {
        size_t end = begin + sizeof kBeginKey - 1;
        if (end < pem.size() && pem[end] == '\n') ++end;
        pem.erase(begin, end - begin);
    }
    const size_t end = pem.find(kEndKey);
    if (end != std::string::npos) pem.erase(end > 0 && pem[end - 1] == '\n' ? end - 1 : end);
    std::string body;
    for (char c : pem)
        if (c != '\n' && c != '\r') body.push_back(c);
    return Wide(body);
}

std::wstring CX509Certificate::GetFingerprint(int index) const
{
    const EVP_MD* digest = FingerprintDigest(index);
    if (!m_certificate || !digest) return kNotAvailable;
    unsigned char bytes[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (!X509_digest(m_certificate.get(), digest, bytes, &length)) return kNotAvailable;
    const char* name = OBJ_nid2sn(EVP_MD_get_type(digest));
    return Wide(name ? name : "") + L" - " + Hex(bytes, length, true);
}

std::wstring CX509Certificate::GetPurposes() const
{
    if (!m_certificate) return kNotAvailable;
    const std::wstring yes = PlainResourceText(kStrYes), no = PlainResourceText(kStrNo);
    std::wstring text;
    const int count = X509_PURPOSE_get_count();
    for (int i = 0; i < count; ++i) {
        X509_PURPOSE* purpose = X509_PURPOSE_get0(i);
        if (!purpose) continue;
        const int id = X509_PURPOSE_get_id(purpose);
        const char* name = X509_PURPOSE_get0_name(purpose);
        for (int ca = 0; ca <= 1; ++ca) {
            const int result = X509_check_purpose(m_certificate.get(), id, ca);
            text += Wide(name ? name : "") + (ca ? L" CA" : L"") + L" : ";
            if (result == 1)
                text += yes + L"\n";
            else if (result == 0)
                text += no + L"\n";
            else
                text += FormatResourceText(kStrPurposeCode, {std::to_wstring(result)});
        }
    }
    return text;
}

std::wstring CX509Certificate::GetExtension(int index) const
{
    if (!m_certificate || index < 0 || index >= kExtensionCount) return kNotAvailable;
    const std::string wanted = kExtensionNames[index];
    const int count = X509_get_ext_count(m_certificate.get());
    for (int i = 0; i < count; ++i) {
        X509_EXTENSION* extension = X509_get_ext(m_certificate.get(), i);
        BioPtr name = MemoryBio();
        if (!name) return kNotAvailable;
        i2a_ASN1_OBJECT(name.get(), X509_EXTENSION_get_object(extension));
        if (Contents(name.get()) != wanted) continue;
        BioPtr value = MemoryBio();
        if (!value || !X509V3_EXT_print(value.get(), extension, 0, 0)) return kNotAvailable;
        return Wide(Contents(value.get()));
    }
    return kNotAvailable;
}

std::wstring CX509Certificate::GetBasicConstraints() const
{
    std::wstring text = GetExtension(3);
    const std::wstring word = Wide(kPathLen);
    const size_t at = text.find(word);
    if (at != std::wstring::npos) text.replace(at, word.size(), LoadResourceText(kStrPathLength));
    return text;
}

int CX509Certificate::SaveAsText(const std::wstring& path) const
{
    BioPtr bio = MemoryBio();
    if (!m_certificate || !bio || !X509_print(bio.get(), m_certificate.get())) return 0;
    return platform::ReplaceFileWithBytes(Contents(bio.get()), WideToUtf8Text(path)) == 0 ? 1 : 0;
}
