#pragma once
// Shared by the shell-logic tests: the resource library beside the tests and
// a file written whole.

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "base/Utf8.h"
#include "platform/ResourceLibrary.h"

namespace shelltest {

inline void LoadResources()
{
    static bool loaded = platform::ResourceLibrary::Current().LoadDefault();
    ASSERT_TRUE(loaded) << "the resource library beside the tests";
}

inline std::wstring ResourceText(unsigned id)
{
    std::string text;
    EXPECT_TRUE(platform::ResourceLibrary::Current().LoadString(id, text)) << "string " << id;
    return Utf8ToWideString(text);
}

inline void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

} // namespace shelltest
