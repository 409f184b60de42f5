#pragma once
// Helpers of the schema cache tests: a temporary ARBOLITE_HOME, byte texts,
// raw access to a cache file and a resolver over fixed tables.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/CompoundStorage.h"
#include "platform/Folders.h"
#include "base/Guid.h"
#include "platform/HostLookup.h"

namespace cachetest {

// "0a 00 ff" or "0a00ff" to bytes.
inline std::string Hex(const std::string& text)
{
    std::string out, digits;
    for (char c : text)
        if (isxdigit(static_cast<unsigned char>(c))) digits.push_back(c);
    for (size_t i = 0; i + 1 < digits.size(); i += 2)
        out.push_back(static_cast<char>(std::stoi(digits.substr(i, 2), nullptr, 16)));
    return out;
}

inline std::string ToHex(const std::string& bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        if (!out.empty()) out.push_back(' ');
        out.push_back(digits[c >> 4]);
        out.push_back(digits[c & 15]);
    }
    return out;
}

inline std::string U32(uint32_t v)
{
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i) s[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    return s;
}

inline std::string Counted(const std::string& s)
{
    return U32(static_cast<uint32_t>(s.size())) + s;
}

inline std::string GuidBytes(const GUID& guid)
{
    unsigned char b[16];
    GuidToBytes(guid, b);
    return std::string(reinterpret_cast<const char*>(b), 16);
}

inline uint32_t Addr(const char* dotted)
{
    uint32_t a = 0;
    EXPECT_TRUE(platform::ParseIPv4Literal(dotted, a)) << dotted;
    return a;
}

// One record of "HostsInformation"; addresses as their network-order bytes.
inline std::string HostRecordBytes(const GUID& guid, uint32_t ldapPort, uint32_t sslPort,
                                   const std::vector<std::string>& addresses)
{
    std::string s = GuidBytes(guid) + U32(ldapPort) + U32(sslPort) + U32(static_cast<uint32_t>(addresses.size()));
    for (const std::string& a : addresses) s += a;
    return s;
}

// Streams by path ("HostsInformation", "SUB/objectClasses") written into a
// new store that replaces the file.
inline void MakeStore(const std::string& path, const std::vector<std::pair<std::string, std::string>>& streams)
{
    platform::CStorage root;
    ASSERT_EQ(platform::CStorage::CreateFile(
                  path, platform::STGM_READWRITE | platform::STGM_SHARE_EXCLUSIVE | platform::STGM_CREATE, root),
              S_OK);
    for (const auto& s : streams) {
        platform::CStream stream;
        ASSERT_EQ(root.CreateStreamAt(s.first, platform::STGM_READWRITE | platform::STGM_SHARE_EXCLUSIVE |
                                                    platform::STGM_CREATE,
                                      stream),
                  S_OK)
            << s.first;
        uint32_t written = 0;
        ASSERT_EQ(stream.Write(s.second.data(), static_cast<uint32_t>(s.second.size()), &written), S_OK);
        ASSERT_EQ(written, s.second.size());
    }
}

// The seven streams of an empty, readable host sub-storage.
inline std::vector<std::pair<std::string, std::string>> EmptyHostStreams(const std::string& sub)
{
    std::string zero = U32(0);
    return {{sub + "/SchemaMetaInformation", std::string(16, '\0')},
            {sub + "/objectClasses", zero},
            {sub + "/attributeTypes", zero},
            {sub + "/matchingRules", zero},
            {sub + "/mutchingRuleUses", zero},
            {sub + "/ldapSyntaxes", zero},
            {sub + "/objectClassesUsageStatistics", zero}};
}

// The whole content of a stream of a closed file; empty with a failure when missing.
inline std::string ReadStream(const std::string& path, const std::string& streamPath)
{
    platform::CStorage root;
    HRESULT hr = platform::CStorage::OpenFile(path, platform::STGM_READ | platform::STGM_SHARE_DENY_WRITE, root);
    EXPECT_EQ(hr, S_OK) << path;
    if (FAILED(hr)) return std::string();
    platform::CStream stream;
    hr = root.OpenStreamAt(streamPath, platform::STGM_READ | platform::STGM_SHARE_EXCLUSIVE, stream);
    EXPECT_EQ(hr, S_OK) << streamPath;
    if (FAILED(hr)) return std::string();
    uint64_t size = 0;
    stream.GetSize(size);
    std::string bytes(static_cast<size_t>(size), '\0');
    uint32_t read = 0;
    if (size) stream.Read(&bytes[0], static_cast<uint32_t>(size), &read);
    bytes.resize(read);
    return bytes;
}

// The elements directly below the root of a closed file, or below a sub-storage.
inline std::vector<platform::StorageElementInfo> Elements(const std::string& path, const std::string& below = "")
{
    platform::CStorage root;
    std::vector<platform::StorageElementInfo> out;
    if (FAILED(platform::CStorage::OpenFile(path, platform::STGM_READ | platform::STGM_SHARE_DENY_WRITE, root)))
        return out;
    if (below.empty()) {
        root.EnumElements(out);
    } else {
        platform::CStorage sub;
        if (SUCCEEDED(root.OpenStorageAt(below, platform::STGM_READ | platform::STGM_SHARE_EXCLUSIVE, sub)))
            sub.EnumElements(out);
    }
    return out;
}

// A resolver over fixed tables. Names "hN.example" resolve to 10.1.0.N.
class TableResolver : public platform::IHostResolver {
public:
    TableResolver()
    {
        m_forward["ldap.example"] = {Addr("10.0.0.1"), Addr("10.0.0.2")};
        m_forward["alias.example"] = {Addr("10.0.0.2")};
        m_forward["other.example"] = {Addr("10.0.0.3")};
        m_forward["localhost"] = {Addr("127.0.0.1")};
        m_reverse[Addr("127.0.0.1")] = "localhost";
        m_reverse[Addr("10.0.0.1")] = "ldap.example";
        // "v6only.example" and "nowhere.invalid" have no IPv4 address.
    }

    // Names are looked up ignoring case, as DNS does.
    bool ResolveIPv4(const std::string& text, std::vector<uint32_t>& addresses) override
    {
        std::string host = text;
        for (char& c : host) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
        std::lock_guard<std::mutex> g(m_lock);
        ++m_calls[host];
        unsigned n = 0;
        if (sscanf(host.c_str(), "h%u.example", &n) == 1 && n < 256) {
            addresses = {Addr(("10.1.0." + std::to_string(n)).c_str())};
            return true;
        }
        auto it = m_forward.find(host);
        if (it == m_forward.end()) return false;
        addresses = it->second;
        return true;
    }
    bool ReverseIPv4(uint32_t address, std::string& name) override
    {
        std::lock_guard<std::mutex> g(m_lock);
        auto it = m_reverse.find(address);
        if (it == m_reverse.end()) return false;
        name = it->second;
        return true;
    }
    int Calls(const std::string& host)
    {
        std::lock_guard<std::mutex> g(m_lock);
        return m_calls[host];
    }

private:
    std::mutex m_lock;
    std::map<std::string, std::vector<uint32_t>> m_forward;
    std::map<uint32_t, std::string> m_reverse;
    std::map<std::string, int> m_calls;
};

// A temporary ARBOLITE_HOME for one test.
class TempHome : public ::testing::Test {
protected:
    void SetUp() override
    {
        char tmpl[] = "/tmp/arbcache-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        m_home = tmpl;
        setenv("ARBOLITE_HOME", m_home.c_str(), 1);
    }
    void TearDown() override
    {
        unsetenv("ARBOLITE_HOME");
        std::error_code ec;
        std::filesystem::remove_all(m_home, ec);
    }

    std::string m_home;
};

} // namespace cachetest
