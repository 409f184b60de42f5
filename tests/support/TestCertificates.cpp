#include "tests/support/TestCertificates.h"

#include <stdexcept>

#include "platform/FileText.h"
#include "tests/support/SlapdServer.h"

namespace testsupport {

namespace {

std::string Quote(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::string ReadBytes(const std::string& path)
{
    std::string bytes;
    if (platform::ReadFileToString(path, bytes) != 0) throw std::runtime_error("cannot read " + path);
    return bytes;
}

} // namespace

std::string MakeCertificate(const std::string& folder, const CertificateRequest& request)
{
    const std::string config = folder + "/req.cnf";
    std::string conf = "[req]\ndistinguished_name = dn\nprompt = no\nutf8 = yes\nstring_mask = utf8only\n";
    if (!request.extensions.empty()) conf += "x509_extensions = ext\n";
    conf += "[dn]\n";
    if (!request.extensions.empty()) conf += "[ext]\n" + request.extensions;
    if (platform::WriteStringToFile(conf, config) != 0) throw std::runtime_error("cannot write " + config);
    const std::string der = folder + "/cert.der";
    std::string command = "openssl req -x509 -config " + Quote(config) + " -newkey " + request.key +
                          " -nodes -keyout " + Quote(folder + "/key.pem") + " -days 30 -utf8 -subj " +
                          Quote(request.subject) + " -outform DER -out " + Quote(der) + " 2>&1";
    if (!request.serial.empty()) command += " -set_serial " + request.serial;
    Run(command);
    return ReadBytes(der);
}

std::string PemFileToDer(const std::string& pemPath, const std::string& folder)
{
    const std::string der = folder + "/converted.der";
    Run("openssl x509 -in " + Quote(pemPath) + " -outform DER -out " + Quote(der) + " 2>&1");
    return ReadBytes(der);
}

} // namespace testsupport
