#include "model/ProgressDialogFactory.h"

#include <mutex>
#include <utility>

namespace {

std::mutex g_lock;
ProgressDialogFactory g_factory;

}  // namespace

ProgressDialogFactory SetProgressDialogFactory(ProgressDialogFactory factory)
{
    std::lock_guard<std::mutex> lock(g_lock);
    g_factory.swap(factory);
    return factory;
}

std::unique_ptr<CProgressDlg> MakeProgressDialog()
{
    ProgressDialogFactory factory;
    {
        std::lock_guard<std::mutex> lock(g_lock);
        factory = g_factory;
    }
    return factory ? factory() : nullptr;
}
