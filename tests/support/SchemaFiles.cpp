#include "tests/support/SchemaFiles.h"

#include <fstream>
#include <stdexcept>
#include <strings.h>

namespace testsupport {

namespace {

std::string Trim(const std::string& s)
{
    size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos)
        return std::string();
    size_t e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

void Store(const std::string& logical, SubschemaDefinitions& out)
{
    size_t end = logical.find_first_of(" \t");
    if (end == std::string::npos)
        return;
    std::string keyword = logical.substr(0, end);
    std::string text = Trim(logical.substr(end));
    if (strcasecmp(keyword.c_str(), "attributetype") == 0 || strcasecmp(keyword.c_str(), "attributetypes") == 0)
        out.attributeTypes.push_back(text);
    else if (strcasecmp(keyword.c_str(), "objectclass") == 0 || strcasecmp(keyword.c_str(), "objectclasses") == 0)
        out.objectClasses.push_back(text);
}

} // namespace

void ReadSchemaFile(const std::string& path, SubschemaDefinitions& out)
{
    std::ifstream in(path);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    std::string line, logical;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == '#')
            continue;
        if (line[0] == ' ' || line[0] == '\t') {
            std::string part = Trim(line);
            if (!part.empty() && !logical.empty())
                logical += ' ' + part;
            continue;
        }
        Store(logical, out);
        logical = Trim(line);
    }
    Store(logical, out);
    if (!out.origin.empty())
        out.origin += ", ";
    out.origin += path;
}

SubschemaDefinitions StandardSchemaFileDefinitions()
{
    SubschemaDefinitions defs;
    for (const char* name : {"core", "cosine", "inetorgperson", "nis"})
        ReadSchemaFile(std::string("/etc/ldap/schema/") + name + ".schema", defs);
    return defs;
}

} // namespace testsupport
