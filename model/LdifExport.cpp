#include "model/LdifExport.h"

#include <mutex>

#include "jobs/CProgressDlg.h"

namespace {

std::mutex g_lock;
LdifExportRunner g_runner;

} // namespace

LdifExportRunner SetLdifExportRunner(LdifExportRunner runner)
{
    std::lock_guard<std::mutex> lock(g_lock);
    g_runner.swap(runner);
    return runner;
}

void RunLdifExport(CEntryObject& node, const LdifExportRequest& request, std::unique_ptr<CProgressDlg> progress)
{
    LdifExportRunner runner;
    {
        std::lock_guard<std::mutex> lock(g_lock);
        runner = g_runner;
    }
    if (runner) {
        runner(node, request, std::move(progress));
    } else if (progress) {
        progress->DestroyWindow();
    }
}
