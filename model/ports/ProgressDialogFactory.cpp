#include "model/ports/ProgressDialogFactory.h"

#include "base/Installed.h"
#include <utility>

namespace {

Installed<ProgressDialogFactory> g_factory;

}  // namespace

ProgressDialogFactory SetProgressDialogFactory(ProgressDialogFactory factory)
{
    return g_factory.Set(std::move(factory));
}

std::unique_ptr<CProgressDlg> MakeProgressDialog()
{
    ProgressDialogFactory factory = g_factory.Get();
    return factory ? factory() : nullptr;
}
