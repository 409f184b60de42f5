#include "model/nodes/CTreeRefreshThread.h"

#include "model/nodes/CDataObject.h"
#include "model/nodes/ListViewOperations.h"
#include "model/ports/ResourceText.h"
#include "model/ports/UiThread.h"

namespace {

constexpr unsigned kStrReloading = 471;

}  // namespace

CTreeRefreshThread::CTreeRefreshThread(CDataObject* node, intptr_t reload)
    : CTreeWalkThread(node, nullptr), m_reload(reload)
{
    SetBlockValue(reload == 0);
}

void CTreeRefreshThread::DoWork()
{
    RunOnUiThread([this] {
        CDataObject* node = Node();
        if (node && node->IsCurrent())
            RemoveAllRows();
    });
    Walk();
    SetNodeStatusText(LoadResourceText(kStrReloading));
    SetFinishMessage(platform::WM_WORKER_CALL2, m_reload);
}
