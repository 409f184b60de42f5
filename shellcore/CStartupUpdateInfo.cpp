#include "shellcore/CStartupUpdateInfo.h"

#include <string>

#include "base/LogStream.h"
#include "model/ports/ResourceText.h"
#include "model/profiles/CAppConfig.h"

namespace {

CStartupUpdateInfo* g_running = nullptr;

} // namespace

CStartupUpdateInfo::~CStartupUpdateInfo()
{
    if (g_running == this) g_running = nullptr;
}

void CStartupUpdateInfo::OnResult(bool newer)
{
    if (!newer) return;
    const UpdateReply& reply = GetReply();
    LogLine(FormatResourceText(kStrNewerBuildLine, {std::to_wstring(reply.build), FormatReplyDate(reply)}));
    LogLine(FormatResourceText(kStrNewerBuildTextLine, {reply.text}));
}

void CStartupUpdateInfo::OnEnd()
{
    delete this;
}

StartupCheck CheckForUpdatesAtStartup(std::time_t now)
{
    const CAppConfig& options = GetAppConfig();
    StartupCheck decision = DecideStartupCheck(options.m_bCheckForUpdates != 0, options.m_nUpdateIntervalDays, now);
    if (decision != StartupCheck::Due || g_running) return decision;
    auto* check = new CStartupUpdateInfo;
    g_running = check;
    // On failure it has ended and deleted itself already.
    check->StartCheck();
    return decision;
}

bool IsStartupUpdateCheckRunning()
{
    return g_running != nullptr;
}

void CancelStartupUpdateCheck()
{
    delete g_running;
}
