#include <ldap.h>

#include "ldap/TlsTraceCapture.h"

#include <cstring>
#include <mutex>

namespace arbldap {

namespace {

// LDAP_DEBUG_TRACE in the library's own headers, which it does not install.
constexpr int kLibraryTrace = 0x0001;
constexpr size_t kMaxLines = 16;

std::mutex g_traceLock;
int g_captures = 0;             // under g_traceLock
int g_savedLevel = 0;           // under g_traceLock
BER_LOG_PRINT_FN g_savedPrint;  // under g_traceLock

thread_local std::vector<std::string>* t_lines = nullptr;

// Receives every trace line of every thread while a capture lives.
void KeepTlsLine(const char* text)
{
    if (!t_lines || !text || std::strncmp(text, "TLS: ", 5) != 0 || t_lines->size() >= kMaxLines)
        return;
    std::string line(text);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r' || line.back() == ' '))
        line.pop_back();
    t_lines->push_back(line);
}

}  // namespace

TlsTraceCapture::TlsTraceCapture() : m_outer(t_lines)
{
    {
        std::lock_guard<std::mutex> lock(g_traceLock);
        if (g_captures++ == 0) {
            ldap_get_option(nullptr, LDAP_OPT_DEBUG_LEVEL, &g_savedLevel);
            ber_get_option(nullptr, LBER_OPT_LOG_PRINT_FN, &g_savedPrint);
            ber_set_option(nullptr, LBER_OPT_LOG_PRINT_FN, reinterpret_cast<const void*>(&KeepTlsLine));
            int level = g_savedLevel | kLibraryTrace;
            ldap_set_option(nullptr, LDAP_OPT_DEBUG_LEVEL, &level);
        }
    }
    t_lines = &m_lines;
}

TlsTraceCapture::~TlsTraceCapture()
{
    t_lines = m_outer;
    std::lock_guard<std::mutex> lock(g_traceLock);
    if (--g_captures == 0) {
        ldap_set_option(nullptr, LDAP_OPT_DEBUG_LEVEL, &g_savedLevel);
        ber_set_option(nullptr, LBER_OPT_LOG_PRINT_FN, reinterpret_cast<const void*>(g_savedPrint));
    }
}

std::string TlsTraceCapture::GetReason() const
{
    std::string reason;
    for (const std::string& line : m_lines) {
        if (line.compare(0, 18, "TLS: can't connect") == 0)
            continue;
        if (!reason.empty())
            reason += ' ';
        reason += line;
    }
    return reason;
}

} // namespace arbldap
