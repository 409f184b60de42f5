#pragma once
// One X.509 certificate read from its DER bytes, each field rendered as
// display text through libcrypto. Every text is "N/A" without a certificate
// or when the library cannot give the field. Names are shown as UTF-8, not
// escaped.

#include <memory>
#include <string>

struct x509_st;

class CX509Certificate {
public:
    CX509Certificate();
    virtual ~CX509Certificate();
    CX509Certificate(const CX509Certificate&) = delete;
    CX509Certificate& operator=(const CX509Certificate&) = delete;

    // 0 when the bytes hold a DER certificate, else -1 (and no certificate).
    int Load(const std::string& der);
    bool IsLoaded() const { return m_certificate != nullptr; }

    // Put between hex bytes; ':' at first.
    void SetSeparator(wchar_t separator) { m_separator = separator; }
    wchar_t GetSeparator() const { return m_separator; }
    // Hex digits in upper case when set; lower case at first.
    void SetUpperCase(bool upperCase) { m_upperCase = upperCase; }
    bool IsUpperCase() const { return m_upperCase; }

    // The version number (1 to 3), -1 without a certificate.
    int GetVersion() const;
    // Up to four bytes "4660 (0x1234)\n"; longer ones as hex bytes with the
    // separator between them and a line break at the end.
    std::wstring GetSerialNumber() const;
    std::wstring GetSignatureAlgorithm() const;
    std::wstring GetPublicKeyAlgorithm() const;
    // The signature's bytes in hex, the separator between them.
    std::wstring GetSignatureValue() const;
    // The names in RFC 2253 order; the subject with spaces around '='.
    std::wstring GetIssuer() const;
    std::wstring GetSubject() const;
    std::wstring GetValidFrom() const;
    std::wstring GetValidTo() const;
    // An RSA key's modulus bits; -1 for any other key.
    int GetPublicKeyBits() const;
    // The key's PEM body as one line, without its armour.
    std::wstring GetPublicKey() const;
    // "<digest> - <hex bytes>\n" of digest 0 MD5, 1 SHA-256, 2 SHA-1, 3 SHA-512.
    std::wstring GetFingerprint(int index) const;
    static constexpr int kFingerprintCount = 4;
    // "<purpose>[ CA] : Yes|No" lines, two for each purpose the library knows.
    std::wstring GetPurposes() const;
    // Extension 0 Netscape Cert Type, 1 CRL Distribution Points, 2
    // Certificate Policies, 3 Basic Constraints, 4 Key Usage, as printed.
    std::wstring GetExtension(int index) const;
    static constexpr int kExtensionCount = 5;
    std::wstring GetNetscapeCertType() const { return GetExtension(0); }
    std::wstring GetCRLDistributionPoints() const { return GetExtension(1); }
    std::wstring GetCertificatePolicies() const { return GetExtension(2); }
    // With the word "pathlen" in the program's words.
    std::wstring GetBasicConstraints() const;
    std::wstring GetKeyUsage() const { return GetExtension(4); }

    // Writes the certificate's full text dump to the file (UTF-8 path):
    // written beside it and renamed, so a failure leaves no partial file.
    // 1 when written, else 0.
    int SaveAsText(const std::wstring& path) const;

private:
    std::wstring Hex(const unsigned char* bytes, size_t n, bool lineEnd) const;

    struct Free {
        void operator()(x509_st* certificate) const;
    };
    std::unique_ptr<x509_st, Free> m_certificate;
    wchar_t m_separator = L':';
    bool m_upperCase = false;
};
