#include "platform/CRefCountedEvent.h"

CRefCountedEvent::CRefCountedEvent(bool initiallySet, bool manualReset)
    : platform::Event(manualReset ? Mode::ManualReset : Mode::AutoReset, initiallySet)
{
}

long CRefCountedEvent::AddRef()
{
    // The caller already holds a reference, so nothing needs ordering here.
    return m_refCount.fetch_add(1, std::memory_order_relaxed) + 1;
}

long CRefCountedEvent::Release()
{
    // acq_rel: every holder's last use happens before the delete.
    long count = m_refCount.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (count == 0)
        delete this;
    return count;
}

bool CRefCountedEvent::IsReferenced() const
{
    return m_refCount.load(std::memory_order_acquire) != 0;
}
