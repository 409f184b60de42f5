#include "platform/FreedMemory.h"

#include <malloc.h>

#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

namespace platform {

namespace {

constexpr int kTrimThreshold = 256 << 10;
constexpr int kMapThreshold = 1 << 20;
// Threads alive at once while the helpers' pools are trimmed: a new thread
// takes over the pool of a thread that has ended, one pool each.
constexpr int kPoolTakers = 8;

// A pool gives back the free room above its last block in use only when a
// big block is freed into it; trimming all pools leaves that room alone in
// the pools of other threads than the first. Threads that take over the
// pools of ended helpers free one big block each.
void TrimHelperPools()
{
    std::mutex lock;
    std::condition_variable allThere;
    int there = 0;
    std::vector<std::thread> takers;
    auto take = [&] {
        // Below the mapping threshold: the block comes from the thread's pool.
        // Written to, so that the pair of calls is not left out.
        char* volatile block = static_cast<char*>(std::malloc(kMapThreshold / 4));
        if (block)
            block[0] = 1;
        {
            std::unique_lock<std::mutex> hold(lock);
            ++there;
            allThere.notify_all();
            // All at once, or the next thread would take the same pool.
            allThere.wait(hold, [&] { return there == static_cast<int>(takers.size()); });
        }
        std::free(block);
    };
    {
        std::lock_guard<std::mutex> hold(lock);
        try {
            for (int i = 0; i < kPoolTakers; ++i)
                takers.emplace_back(take);
        } catch (...) {
            // Fewer threads: fewer pools trimmed.
        }
    }
    allThere.notify_all();
    for (std::thread& taker : takers)
        taker.join();
}

} // namespace

void KeepFreedMemoryReturnable()
{
#ifdef __GLIBC__
    static std::once_flag once;
    std::call_once(once, [] {
        mallopt(M_TRIM_THRESHOLD, kTrimThreshold);
        mallopt(M_MMAP_THRESHOLD, kMapThreshold);
    });
#endif
}

void ReleaseFreedMemory()
{
#ifdef __GLIBC__
    KeepFreedMemoryReturnable();
    TrimHelperPools();
    malloc_trim(0);  // every pool's free blocks, and the first pool's room above
#endif
}

} // namespace platform
