#pragma once
// What the tests of written files share: the folder the files are left in
// for a reviewer, the file's bytes, base64 and LDIF records to compare.

#include <string>
#include <vector>

namespace testsupport {

// "<outputRoot>/export/", made when missing.
std::string ExportFolder(const std::string& outputRoot);
// The file's bytes; empty when it cannot be read.
std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);
// The standard base64 text of the bytes, on one line.
std::string Base64(const std::string& bytes);
// The records of LDIF text (ldapsearch -LLL), each as its lines, sorted.
std::vector<std::string> LdifRecords(const std::string& text);
// The names in a folder (ls -A), in order.
std::vector<std::string> FolderNames(const std::string& folder);

} // namespace testsupport
