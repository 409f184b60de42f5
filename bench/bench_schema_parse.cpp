// Parses every attribute type and object class of the standard schema files,
// or of a live server's subschema entry, many times over, with our parser and
// with the client library's, and prints both times and their ratio.
//
//   bench_schema_parse [rounds] [host:port]

#include <ldap.h>

#include <ldap_schema.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <strings.h>
#include <vector>

#include "ldap/LDAPAttribute.h"
#include "ldap/LDAPAttributeList.h"
#include "ldap/LDAPEntry.h"
#include "ldap/LDAPException.h"
#include "ldap/LDAPSyncConnection.h"
#include "schema/SchemaDescriptions.h"
#include "tests/support/SchemaFiles.h"

using namespace arbldap;

namespace {

using Clock = std::chrono::steady_clock;

struct Texts {
    std::vector<const char*> attributeTypes;
    std::vector<const char*> objectClasses;
};

// One pass over every text; returns the number that failed to parse.
size_t OurPass(const Texts& t)
{
    size_t failed = 0;
    for (const char* s : t.attributeTypes)
        failed += !ParseAttributeTypeDescription(s, nullptr, nullptr, kSchemaAllowAll);
    for (const char* s : t.objectClasses)
        failed += !ParseObjectClassDescription(s, nullptr, nullptr, kSchemaAllowAll);
    return failed;
}

size_t LibraryPass(const Texts& t)
{
    size_t failed = 0;
    int code;
    const char* err;
    for (const char* s : t.attributeTypes) {
        LDAPAttributeType* at = ldap_str2attributetype(s, &code, &err, LDAP_SCHEMA_ALLOW_ALL);
        if (at)
            ldap_attributetype_free(at);
        else
            ++failed;
    }
    for (const char* s : t.objectClasses) {
        LDAPObjectClass* oc = ldap_str2objectclass(s, &code, &err, LDAP_SCHEMA_ALLOW_ALL);
        if (oc)
            ldap_objectclass_free(oc);
        else
            ++failed;
    }
    return failed;
}

// Best of several timed blocks of rounds passes, in seconds; the two parsers
// take turns so that both see the same machine state.
template <typename Pass>
double TimeBlock(Pass pass, const Texts& t, int rounds, size_t& failed)
{
    auto start = Clock::now();
    for (int i = 0; i < rounds; ++i)
        failed += pass(t);
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::vector<std::string> ValuesOf(const LDAPEntry& entry, const char* name)
{
    for (const LDAPAttribute& a : entry.GetAttributes())
        if (strcasecmp(a.GetName().c_str(), name) == 0)
            return std::vector<std::string>(a.GetValues().begin(), a.GetValues().end());
    return {};
}

// The subschema entry the server's root DSE names, read anonymously.
bool ReadServerDefinitions(const std::string& hostPort, testsupport::SubschemaDefinitions& defs)
{
    size_t colon = hostPort.rfind(':');
    std::string host = colon == std::string::npos ? hostPort : hostPort.substr(0, colon);
    int port = colon == std::string::npos ? 389 : std::atoi(hostPort.c_str() + colon + 1);
    try {
        RefPtr<LDAPSyncConnection> connection = LDAPSyncConnection::Create(host, port);
        connection->SetProtocolVersion(3);
        StringList attributes;
        attributes.Add("subschemaSubentry");
        std::unique_ptr<LDAPSearchResults> root = connection->Search("", 0, "(objectclass=*)", attributes, false);
        if (root->GetEntries().GetCount() == 0) return false;
        std::vector<std::string> dn = ValuesOf(*root->GetEntries().begin(), "subschemaSubentry");
        if (dn.empty()) return false;
        attributes.Clear();
        attributes.Add("attributeTypes");
        attributes.Add("objectClasses");
        std::unique_ptr<LDAPSearchResults> subschema =
            connection->Search(dn.front(), 0, "(objectClass=subschema)", attributes, false);
        if (subschema->GetEntries().GetCount() == 0) return false;
        defs.origin = hostPort;
        defs.attributeTypes = ValuesOf(*subschema->GetEntries().begin(), "attributeTypes");
        defs.objectClasses = ValuesOf(*subschema->GetEntries().begin(), "objectClasses");
        return true;
    } catch (const LDAPException& e) {
        std::fprintf(stderr, "%s: LDAP error %d\n", hostPort.c_str(), e.GetResultCode());
        return false;
    }
}

} // namespace

int main(int argc, char** argv)
{
    int rounds = argc > 1 ? std::atoi(argv[1]) : 2000;
    if (rounds <= 0)
        rounds = 1;
    testsupport::SubschemaDefinitions defs;
    if (argc > 2) {
        if (!ReadServerDefinitions(argv[2], defs)) {
            std::fprintf(stderr, "%s: no subschema entry could be read\n", argv[2]);
            return 2;
        }
    } else {
        defs = testsupport::StandardSchemaFileDefinitions();
    }
    Texts texts;
    for (const std::string& s : defs.attributeTypes)
        texts.attributeTypes.push_back(s.c_str());
    for (const std::string& s : defs.objectClasses)
        texts.objectClasses.push_back(s.c_str());

    const int blocks = 5;
    const int perBlock = std::max(1, rounds / blocks);
    double ours = 1e300, library = 1e300;
    size_t ourFailed = 0, libraryFailed = 0;
    OurPass(texts);
    LibraryPass(texts);
    for (int b = 0; b < blocks; ++b) {
        ours = std::min(ours, TimeBlock(OurPass, texts, perBlock, ourFailed));
        library = std::min(library, TimeBlock(LibraryPass, texts, perBlock, libraryFailed));
    }

    size_t count = texts.attributeTypes.size() + texts.objectClasses.size();
    double parses = static_cast<double>(count) * perBlock;
    std::printf("from %s\n", defs.origin.c_str());
    std::printf("definitions: %zu attribute types, %zu object classes; %d rounds per block, best of %d\n",
                texts.attributeTypes.size(), texts.objectClasses.size(), perBlock, blocks);
    std::printf("ours:    %.3f ms  (%.1f ns per definition, %zu failures)\n", ours * 1e3, ours * 1e9 / parses,
                ourFailed);
    std::printf("library: %.3f ms  (%.1f ns per definition, %zu failures)\n", library * 1e3,
                library * 1e9 / parses, libraryFailed);
    std::printf("ratio ours/library: %.3f\n", ours / library);
    return ourFailed || libraryFailed ? 1 : 0;
}
