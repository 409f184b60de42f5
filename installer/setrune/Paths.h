#pragma once
// Installer paths: '\\' between folders; the host may give folders that end
// in its own '/'.

#include <string>

#include "installer/msi/Host.h"

namespace setrune {

// folder and name with one separator between them.
std::string JoinPath(const std::string& folder, const std::string& name);

// A file name against a pattern of '*' and '?', ignoring ASCII case.
bool MatchesPattern(const std::string& name, const std::string& pattern);

// The host of the running installation.
msi::Host& TheHost();

} // namespace setrune
