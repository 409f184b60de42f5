#pragma once
// A host resolver over fixed tables, for tests that must not touch DNS. It
// counts its calls and can hold the lookups of one host until released.
//
//   ldap.example     10.0.0.1, 10.0.0.2   (10.0.0.1 reverses to it)
//   alias.example    10.0.0.2
//   other.example    10.0.0.3
//   reverse.example  10.0.0.4, 10.0.0.5   (10.0.0.4 reverses to it)
//   localhost        127.0.0.1            (and back)
//   hN.example       10.1.0.N for N below 256
// "v6only.example" and "nowhere.invalid" have no IPv4 address. Names are
// looked up ignoring case, as DNS does.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/HostLookup.h"

namespace testsupport {

// The address of a dotted IPv4 text, as the resolver reports it.
uint32_t Addr(const char* dotted);

class TableResolver : public platform::IHostResolver {
public:
    TableResolver();

    bool ResolveIPv4(const std::string& host, std::vector<uint32_t>& addresses) override;
    bool ReverseIPv4(uint32_t address, std::string& name) override;

    // Forward lookups of host (lower case).
    int ForwardCalls(const std::string& host);
    int ReverseCalls(const char* dotted);
    // Every lookup, both ways.
    int Calls() const { return m_calls.load(); }

    // Lookups of host wait until Release.
    void Hold(const std::string& host);
    void Release();

private:
    std::mutex m_lock;
    std::condition_variable m_released;
    std::string m_held;
    std::map<std::string, std::vector<uint32_t>> m_forward;
    std::map<uint32_t, std::string> m_reverse;
    std::map<std::string, int> m_forwardCalls;
    std::map<uint32_t, int> m_reverseCalls;
    std::atomic<int> m_calls{0};
};

} // namespace testsupport
