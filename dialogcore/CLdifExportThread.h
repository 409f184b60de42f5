#pragma once
// Writes an entry, its children or its subtree to an LDIF file, as the
// entry's job. It reads over a connection of its own, opened and bound from
// the node's server profile, with the ManageDsaIT control so that referral
// entries come back as entries. The file is written beside its final name
// and renamed there only when the export has come to its end: a failure or
// a stop leaves what stood under the name untouched.

#include <chrono>
#include <memory>
#include <string>

#include "base/StringList.h"
#include "dialogcore/LdifRecordWriter.h"
#include "jobs/CLDAPOperationThread.h"
#include "ldap/LDAPEntry.h"
#include "ldap/LDAPOperationOptions.h"
#include "platform/ReplacingFile.h"

class CEntryObject;
struct LdifExportRequest;

constexpr unsigned kStrLdifDnKeyword = 173;
constexpr unsigned kStrLdifHeader = 211;
constexpr unsigned kStrLdifExportStarted = 459;
constexpr unsigned kStrLdifExportStatus = 460;
constexpr unsigned kStrLdifFileNotWritable = 548;
const char* const kManageDsaITOid = "2.16.840.1.113730.3.4.2";

enum class LdifScope { Base = 0, OneLevel = 1, Subtree = 2 };
enum class LdifHeader { Off, On };
enum class LdifOperational { Off, On };

class CLdifExportThread : public CLDAPOperationThread {
public:
    // On the user-interface thread: takes what it needs of the node and its
    // profile now. request.output: 0 CR LF, 1 LF.
    CLdifExportThread(CEntryObject* node, const LdifExportRequest& request, std::unique_ptr<CProgressDlg> progress);
    ~CLdifExportThread() override;

    void DoWork() override;
    void OnError(arbldap::LDAPException error) override;
    bool CheckResult(int resultCode) override;

    // The clock of the header's date (tests fix it).
    typedef std::chrono::system_clock::time_point (*Clock)();
    static Clock SetClock(Clock clock);

protected:
    void OnCancelSeen() override;

private:
    void WriteOperationalAttributes(const std::string& dn);
    void FlushIfFull();
    void ShowProgress(const std::string& dn);
    void ShowFileError();
    std::string HeaderText() const;

    const std::string m_dn;
    const LdifScope m_scope;
    const LdifLineEnd m_lineEnd;
    const LdifHeader m_header;
    const LdifOperational m_operational;
    const std::string m_path;  // UTF-8
    const std::string m_filter;
    std::wstring m_hostName;
    int m_port = 0;
    std::string m_bindDN;
    std::string m_password;
    StringList m_operationalNames;
    std::unique_ptr<arbldap::LDAPEntry> m_ownEntry;  // the base scope's record

    arbldap::LDAPConnectionPtr m_ownConnection;
    std::unique_ptr<arbldap::LDAPOperationOptions> m_options;
    platform::ReplacingFile m_file;
    LdifRecordWriter m_writer;
    std::chrono::steady_clock::time_point m_lastProgress;
};

// Starts the export job on the node (the runner the program installs).
void StartLdifExport(CEntryObject& node, const LdifExportRequest& request, std::unique_ptr<CProgressDlg> progress);
