#include "dialogcore/CLdifExportThread.h"

#include <atomic>
#include <cstdio>
#include <ctime>

#include "base/LogStream.h"
#include "base/Utf8.h"
#include "ldap/FormatLDAPError.h"
#include "ldap/LDAPControl.h"
#include "ldap/LDAPResponse.h"
#include "ldap/LDAPResultQueue.h"
#include "model/entries/CEntryObject.h"
#include "model/ports/LdifExport.h"
#include "model/ports/ResourceText.h"
#include "model/ports/UiThread.h"
#include "model/profiles/CServerProfile.h"
#include "platform/ShellPorts.h"
#include "schema/SyntaxCatalogue.h"

using namespace arbldap;

namespace {

constexpr uint32_t kMbIconError = 0x10;
constexpr int kSearchEntry = 100;
constexpr int kSearchResult = 101;
constexpr size_t kFlushBytes = 128 * 1024;
constexpr std::chrono::milliseconds kProgressPeriod{100};
const char* const kEntryFilter = "(objectclass=*)";

std::atomic<CLdifExportThread::Clock> g_clock{&std::chrono::system_clock::now};

} // namespace

CLdifExportThread::Clock CLdifExportThread::SetClock(Clock clock)
{
    return g_clock.exchange(clock ? clock : &std::chrono::system_clock::now);
}

CLdifExportThread::CLdifExportThread(CEntryObject* node, const LdifExportRequest& request,
                                     std::unique_ptr<CProgressDlg> progress)
    : CLDAPOperationThread(node, std::move(progress)),
      m_dn(node ? node->GetDN().GetText() : std::string()),
      m_scope(request.scope == 0 ? LdifScope::Base : request.scope == 1 ? LdifScope::OneLevel : LdifScope::Subtree),
      m_lineEnd(request.output == 0 ? LdifLineEnd::CrLf : LdifLineEnd::Lf),
      m_header(request.firstOption ? LdifHeader::On : LdifHeader::Off),
      m_operational(request.secondOption ? LdifOperational::On : LdifOperational::Off),
      m_path(WideToUtf8Text(request.path)),
      m_filter(request.filter),
      m_writer(m_lineEnd, WideToUtf8Text(LoadResourceText(kStrLdifDnKeyword)))
{
    if (!node)
        return;
    if (m_scope == LdifScope::Base)
        m_ownEntry = node->CollectAttributes();
    const CServerProfile* profile = node->GetServerProfile();
    if (!profile)
        return;
    m_hostName = profile->GetHostName();
    m_port = profile->GetPort();
    if (!profile->GetAnonymousBind()) {
        m_bindDN = profile->GetUserDN().GetText();
        m_password = profile->GetPassword();
    }
    m_ownConnection = LDAPConnection::Create(WideToUtf8Text(m_hostName), m_port);
    m_ownConnection->SetProtocolVersion(profile->GetVersion());

    const LDAPConnectionPtr nodeConnection = node->GetConnection();
    const LDAPOperationOptions* nodeOptions = nodeConnection ? nodeConnection->GetOptions() : nullptr;
    m_options = std::make_unique<LDAPOperationOptions>(nodeOptions ? *nodeOptions : profile->GetOptions());
    m_options->SetTimeLimit(0);
    m_options->SetSizeLimit(0);
    m_options->SetChaseReferrals(false);
    m_options->SetDeref(0);
    LDAPControlList controls;
    controls.Add(LDAPControl(kManageDsaITOid, false, std::string(), true));
    m_options->SetServerControls(&controls);
    m_ownConnection->ApplyOptions(m_options.get());

    if (m_operational == LdifOperational::On) {
        m_operationalNames.Assign(GetOperationalAttributeNames());
        m_operationalNames.Append(profile->GetExtraOperationalAttributes());
    }
}

CLdifExportThread::~CLdifExportThread()
{
    volatile char* bytes = m_password.empty() ? nullptr : &m_password[0];
    for (size_t i = 0; bytes && i < m_password.size(); ++i)
        bytes[i] = 0;
    if (m_ownConnection)
        m_ownConnection->ApplyOptions(nullptr);
}

std::string CLdifExportThread::HeaderText() const
{
    const std::time_t now = std::chrono::system_clock::to_time_t(g_clock.load()());
    std::tm local{};
    localtime_r(&now, &local);
    char date[32];
    char time[16];
    std::snprintf(date, sizeof date, "%.2d.%.2d.%.4d", local.tm_mon + 1, local.tm_mday, local.tm_year + 1900);
    std::strftime(time, sizeof time, "%H:%M", &local);
    return WideToUtf8Text(FormatResourceText(
        kStrLdifHeader, {Utf8ToWideString(date), Utf8ToWideString(time), m_hostName, std::to_wstring(m_port)}));
}

void CLdifExportThread::ShowFileError()
{
    const std::wstring text = FormatResourceText(kStrLdifFileNotWritable, {Utf8ToWideString(m_path)});
    LogLine(text);
    RunOnUiThread([&] { platform::ShowMessageBox(text, platform::kMbOk | kMbIconError); });
}

void CLdifExportThread::FlushIfFull()
{
    if (m_writer.Buffer().size() < kFlushBytes)
        return;
    m_file.Write(m_writer.Buffer());
    m_writer.Buffer().clear();
}

void CLdifExportThread::ShowProgress(const std::string& dn)
{
    // One text per record would keep the window repainting; a few a second say as much.
    const auto now = std::chrono::steady_clock::now();
    if (now - m_lastProgress < kProgressPeriod)
        return;
    m_lastProgress = now;
    SetStatusText(Utf8ToWideString(dn));
}

void CLdifExportThread::DoWork()
{
    if (!m_file.Open(m_path)) {
        ShowFileError();
        return;
    }
    if (m_header == LdifHeader::On)
        m_writer.AppendHeader(HeaderText());
    m_writer.AppendVersion();
    LogLine(FormatResourceText(kStrLdifExportStarted, {Utf8ToWideString(m_dn)}));
    SetNodeStatusText(LoadResourceText(kStrLdifExportStatus));

    if (m_scope == LdifScope::Base) {
        if (m_ownEntry) {
            SetStatusText(Utf8ToWideString(m_dn));
            m_writer.AppendEntry(*m_ownEntry);
        }
    } else {
        if (!m_ownConnection)
            throw LDAPException(kLDAPParamError);
        if (m_options->GetUseSSL() && !m_ownConnection->IsSSL() && !m_ownConnection->EnableSSL())
            throw LDAPException(kLDAPLocalError);
        ConnectAtSafePoint(*m_ownConnection);
        SetCurrentQueue(m_ownConnection->Bind(m_bindDN, m_password));
        std::unique_ptr<LDAPResponse> response = WaitForNextResponse();
        DeleteCurrentQueue();
        auto* bound = dynamic_cast<LDAPResultResponse*>(response.get());
        const int bindCode = bound ? bound->GetResultCode() : kLDAPOther;
        if (bindCode != kLDAPSuccess)
            throw LDAPException(bindCode, std::string());

        SetCurrentQueue(m_ownConnection->Search(m_dn, static_cast<int>(m_scope), m_filter, StringList(), false,
                                                m_options.get()));
        int finalCode = kLDAPOther;
        std::string finalText;
        bool done = false;
        while (!done) {
            response = WaitForNextResponse();
            if (!response)
                break;
            switch (response->GetMessageType()) {
            case kSearchEntry: {
                auto* found = dynamic_cast<LDAPEntryResponse*>(response.get());
                if (!found)
                    break;
                const LDAPEntry& entry = found->GetEntry();
                const std::string dn = entry.GetDN();
                ShowProgress(dn);
                m_writer.AppendEntry(entry);
                if (m_operational == LdifOperational::On)
                    WriteOperationalAttributes(dn);
                FlushIfFull();
                break;
            }
            case kSearchResult:
                if (auto* result = dynamic_cast<LDAPResultResponse*>(response.get())) {
                    finalCode = result->GetResultCode();
                    finalText = result->GetErrorMessage();
                }
                done = true;
                break;
            default:
                break;
            }
        }
        DeleteCurrentQueue();
        if (finalCode != kLDAPSuccess)
            throw LDAPException(finalCode, finalText);
    }
    m_file.Write(m_writer.Buffer());
    m_writer.Buffer().clear();
    if (!m_file.Commit())
        ShowFileError();
}

// A second search for the entry alone, asking for the operational names; its
// queue stands as the current one while it runs, so a stop reaches it.
void CLdifExportThread::WriteOperationalAttributes(const std::string& dn)
{
    std::unique_ptr<LDAPResultQueue> outer = TakeCurrentQueue();
    SetCurrentQueue(m_ownConnection->Search(dn, 0, kEntryFilter, m_operationalNames, false, m_options.get()));
    for (;;) {
        std::unique_ptr<LDAPResponse> response = WaitForNextResponse();
        if (!response || response->GetMessageType() == kSearchResult)
            break;
        if (auto* found = dynamic_cast<LDAPEntryResponse*>(response.get()))
            m_writer.AppendAttributes(found->GetEntry().GetAttributes());
    }
    DeleteCurrentQueue();
    SetCurrentQueue(std::move(outer));
}

void CLdifExportThread::OnCancelSeen()
{
    LDAPResultQueue* queue = GetCurrentQueue();
    if (!queue || !m_ownConnection)
        return;
    try {
        m_ownConnection->Abandon(queue);
    } catch (const LDAPException&) {
        // The server forgets it with the session at the latest.
    }
}

void CLdifExportThread::OnError(LDAPException error)
{
    SetStatusText(FormatLDAPError(error));
    if (auto* node = dynamic_cast<CEntryObject*>(GetNode()))
        node->ReportError(error);
}

bool CLdifExportThread::CheckResult(int resultCode)
{
    if (resultCode == kLDAPSuccess)
        return true;
    OnError(LDAPException(resultCode, std::string()));
    return false;
}

void StartLdifExport(CEntryObject& node, const LdifExportRequest& request, std::unique_ptr<CProgressDlg> progress)
{
    node.StartJob(std::make_shared<CLdifExportThread>(&node, request, std::move(progress)));
}
