#include <gtest/gtest.h>

#include "platform/GuidGen.h"
#include "platform/CGuidText.h"

namespace {

GUID Sample()
{
    GUID g;
    GuidFromString(L"{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9}", g);
    return g;
}

TEST(CGuidText, FormsOfOneGuid)
{
    GUID g = Sample();
    struct { int style; const wchar_t* text; } cases[] = {
        {0, L"{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9}"},
        {1, L"0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9"},
        {2, L"0A1B2C3D4E5F60718293A4B5C6D7E8F9"},
        {3, L"0A1B2C3D4E5F60718293A4B5C6D7E8F"},
    };
    for (const auto& c : cases) {
        CGuidText t(&g, c.style);
        ASSERT_NE(t.GetString(), nullptr) << c.style;
        EXPECT_STREQ(t.GetString(), c.text) << c.style;
    }
}

TEST(CGuidText, Style2IsStyle1WithoutHyphens)
{
    for (int i = 0; i < 50; ++i) {
        GUID g = platform::CreateGuid();
        CGuidText s1(&g, 1), s2(&g, 2);
        std::wstring digits;
        for (const wchar_t* p = s1.GetString(); *p; ++p)
            if (*p != L'-') digits.push_back(*p);
        EXPECT_EQ(digits, s2.GetString());
    }
}

TEST(CGuidText, NullForNoGuidOrBadStyleAndCachesUntilChanged)
{
    GUID g = Sample();
    EXPECT_EQ(CGuidText(nullptr, 0).GetString(), nullptr);
    EXPECT_EQ(CGuidText(&g, 4).GetString(), nullptr);

    CGuidText t(&g, 0);
    const wchar_t* first = t.GetString();
    EXPECT_EQ(first, t.GetString());
    t.SetStyle(2);
    EXPECT_STREQ(t.GetString(), L"0A1B2C3D4E5F60718293A4B5C6D7E8F9");
}

TEST(FormatGuidHex, NullArgumentsFail)
{
    GUID g = Sample();
    std::wstring out = L"x";
    EXPECT_EQ(FormatGuidHex(&g, nullptr), E_FAIL);
    EXPECT_EQ(FormatGuidHex(nullptr, &out), E_FAIL);
    EXPECT_TRUE(out.empty());
}

} // namespace
