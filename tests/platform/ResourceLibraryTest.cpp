#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/ResourceLibrary.h"

namespace {

std::string MakeBundle(const std::string& manifest, const std::string& strings)
{
    char tmpl[] = "/tmp/arbres-XXXXXX";
    std::string dir = mkdtemp(tmpl);
    std::ofstream(dir + "/manifest.txt") << manifest;
    std::ofstream(dir + "/strings.txt") << strings;
    return dir;
}

TEST(ResourceLibrary, ShippedBundleLoadsBesideTheProgram)
{
    platform::ResourceLibrary lib;
    ASSERT_TRUE(lib.LoadDefault()) << "no arbresource folder beside the test program";
    EXPECT_EQ(lib.GetLanguageId(), 1033u);
    std::string s;
    EXPECT_TRUE(lib.LoadString(702, s));
    EXPECT_FALSE(s.empty());
}

TEST(ResourceLibrary, StringTableEscapesAndMissingIds)
{
    std::string dir = MakeBundle("language=1031\n",
                                 "# comment\n10\tZeile eins\\nZeile zwei\n11\tTab\\there \\\\ \xC3\xA4\r\n"
                                 "bad line\n12\t\n");
    platform::ResourceLibrary lib;
    ASSERT_TRUE(lib.Load(dir));
    EXPECT_EQ(lib.GetLanguageId(), 1031u);
    std::string s;
    ASSERT_TRUE(lib.LoadString(10, s));
    EXPECT_EQ(s, "Zeile eins\nZeile zwei");
    ASSERT_TRUE(lib.LoadString(11, s));
    EXPECT_EQ(s, "Tab\there \\ \xC3\xA4");
    EXPECT_FALSE(lib.LoadString(12, s));  // empty text counts as missing
    EXPECT_FALSE(lib.LoadString(13, s));
}

// Wide strings are converted once, but never outlive the table they came from.
TEST(ResourceLibrary, WideStringsFollowTheLoadedTable)
{
    platform::ResourceLibrary lib;
    ASSERT_TRUE(lib.Load(MakeBundle("language=1031\n", "10\tGr\xC3\xBC\xC3\x9F" "e\n12\t\n")));
    std::wstring text = L"unchanged";
    ASSERT_TRUE(lib.LoadWideString(10, text));
    EXPECT_EQ(text, L"Gr\u00FC\u00DFe");
    ASSERT_TRUE(lib.LoadWideString(10, text));
    EXPECT_EQ(text, L"Gr\u00FC\u00DFe");
    EXPECT_FALSE(lib.LoadWideString(12, text));
    EXPECT_FALSE(lib.LoadWideString(13, text));

    ASSERT_TRUE(lib.Load(MakeBundle("language=1033\n", "10\tGreetings\n")));
    ASSERT_TRUE(lib.LoadWideString(10, text));
    EXPECT_EQ(text, L"Greetings");
}

TEST(ResourceLibrary, TypedResourcesAndBadBundles)
{
    std::string dir = MakeBundle("language=1033\n", "");
    system(("mkdir -p " + dir + "/text && printf 'abc' > " + dir + "/text/655.txt && : > " + dir +
            "/text/654.txt").c_str());
    platform::ResourceLibrary lib;
    ASSERT_TRUE(lib.Load(dir));
    std::string bytes = "unchanged";
    ASSERT_TRUE(lib.LoadResource("TEXT", 655, bytes));
    EXPECT_EQ(bytes, "abc");
    bytes = "unchanged";
    EXPECT_FALSE(lib.LoadResource("TEXT", 654, bytes));  // empty
    EXPECT_FALSE(lib.LoadResource("TEXT", 65, bytes));   // id is not a prefix match
    EXPECT_FALSE(lib.LoadResource("JPEG", 1, bytes));
    EXPECT_EQ(bytes, "unchanged");

    platform::ResourceLibrary none;
    EXPECT_FALSE(none.Load("/nonexistent/folder"));
    EXPECT_FALSE(none.Load(MakeBundle("name=x\n", "")));  // no language id
    EXPECT_FALSE(none.IsLoaded());
}

} // namespace
