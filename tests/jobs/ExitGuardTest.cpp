// No worker runs on while the process's static objects are destroyed: the
// exit guard stops the workers first, or ends the process without
// destroying them. Each case runs in a process of its own.

#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <thread>

#include "jobs/CLDAPThread.h"

namespace {

using namespace std::chrono_literals;

// A static object a worker uses; its destruction is made slow enough for a
// worker still running to see it.
struct Canary {
    std::atomic<bool> alive{true};
    ~Canary()
    {
        alive = false;
        std::this_thread::sleep_for(300ms);
    }
};

Canary& TheCanary()
{
    static Canary canary;
    return canary;
}

enum class OnCancel { Stop, RunOn };

// Uses the static object until it is cancelled (or for ever); a use after
// the object died ends the process with code 3.
class CanaryWorker : public CLDAPThread {
public:
    explicit CanaryWorker(OnCancel onCancel) : m_onCancel(onCancel) {}

    void DoWork() override
    {
        started = true;
        while (m_onCancel == OnCancel::RunOn || !IsCancelled()) {
            if (!TheCanary().alive)
                _exit(3);
            std::this_thread::sleep_for(1ms);
        }
    }

    static inline std::atomic<bool> started{false};

private:
    OnCancel m_onCancel;
};

void StartWorker(OnCancel onCancel)
{
    TheCanary();
    auto worker = std::make_shared<CanaryWorker>(onCancel);
    worker->CreateThread();
    while (!CanaryWorker::started)
        std::this_thread::sleep_for(1ms);
}

class ExitGuard : public ::testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

TEST_F(ExitGuard, AWorkerRunningAtExitIsStoppedBeforeStaticObjectsDie)
{
    EXPECT_EXIT(
        {
            StartWorker(OnCancel::Stop);
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(ExitGuard, AWorkerThatDoesNotStopEndsTheProcessWithoutDestroyingThem)
{
    EXPECT_EXIT(
        {
            StartWorker(OnCancel::RunOn);
            std::exit(EndWorkersBeforeExit(0, 200ms));
        },
        ::testing::ExitedWithCode(EXIT_FAILURE), "");
}

TEST_F(ExitGuard, NoWorkerStartsAfterTheEnd)
{
    EXPECT_EXIT(
        {
            const int code = EndWorkersBeforeExit(0, 1s);
            auto worker = std::make_shared<CanaryWorker>(OnCancel::RunOn);
            const bool started = worker->CreateThread();
            std::exit(code == 0 && !started && worker->IsFinished() ? 0 : 4);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
