#include "dialogcore/CLdifReportThread.h"

#include "base/LogStream.h"
#include "base/Utf8.h"
#include "dialogcore/CLdifExportThread.h"
#include "ldap/FormatLDAPError.h"
#include "ldap/LDAPResponse.h"
#include "model/ports/ResourceText.h"

using namespace arbldap;

namespace {

constexpr size_t kFlushBytes = 128 * 1024;
constexpr int kNoSuchObject = 32;
const char* const kEntryFilter = "(objectclass=*)";

} // namespace

CLdifReportThread::CLdifReportThread(LDAPConnectionPtr connection, std::vector<std::string> dns, std::string path)
    : m_dns(std::move(dns)),
      m_path(std::move(path)),
      m_writer(LdifLineEnd::Lf, WideToUtf8Text(LoadResourceText(kStrLdifDnKeyword)))
{
    if (connection) {
        SetOptions(connection->GetOptions());
        SetConnection(std::move(connection));
    }
}

CLdifReportThread::~CLdifReportThread() = default;

std::wstring CLdifReportThread::GetErrorText() const
{
    std::lock_guard<std::mutex> lock(m_errorLock);
    return m_errorText;
}

void CLdifReportThread::DoWork()
{
    if (!m_file.Open(m_path)) {
        m_outcome = Outcome::FileFailed;
        return;
    }
    if (!GetConnection())
        throw LDAPException(kLDAPParamError);
    m_writer.AppendVersion();
    for (const std::string& dn : m_dns) {
        bool found = false;
        try {
            found = FetchAttributeValues(dn, kEntryFilter, StringList());
        } catch (const LDAPException& error) {
            if (error.GetResultCode() != kNoSuchObject)
                throw;
        }
        if (found && GetKeptEntry()) {
            m_writer.AppendEntry(GetKeptEntry()->GetEntry());
        } else {
            ++m_skipped;
            LogLine("LDIF report: the entry " + dn + " was not found; it is left out.");
        }
        ++m_done;
        if (m_writer.Buffer().size() >= kFlushBytes) {
            m_file.Write(m_writer.Buffer());
            m_writer.Buffer().clear();
        }
    }
    m_file.Write(m_writer.Buffer());
    m_writer.Buffer().clear();
    m_outcome = m_file.Commit() ? Outcome::Written : Outcome::FileFailed;
}

void CLdifReportThread::OnError(LDAPException error)
{
    {
        std::lock_guard<std::mutex> lock(m_errorLock);
        m_errorText = FormatLDAPError(error);
    }
    LogLine(m_errorText);
    m_file.Discard();
    m_outcome = Outcome::ReadFailed;
}

void CLdifReportThread::OnFinish()
{
    m_file.Discard();
    Outcome running = Outcome::Running;
    m_outcome.compare_exchange_strong(running, Outcome::Stopped);
    SetConnection(LDAPConnectionPtr());
}
