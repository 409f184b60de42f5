#pragma once
// Helpers of the schema loading job tests: the lines the message log
// receives, resource texts, the machine root's "DefaultSchema" key, and a
// recorder for the document's refresh hook.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include "tests/support/LogCapture.h"
#include "tests/support/TempHome.h"
#include "base/Utf8.h"
#include "platform/RegistryKey.h"
#include "platform/ResourceLibrary.h"
#include "platform/SettingsStore.h"
#include "schema/SchemaLoadThread.h"

namespace loadtest {

// The program's resource library, loaded once.
inline void LoadResources()
{
    static bool loaded = platform::ResourceLibrary::Current().LoadDefault();
    ASSERT_TRUE(loaded) << "no arbresource folder beside the test program";
}

inline std::string Text(unsigned id)
{
    std::string text;
    EXPECT_TRUE(platform::ResourceLibrary::Current().LoadString(id, text)) << "string " << id;
    return text;
}

using testsupport::LogCapture;

// A machine root of the settings store in a file of its own for one test.
class MachineRoot {
public:
    explicit MachineRoot(const std::string& path) : m_path(path)
    {
        m_store = platform::SettingsStore::Open(path, true);
        platform::SetMachineRootFile(path);
    }
    ~MachineRoot() { platform::SetMachineRootFile(""); }
    MachineRoot(const MachineRoot&) = delete;
    MachineRoot& operator=(const MachineRoot&) = delete;

    // Writes the values under "DefaultSchema\<kind>".
    void SetDefinitions(const std::wstring& kind, const std::vector<std::pair<std::wstring, std::wstring>>& values)
    {
        platform::RegistryKey key(m_store, false);
        ASSERT_TRUE(key.CreateKey(L"Software\\Vellumar\\Arbolite\\DefaultSchema\\" + kind));
        for (const auto& v : values) ASSERT_TRUE(key.Write(v.first, v.second));
    }
    void SetNumber(const std::wstring& kind, const std::wstring& name, uint32_t value)
    {
        platform::RegistryKey key(m_store, false);
        ASSERT_TRUE(key.CreateKey(L"Software\\Vellumar\\Arbolite\\DefaultSchema\\" + kind));
        ASSERT_TRUE(key.Write(name, value));
    }

private:
    std::string m_path;
    std::shared_ptr<platform::SettingsStore> m_store;
};

// Counts the calls of the document's refresh hook while it lives.
class RefreshRecorder {
public:
    RefreshRecorder()
    {
        SetRefreshSelectedServerInfo([this] { ++m_calls; });
    }
    ~RefreshRecorder() { SetRefreshSelectedServerInfo(nullptr); }
    RefreshRecorder(const RefreshRecorder&) = delete;
    RefreshRecorder& operator=(const RefreshRecorder&) = delete;
    int Calls() const { return m_calls.load(); }

private:
    std::atomic<int> m_calls{0};
};

using testsupport::TempFolder;

} // namespace loadtest
