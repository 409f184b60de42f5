#pragma once
// The settings key is stamped with the build and resource language that
// wrote it; a run of another build or language starts from empty settings.

#include <cstdint>

// Reads "Build" and "LangID" from the settings key. When either stored value
// or either running value is 0 or missing, or a stored value differs from
// the running one, deletes the whole settings key, makes it again and
// stamps it with the running values. True when it reset.
bool CheckSettingsVersion(uint32_t runningBuild, uint32_t resourceLanguage);
