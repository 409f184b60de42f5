#pragma once
// The plug-in manager's tables of one kind (attribute names or syntax OIDs),
// keyed by UTF-8 text compared ignoring case: every plug-in that handles a
// key, and the plug-in chosen for it (null: none, the standard handling).

#include <map>
#include <string>

#include "base/NoCase.h"

class CPluginProxy;

using PluginSupportedTable = std::multimap<std::string, CPluginProxy*, NoCaseLess>;
using PluginChosenTable = std::map<std::string, CPluginProxy*, NoCaseLess>;
