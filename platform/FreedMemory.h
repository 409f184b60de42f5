#pragma once
// Hands the memory of many freed objects back to the system. The allocator
// keeps freed blocks in the pool of the thread that made them; objects made
// on helper threads and freed on another stay with the process until the
// pools are trimmed. A helper's pool gives back only what lies above its
// last block in use, and only past a threshold that the allocator raises to
// tens of megabytes once a big block was freed; the threshold is fixed here.

namespace platform {

// Once per process, before many objects are made on helper threads: the
// pools' thresholds for trimming and for blocks of their own mapping stay
// small.
void KeepFreedMemoryReturnable();
// Trims every pool.
void ReleaseFreedMemory();

} // namespace platform
