#pragma once
// Writes a remembered answer into the "Confirmations" store as it stands in
// the settings, whatever its value (tests of readers that must weed out
// values they cannot use).

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/RegistryKey.h"

namespace testsupport {

inline void StoreRawAnswer(int confirmation, uint32_t value)
{
    const std::wstring store = L"Software\\Vellumar\\Arbolite\\Settings\\Confirmations\\";
    platform::RegistryKey key(platform::RegRoot::CurrentUser, false);
    ASSERT_TRUE(key.Open(store) || key.CreateKey(store));
    ASSERT_TRUE(key.Write(std::to_wstring(confirmation), value));
}

} // namespace testsupport
