#include <gtest/gtest.h>

#include <set>

#include "platform/GuidGen.h"
#include "base/Guid.h"

TEST(Guid, TextRoundTripAndBadTexts)
{
    GUID g = platform::CreateGuid(), back;
    ASSERT_TRUE(GuidFromString(GuidToString(g), back));
    EXPECT_EQ(g, back);
    ASSERT_TRUE(GuidFromString(L"0a1b2c3d-4e5f-6071-8293-a4b5c6d7e8f9", back));
    EXPECT_EQ(GuidToString(back), L"{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9}");
    for (const wchar_t* bad : {L"", L"{}", L"{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8FZ}",
                               L"0A1B2C3D4E5F60718293A4B5C6D7E8F9", L"{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9"})
        EXPECT_FALSE(GuidFromString(bad, back)) << bad;
}

TEST(Guid, StoredBytesAreLittleEndianFields)
{
    GUID g;
    ASSERT_TRUE(GuidFromString(L"{00112233-4455-6677-8899-AABBCCDDEEFF}", g));
    unsigned char b[16];
    GuidToBytes(g, b);
    const unsigned char want[16] = {0x33, 0x22, 0x11, 0x00, 0x55, 0x44, 0x77, 0x66,
                                    0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF};
    EXPECT_EQ(0, memcmp(b, want, 16));
    EXPECT_EQ(GuidFromBytes(b), g);
}

TEST(Guid, NewGuidsDiffer)
{
    std::set<std::wstring> seen;
    for (int i = 0; i < 1000; ++i)
        EXPECT_TRUE(seen.insert(GuidToString(platform::CreateGuid())).second);
}
