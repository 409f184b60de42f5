#pragma once
// The toolkit takes menu and window ids only below 0x7FFF, while the
// program's commands run up to 59413. Commands from 0x8000 on are moved
// into the free block from 6000 (above the toolkit's own ids 5000-5999 and
// below 0x7FFF); smaller ones keep their number.

#include <cstdint>

namespace ui {

constexpr int kMovedCommandBase = 6000;

constexpr int WxId(uint32_t command)
{
    return command >= 0x8000 ? static_cast<int>(command - 0x8000) + kMovedCommandBase : static_cast<int>(command);
}

constexpr uint32_t CommandOf(int id)
{
    return id >= kMovedCommandBase && id < 0x7FFF ? static_cast<uint32_t>(id - kMovedCommandBase) + 0x8000
                                                  : static_cast<uint32_t>(id);
}

} // namespace ui
