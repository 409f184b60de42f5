#pragma once
// The LDIF report: the entries named by the report's DNs, read again one by
// one (base scope, all user attributes) over the search's connection and
// written as LDIF records. An entry that has gone since the search is
// skipped and logged. The file is written beside its path and renamed there
// only when every entry was read.

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "dialogcore/LdifRecordWriter.h"
#include "jobs/CLDAPFetchThread.h"
#include "platform/ReplacingFile.h"

class CLdifReportThread : public CLDAPFetchThread {
public:
    enum class Outcome { Running, Written, FileFailed, ReadFailed, Stopped };

    CLdifReportThread(arbldap::LDAPConnectionPtr connection, std::vector<std::string> dns, std::string path);
    ~CLdifReportThread() override;

    void DoWork() override;
    void OnError(arbldap::LDAPException error) override;
    void OnFinish() override;

    Outcome GetOutcome() const { return m_outcome.load(); }
    // The DNs dealt with so far.
    size_t GetDone() const { return m_done.load(); }
    size_t GetSkipped() const { return m_skipped.load(); }
    // The failure's text (FormatLDAPError) once the outcome is ReadFailed.
    std::wstring GetErrorText() const;

private:
    std::vector<std::string> m_dns;
    std::string m_path;
    platform::ReplacingFile m_file;
    LdifRecordWriter m_writer;
    std::atomic<Outcome> m_outcome{Outcome::Running};
    std::atomic<size_t> m_done{0};
    std::atomic<size_t> m_skipped{0};
    mutable std::mutex m_errorLock;
    std::wstring m_errorText;
};
