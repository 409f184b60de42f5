#include "platform/GuidGen.h"

#include <cstring>
#include <uuid/uuid.h>

namespace platform {

GUID CreateGuid()
{
    uuid_t u;
    uuid_generate_random(u);
    // uuid_t is big-endian in its first three fields.
    GUID g;
    g.Data1 = uint32_t(u[0]) << 24 | uint32_t(u[1]) << 16 | uint32_t(u[2]) << 8 | u[3];
    g.Data2 = static_cast<uint16_t>(u[4] << 8 | u[5]);
    g.Data3 = static_cast<uint16_t>(u[6] << 8 | u[7]);
    std::memcpy(g.Data4, u + 8, 8);
    return g;
}

} // namespace platform
