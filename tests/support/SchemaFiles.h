#pragma once
// Subschema definition texts for the schema tests and the benchmark, one list
// per subschema attribute. They come from slapd.conf-style schema files here;
// a live server's subschema entry fills the same lists.

#include <string>
#include <vector>

namespace testsupport {

struct SubschemaDefinitions {
    std::string origin; // where the texts came from, for failure messages
    std::vector<std::string> attributeTypes;
    std::vector<std::string> objectClasses;
    std::vector<std::string> matchingRules;
    std::vector<std::string> matchingRuleUse;
    std::vector<std::string> ldapSyntaxes;
};

// Appends the attributetype and objectclass definitions of one schema file:
// comment lines dropped, continuation lines (led by blanks) joined with one
// space, the keyword stripped. Throws std::runtime_error when the file cannot
// be read.
void ReadSchemaFile(const std::string& path, SubschemaDefinitions& out);

// core, cosine, inetorgperson and nis from /etc/ldap/schema.
SubschemaDefinitions StandardSchemaFileDefinitions();

} // namespace testsupport
