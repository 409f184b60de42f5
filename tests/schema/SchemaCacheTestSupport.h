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

#include "schema/compound/CompoundStorage.h"
#include "platform/Folders.h"
#include "base/Guid.h"
#include "platform/HostLookup.h"
#include "tests/support/ByteText.h"
#include "tests/support/TableResolver.h"
#include "tests/support/TempHome.h"

namespace cachetest {

using TableResolver = testsupport::TableResolver;
using TempHome = testsupport::TempHomeTest;
using testsupport::Addr;
using testsupport::Counted;
using testsupport::Hex;
using testsupport::ToHex;
using testsupport::U32;

inline std::string GuidBytes(const GUID& guid)
{
    unsigned char b[16];
    GuidToBytes(guid, b);
    return std::string(reinterpret_cast<const char*>(b), 16);
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

} // namespace cachetest
