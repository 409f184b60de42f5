#include "tests/support/TableResolver.h"

#include <cctype>
#include <cstdio>

namespace testsupport {

uint32_t Addr(const char* dotted)
{
    uint32_t a = 0;
    platform::ParseIPv4Literal(dotted, a);
    return a;
}

TableResolver::TableResolver()
{
    m_forward["ldap.example"] = {Addr("10.0.0.1"), Addr("10.0.0.2")};
    m_forward["alias.example"] = {Addr("10.0.0.2")};
    m_forward["other.example"] = {Addr("10.0.0.3")};
    m_forward["reverse.example"] = {Addr("10.0.0.4"), Addr("10.0.0.5")};
    m_forward["localhost"] = {Addr("127.0.0.1")};
    m_reverse[Addr("10.0.0.1")] = "ldap.example";
    m_reverse[Addr("10.0.0.4")] = "reverse.example";
    m_reverse[Addr("127.0.0.1")] = "localhost";
}

bool TableResolver::ResolveIPv4(const std::string& text, std::vector<uint32_t>& addresses)
{
    std::string host = text;
    for (char& c : host) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    std::unique_lock<std::mutex> g(m_lock);
    m_released.wait(g, [&] { return m_held != host; });
    ++m_forwardCalls[host];
    ++m_calls;
    unsigned n = 0;
    if (std::sscanf(host.c_str(), "h%u.example", &n) == 1 && n < 256) {
        addresses = {Addr(("10.1.0." + std::to_string(n)).c_str())};
        return true;
    }
    auto it = m_forward.find(host);
    if (it == m_forward.end()) return false;
    addresses = it->second;
    return true;
}

bool TableResolver::ReverseIPv4(uint32_t address, std::string& name)
{
    std::lock_guard<std::mutex> g(m_lock);
    ++m_reverseCalls[address];
    ++m_calls;
    auto it = m_reverse.find(address);
    if (it == m_reverse.end()) return false;
    name = it->second;
    return true;
}

int TableResolver::ForwardCalls(const std::string& host)
{
    std::lock_guard<std::mutex> g(m_lock);
    return m_forwardCalls[host];
}

int TableResolver::ReverseCalls(const char* dotted)
{
    std::lock_guard<std::mutex> g(m_lock);
    return m_reverseCalls[Addr(dotted)];
}

void TableResolver::Hold(const std::string& host)
{
    std::lock_guard<std::mutex> g(m_lock);
    m_held = host;
}

void TableResolver::Release()
{
    {
        std::lock_guard<std::mutex> g(m_lock);
        m_held.clear();
    }
    m_released.notify_all();
}

} // namespace testsupport
