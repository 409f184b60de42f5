#pragma once
// The attribute names and syntaxes whose values open in a viewer: photos,
// sounds, mail addresses, links, certificates, and DN values.

#include <string>

// One of "jpegphoto", "photo", "mail", "audio", "labeleduri", "labeledurl",
// "memberurl", "usercertificate", "cacertificate", "nsdirectoryurl"
// (a base name, compared ignoring ASCII case).
bool IsLinkAttributeName(const std::string& baseName);
// The DN syntax "1.3.6.1.4.1.1466.115.121.1.12" (compared exactly).
bool IsLinkSyntax(const std::string& syntaxOid);
