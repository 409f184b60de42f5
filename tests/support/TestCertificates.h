#pragma once
// Certificates made at test time by the library's own command-line tool.

#include <string>

namespace testsupport {

struct CertificateRequest {
    std::string subject = "/CN=test";  // as the tool's -subj takes it (UTF-8)
    std::string key = "rsa:2048";      // the -newkey argument
    std::string serial;                // -set_serial; empty: the tool's random 20 bytes
    std::string extensions;            // lines of an extension section; empty: none at all
};

// A self-signed certificate's DER bytes, made in folder (its key and the
// tool's config are left there). Throws std::runtime_error when the tool fails.
std::string MakeCertificate(const std::string& folder, const CertificateRequest& request);

// A PEM certificate file as DER bytes.
std::string PemFileToDer(const std::string& pemPath, const std::string& folder);

} // namespace testsupport
