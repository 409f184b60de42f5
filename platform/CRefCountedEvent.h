#pragma once
// An event shared by a tree node and the jobs working for it. It owns itself
// through an intrusive count: 1 after construction, and the Release that
// brings it to 0 deletes it. Only the heap can hold one.

#include <atomic>

#include "platform/Event.h"

class CRefCountedEvent : public platform::Event {
public:
    explicit CRefCountedEvent(bool initiallySet = false, bool manualReset = false);

    // Both return the new count.
    long AddRef();
    long Release();
    bool IsReferenced() const;

protected:
    // Only Release destroys it; virtual so a derived event is destroyed whole.
    ~CRefCountedEvent() override = default;

private:
    std::atomic<long> m_refCount{1};
};
