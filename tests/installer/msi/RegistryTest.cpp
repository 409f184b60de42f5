// The registry functions over the machine's hives: case-blind names, the
// buffer rule of values, access rights and open handles.

#include <gtest/gtest.h>

#include <string>

#include "installer/msi/Machine.h"
#include "installer/msi/WinReg.h"

namespace {

class Registry : public ::testing::Test {
protected:
    Registry() { msi::Machine::Get().Reset(); }
    ~Registry() override { msi::Machine::Get().Reset(); }
    msi::RegistryStore& store = msi::Machine::Get().Registry();
};

TEST_F(Registry, ValuesAreFoundIgnoringCaseAndReadWithTheBufferRule)
{
    store.SetString(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Internet Explorer", "Version", "6.0");
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\microsoft\\INTERNET explorer", 0, KEY_READ, &key),
              ERROR_SUCCESS);
    unsigned char data[8];
    DWORD type = 0, size = 3;
    EXPECT_EQ(RegQueryValueExA(key, "version", nullptr, &type, data, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 4u);  // with the zero
    size = sizeof data;
    EXPECT_EQ(RegQueryValueExA(key, "Version", nullptr, &type, data, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(data)), "6.0");
    EXPECT_EQ(RegQueryValueExA(key, "Other", nullptr, &type, data, &size), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegSetValueExA(key, "Other", 0, REG_SZ, data, 2), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(store.OpenKeyCount(), 0u);
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
}

TEST_F(Registry, CreateSetAndDelete)
{
    HKEY key = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "A\\B", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    const unsigned char text[] = "x;y";
    EXPECT_EQ(RegSetValueExA(key, "1", 0, REG_EXPAND_SZ, text, sizeof text), ERROR_SUCCESS);
    EXPECT_EQ(store.GetString(HKEY_CURRENT_USER, "a\\b", "1"), std::optional<std::string>("x;y"));
    EXPECT_EQ(store.FindValue(HKEY_CURRENT_USER, "A\\B", "1")->type, REG_EXPAND_SZ);
    EXPECT_EQ(RegDeleteValueA(key, "1"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValueA(key, "1"), ERROR_FILE_NOT_FOUND);
    RegCloseKey(key);
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "a\\b", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
    RegCloseKey(key);
}

} // namespace
