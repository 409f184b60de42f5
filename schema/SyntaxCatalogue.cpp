#include "schema/SyntaxCatalogue.h"

#include <mutex>

namespace {

SyntaxTable& SyntaxTableInstance()
{
    static SyntaxTable table;
    return table;
}

OperationalSyntaxTable& OperationalTableInstance()
{
    static OperationalSyntaxTable table;
    return table;
}

StringList& OperationalNamesInstance()
{
    static StringList names;
    return names;
}

#define RFC2252_SYNTAX(n) "1.3.6.1.4.1.1466.115.121.1." #n

} // namespace

void FillOperationalSyntaxes()
{
    static const struct {
        const char* name;
        const char* syntax;
    } kRows[] = {
        {"createTimestamp", RFC2252_SYNTAX(24)},
        {"modifyTimestamp", RFC2252_SYNTAX(24)},
        {"creatorsName", RFC2252_SYNTAX(12)},
        {"modifiersName", RFC2252_SYNTAX(12)},
        {"subschemaSubentry", RFC2252_SYNTAX(12)},
        {"namingContexts", RFC2252_SYNTAX(12)},
        {"distinguishedName", RFC2252_SYNTAX(12)},
        {"attributeTypes", RFC2252_SYNTAX(3)},
        {"objectClasses", RFC2252_SYNTAX(37)},
        {"matchingRules", RFC2252_SYNTAX(30)},
        {"matchingRuleUse", RFC2252_SYNTAX(31)},
        {"altServer", RFC2252_SYNTAX(26)},
        {"supportedExtension", RFC2252_SYNTAX(38)},
        {"supportedControl", RFC2252_SYNTAX(38)},
        {"objectClass", RFC2252_SYNTAX(38)},
        {"supportedSASLMechanisms", RFC2252_SYNTAX(15)},
        {"name", RFC2252_SYNTAX(15)},
        {"supportedLDAPVersion", RFC2252_SYNTAX(27)},
        {"ldapSyntaxes", RFC2252_SYNTAX(54)},
        {"dITStructureRules", RFC2252_SYNTAX(17)},
        {"nameForms", RFC2252_SYNTAX(35)},
        {"userSMIMECertificate", RFC2252_SYNTAX(5)},
        {"userPKCS12", RFC2252_SYNTAX(5)},
        {"krb5Key", RFC2252_SYNTAX(5)},
        {"userCertificate", RFC2252_SYNTAX(8)},
        {"cACertificate", RFC2252_SYNTAX(8)},
        {"authorityRevocationList", RFC2252_SYNTAX(9)},
        {"certificateRevocationList", RFC2252_SYNTAX(9)},
        {"deltaRevocationList", RFC2252_SYNTAX(9)},
        {"crossCertificatePair", RFC2252_SYNTAX(10)},
        {"photo", RFC2252_SYNTAX(23)},
        {"personalSignature", RFC2252_SYNTAX(23)},
        {"jpegPhoto", RFC2252_SYNTAX(28)},
        {"supportedAlgorithms", RFC2252_SYNTAX(49)},
    };
    OperationalSyntaxTable& table = OperationalTableInstance();
    for (const auto& row : kRows)
        table[row.name] = row.syntax;
}

void FillSyntaxTable()
{
    static const struct {
        const char* oid;
        const char* name;
        bool humanReadable;
    } kRows[] = {
        {RFC2252_SYNTAX(1), "ACI Item", false},
        {RFC2252_SYNTAX(2), "Access Point", true},
        {RFC2252_SYNTAX(3), "Attribute Type Description", true},
        {RFC2252_SYNTAX(4), "Audio", false},
        {RFC2252_SYNTAX(5), "Binary", false},
        {RFC2252_SYNTAX(6), "Bit String", true},
        {RFC2252_SYNTAX(7), "Boolean", true},
        {RFC2252_SYNTAX(8), "Certificate", false},
        {RFC2252_SYNTAX(9), "Certificate List", false},
        {RFC2252_SYNTAX(10), "Certificate Pair", false},
        {RFC2252_SYNTAX(11), "Country String", true},
        {RFC2252_SYNTAX(12), "DN", true},
        {RFC2252_SYNTAX(13), "Data Quality Syntax", true},
        {RFC2252_SYNTAX(14), "Delivery Method", true},
        {RFC2252_SYNTAX(15), "Directory String", true},
        {RFC2252_SYNTAX(16), "DIT Content Rule Description", true},
        {RFC2252_SYNTAX(17), "DIT Structure Rule Description", true},
        {RFC2252_SYNTAX(18), "DL Submit Permission", true},
        {RFC2252_SYNTAX(19), "DSA Quality Syntax", true},
        {RFC2252_SYNTAX(20), "DSE Type", true},
        {RFC2252_SYNTAX(21), "Enhanced Guide", true},
        {RFC2252_SYNTAX(22), "Facsimile Telephone Number", true},
        {RFC2252_SYNTAX(23), "Fax", false},
        {RFC2252_SYNTAX(24), "Generalized Time", true},
        {RFC2252_SYNTAX(25), "Guide", true},
        {RFC2252_SYNTAX(26), "IA5 String", true},
        {RFC2252_SYNTAX(27), "INTEGER", true},
        {RFC2252_SYNTAX(28), "JPEG", false},
        {RFC2252_SYNTAX(29), "Master And Shadow Access Points", true},
        {RFC2252_SYNTAX(30), "Matching Rule Description", true},
        {RFC2252_SYNTAX(31), "Matching Rule Use Description", true},
        {RFC2252_SYNTAX(32), "Mail Preference", true},
        {RFC2252_SYNTAX(33), "MHS OR Address", true},
        {RFC2252_SYNTAX(34), "Name And Optional UID", true},
        {RFC2252_SYNTAX(35), "Name Form Description", true},
        {RFC2252_SYNTAX(36), "Numeric String", true},
        {RFC2252_SYNTAX(37), "Object Class Description", true},
        {RFC2252_SYNTAX(38), "OID", true},
        {RFC2252_SYNTAX(39), "Other Mailbox", true},
        {RFC2252_SYNTAX(40), "Octet String", true},
        {RFC2252_SYNTAX(41), "Postal Address", true},
        {RFC2252_SYNTAX(42), "Protocol Information", true},
        {RFC2252_SYNTAX(43), "Presentation Address", true},
        {RFC2252_SYNTAX(44), "Printable String", true},
        {RFC2252_SYNTAX(45), "Subtree Specification", true},
        {RFC2252_SYNTAX(46), "Supplier Information", true},
        {RFC2252_SYNTAX(47), "Supplier Or Consumer", true},
        {RFC2252_SYNTAX(48), "Supplier And Consumer", true},
        {RFC2252_SYNTAX(49), "Supported Algorithm", false},
        {RFC2252_SYNTAX(50), "Telephone Number", true},
        {RFC2252_SYNTAX(51), "Teletex Terminal Identifier", true},
        {RFC2252_SYNTAX(52), "Telex Number", true},
        {RFC2252_SYNTAX(53), "UTC Time", true},
        {RFC2252_SYNTAX(54), "LDAP Syntax Description", true},
        {RFC2252_SYNTAX(55), "Modify Rights", true},
        {RFC2252_SYNTAX(56), "LDAP Schema Definition", true},
        {RFC2252_SYNTAX(57), "LDAP Schema Description", true},
        {RFC2252_SYNTAX(58), "Substring Assertion", true},
        {"1.3.6.1.1.1.0.0", "RFC2307 NIS Netgroup Triple", true},
        {"1.3.6.1.1.1.0.1", "RFC2307 Boot Parameter", true},
        {"1.3.6.1.4.1.4203.666.2.1", "OpenLDAP Experimental ACI", true},
        {"1.3.6.1.4.1.4203.666.2.2", "OpenLDAP authPassword", true},
        {"1.3.6.1.4.1.4203.1.1.1", "OpenLDAP void", true},
        {"1.2.840.113556.1.4.906", "Large integer (a.k.a. INTEGER8)", true},
        {"1.2.840.113556.1.4.905", "Case-ignore string (teletex)", true},
        {"1.2.840.113556.1.4.1362", "Case-sensitive string (a.k.a. case-exact string)", true},
        {"1.2.840.113556.1.4.907", "Windows NT security descriptor", false},
        {"1.2.840.113556.1.4.903", "DN with binary (a.k.a. DN with octet string)", true},
        {"1.2.840.113556.1.4.904", "DN with Unicode string", true},
        {"1.2.840.113556.1.4.1221", "OR name", true},
    };
    SyntaxTable& table = SyntaxTableInstance();
    for (const auto& row : kRows)
        table[row.oid] = SyntaxInfo(row.humanReadable, row.name);
}

void InitSchemaTables()
{
    static std::once_flag once;
    std::call_once(once, [] {
        FillOperationalSyntaxes();
        FillSyntaxTable();
        static const char* const kNames[] = {
            "+", "createTimestamp", "modifyTimestamp", "creatorsName", "modifiersName",
            "subschemaSubentry", "attributeTypes", "objectClasses", "matchingRules",
            "matchingRuleUse", "namingContexts", "altServer", "supportedExtension",
            "supportedControl", "supportedSASLMechanisms", "supportedLDAPVersion",
        };
        StringList& names = OperationalNamesInstance();
        for (const char* n : kNames)
            names.AddString(n);
    });
}

const SyntaxInfo* FindSyntaxInfo(const std::string& oid)
{
    const SyntaxTable& table = SyntaxTableInstance();
    auto it = table.find(oid);
    return it == table.end() ? nullptr : &it->second;
}

const StringList& GetOperationalAttributeNames()
{
    return OperationalNamesInstance();
}

bool IsOperationalAttribute(const std::string& name)
{
    const OperationalSyntaxTable& table = OperationalTableInstance();
    return table.find(name) != table.end();
}

const SyntaxInfo* GetOperationalAttributeSyntax(const std::string& name)
{
    const OperationalSyntaxTable& table = OperationalTableInstance();
    auto it = table.find(name);
    return it == table.end() ? nullptr : FindSyntaxInfo(it->second);
}

const SyntaxTable& GetSyntaxTable()
{
    return SyntaxTableInstance();
}

const OperationalSyntaxTable& GetOperationalSyntaxTable()
{
    return OperationalTableInstance();
}
