#pragma once
// New GUIDs, from the system's random source.

#include "base/Guid.h"

namespace platform {

// A new random GUID.
GUID CreateGuid();

} // namespace platform
