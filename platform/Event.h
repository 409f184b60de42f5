#pragma once
// A waitable event, auto or manual reset. An auto-reset event lets exactly one
// waiter through per Set and is reset by that waiter; a manual-reset event
// stays set, releasing every waiter, until Reset.

#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace platform {

class Event {
public:
    enum class Mode { AutoReset, ManualReset };
    static constexpr uint32_t kInfinite = 0xFFFFFFFFu;

    explicit Event(Mode mode = Mode::AutoReset, bool initiallySet = false);
    virtual ~Event() = default;
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    void Set();
    void Reset();
    // True when the event was (or became) set within the time; an auto-reset
    // event is reset by the waiter it lets through. Wait(0) only polls.
    bool Wait(uint32_t timeoutMs = kInfinite);
    // The state right now, without consuming an auto-reset signal.
    bool IsSet() const;
    Mode GetMode() const { return m_mode; }

private:
    const Mode m_mode;
    mutable std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_set;
};

} // namespace platform
