#include "tests/support/ExportFiles.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>

#include "base/Base64.h"
#include "tools/SlapdLauncher.h"

namespace testsupport {

std::string ExportFolder(const std::string& outputRoot)
{
    const std::string folder = outputRoot + "/export/";
    slapd::Run("mkdir -p '" + folder + "'");
    return folder;
}

std::string ReadBytes(const std::string& path)
{
    try {
        return slapd::ReadFile(path);
    } catch (const std::exception&) {
        return std::string();
    }
}

void WriteBytes(const std::string& path, const std::string& bytes)
{
    slapd::WriteFile(path, bytes);
}

std::string Base64(const std::string& bytes)
{
    size_t n = 0;
    char* text = Base64Encode(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), &n);
    std::string out(text ? text : "", text ? n : 0);
    std::free(text);
    return out;
}

std::vector<std::string> LdifRecords(const std::string& text)
{
    std::vector<std::string> records;
    std::string current;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (line.empty()) {
            if (!current.empty()) records.push_back(current);
            current.clear();
        } else {
            current += line + "\n";
        }
    }
    if (!current.empty()) records.push_back(current);
    std::sort(records.begin(), records.end());
    return records;
}

std::vector<std::string> FolderNames(const std::string& folder)
{
    std::istringstream in(slapd::Run("ls -A '" + folder + "'"));
    std::vector<std::string> names;
    for (std::string line; std::getline(in, line);) names.push_back(line);
    return names;
}

} // namespace testsupport
