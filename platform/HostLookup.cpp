#include "platform/HostLookup.h"

#include <arpa/inet.h>
#include <cstring>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

namespace platform {

bool SystemHostResolver::ResolveIPv4(const std::string& host, std::vector<uint32_t>& addresses)
{
    addresses.clear();
    if (host.empty()) return false;
    addrinfo hints;
    std::memset(&hints, 0, sizeof hints);
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;  // one answer per address, not one per socket type
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || !found) return false;
    for (addrinfo* a = found; a; a = a->ai_next)
        if (a->ai_family == AF_INET && a->ai_addr)
            addresses.push_back(reinterpret_cast<const sockaddr_in*>(a->ai_addr)->sin_addr.s_addr);
    freeaddrinfo(found);
    return !addresses.empty();
}

bool SystemHostResolver::ReverseIPv4(uint32_t address, std::string& name)
{
    sockaddr_in sa;
    std::memset(&sa, 0, sizeof sa);
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = address;
    char host[NI_MAXHOST];
    if (getnameinfo(reinterpret_cast<const sockaddr*>(&sa), sizeof sa, host, sizeof host, nullptr, 0, NI_NAMEREQD) != 0)
        return false;
    name = host;
    return !name.empty();
}

bool ParseIPv4Literal(const std::string& text, uint32_t& address)
{
    in_addr a;
    if (inet_pton(AF_INET, text.c_str(), &a) != 1) return false;
    address = a.s_addr;
    return true;
}

bool ParseIPv6Literal(const std::string& text, std::string& canonical)
{
    std::string t = text;
    if (t.size() >= 2 && t.front() == '[' && t.back() == ']') t = t.substr(1, t.size() - 2);
    in6_addr a;
    if (inet_pton(AF_INET6, t.c_str(), &a) != 1) return false;
    char buf[INET6_ADDRSTRLEN];
    if (!inet_ntop(AF_INET6, &a, buf, sizeof buf)) return false;
    canonical = buf;
    return true;
}

std::string FormatIPv4(uint32_t address)
{
    in_addr a;
    a.s_addr = address;
    char buf[INET_ADDRSTRLEN];
    return inet_ntop(AF_INET, &a, buf, sizeof buf) ? std::string(buf) : std::string();
}

} // namespace platform
