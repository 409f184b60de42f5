#include "model/ports/LdifExport.h"

#include "base/Installed.h"


#include "jobs/CProgressDlg.h"

namespace {

Installed<LdifExportRunner> g_runner;

} // namespace

LdifExportRunner SetLdifExportRunner(LdifExportRunner runner)
{
    return g_runner.Set(std::move(runner));
}

void RunLdifExport(CEntryObject& node, const LdifExportRequest& request, std::unique_ptr<CProgressDlg> progress)
{
    LdifExportRunner runner = g_runner.Get();
    if (runner) {
        runner(node, request, std::move(progress));
    } else if (progress) {
        progress->DestroyWindow();
    }
}
