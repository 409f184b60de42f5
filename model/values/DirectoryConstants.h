#pragma once
// Program-wide directory constants that the nodes read when they fetch
// children or decide how a value is opened; filled once at start-up.

#include <string>

#include "base/StringList.h"

// "(objectclass=*)".
extern std::string g_defaultFilter;
// Attribute names whose values open in a viewer or through the shell.
extern StringList g_specialValueAttributes;
// The distinguished-name syntax OID.
extern StringList g_dnSyntaxOids;

// Fills the three; later calls change nothing.
void FillDirectoryConstants();
