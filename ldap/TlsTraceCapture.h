#pragma once
// The library's own account of a TLS connect that failed. Its diagnostic
// message then often says only "(unknown error code)" (the TLS back end's
// text for the failure), while its trace says why: the server's certificate
// was not signed by a trusted CA, or was made out to another host.

#include <string>
#include <vector>

namespace arbldap {

// While one lives, the library's trace is on (for the whole process: keep it
// around a connect only) and the TLS lines that this thread's calls write are
// kept.
class TlsTraceCapture {
public:
    TlsTraceCapture();
    ~TlsTraceCapture();
    TlsTraceCapture(const TlsTraceCapture&) = delete;
    TlsTraceCapture& operator=(const TlsTraceCapture&) = delete;

    // The lines kept, one after the other, without the closing "can't
    // connect" line that only repeats the diagnostic message; empty when
    // there were none.
    std::string GetReason() const;

private:
    std::vector<std::string> m_lines;
    std::vector<std::string>* m_outer;
};

} // namespace arbldap
