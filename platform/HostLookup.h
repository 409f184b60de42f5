#pragma once
// Name resolution for telling whether two server addresses name one host.
// The calls block; the schema side keeps their answers for the run.

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

class IHostResolver {
public:
    virtual ~IHostResolver() = default;
    // The IPv4 addresses of a host name or dotted address, each as its four
    // bytes in network order held in a 32-bit word; false when there is none.
    virtual bool ResolveIPv4(const std::string& host, std::vector<uint32_t>& addresses) = 0;
    // The name a reverse lookup gives for an IPv4 address; false when none.
    virtual bool ReverseIPv4(uint32_t address, std::string& name) = 0;
};

// getaddrinfo and getnameinfo.
class SystemHostResolver : public IHostResolver {
public:
    bool ResolveIPv4(const std::string& host, std::vector<uint32_t>& addresses) override;
    bool ReverseIPv4(uint32_t address, std::string& name) override;
};

// A dotted-decimal IPv4 address of four parts; the word in network order.
bool ParseIPv4Literal(const std::string& text, uint32_t& address);
// An IPv6 address (brackets allowed); its canonical text form.
bool ParseIPv6Literal(const std::string& text, std::string& canonical);
// "a.b.c.d" of a word in network order.
std::string FormatIPv4(uint32_t address);

} // namespace platform
