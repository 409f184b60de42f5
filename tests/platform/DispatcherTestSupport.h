#pragma once
// Receivers and payloads that record what the dispatcher does with them.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "platform/Dispatcher.h"

namespace arbtest {

// Counts its own destruction, so a test can see who freed it and when.
class CountedPayload : public platform::MessagePayload {
public:
    explicit CountedPayload(std::atomic<int>& destroyed, int tag = 0) : m_destroyed(destroyed), tag(tag) {}
    ~CountedPayload() override { ++m_destroyed; }

private:
    std::atomic<int>& m_destroyed;

public:
    const int tag;
};

struct Delivery {
    platform::MessageId id;
    uintptr_t wParam;
    intptr_t lParam;
    std::thread::id thread;
    bool hadPayload;
};

// Records every message; an optional hook runs inside the handler and may
// keep the payload by moving it out.
class Recorder : public platform::MessageReceiver {
public:
    typedef std::function<void(const Delivery&, std::unique_ptr<platform::MessagePayload>&)> Hook;

    void OnMessage(platform::MessageId id, uintptr_t wParam, intptr_t lParam,
                   std::unique_ptr<platform::MessagePayload> payload) override
    {
        Delivery d{id, wParam, lParam, std::this_thread::get_id(), payload != nullptr};
        deliveries.push_back(d);
        if (hook)
            hook(d, payload);
    }

    std::vector<Delivery> deliveries;
    Hook hook;
};

} // namespace arbtest
