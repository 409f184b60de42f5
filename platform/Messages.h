#pragma once
// Message and timer numbers. They keep the values the program has always
// used; the same number means different things at different receivers, so a
// handler reads a message only together with who it is.

#include <cstdint>

namespace platform {

typedef uint32_t MessageId;

// Delivered by the dispatcher for a running timer; wParam is the timer id.
constexpr MessageId WM_TIMER = 0x0113;

// Output list: lParam payload std::wstring, one log line.
constexpr MessageId WM_OUTPUT_LINE = 0x8D3;

// List view. WM_WORKER_DONE carries, as its payload, the progress window a
// job has finished with; the other three carry a node's id (wParam)
// and an argument (lParam).
constexpr MessageId WM_WORKER_DONE = 0x8D4;
constexpr MessageId WM_WORKER_CALL1 = 0x8D5;  // Expand, unless the node is aborting
constexpr MessageId WM_WORKER_CALL2 = 0x8D6;  // LoadChildren
constexpr MessageId WM_WORKER_CALL3 = 0x8D7;  // Refresh
// Load the first selected row's binary value from a file the user chooses.
constexpr MessageId WM_LOAD_BINARY_VALUE = 0x559;

// Main frame: the status-bar progress of inserting many rows.
constexpr MessageId WM_PROGRESS_START = 0x8D8;  // 40, total
constexpr MessageId WM_PROGRESS_END = 0x8D9;    // 0, 0
constexpr MessageId WM_PROGRESS_STEP = 0x8DA;   // count so far, total

// Host page and server-controls page, from the root-DSE reader.
constexpr MessageId WM_ROOTDSE_NAMING_CONTEXT = 0x8D3;  // payload std::wstring
constexpr MessageId WM_ROOTDSE_CONTROLS = 0x8D4;        // payload: the control list
constexpr MessageId WM_ROOTDSE_ERROR = 0x8D5;           // wParam result code, payload std::wstring
constexpr MessageId WM_ROOTDSE_ENDED = 0x8D6;           // always the last one

// Search dialog and server monitor page: their worker has ended.
constexpr MessageId WM_WORKER_ENDED = 0x6D3;
// Update check, from its download worker.
constexpr MessageId WM_UPDATE_DATA = 0x8D3;  // payload std::string: bytes received
constexpr MessageId WM_UPDATE_DONE = 0x8D4;  // wParam 1: the download succeeded, 0: it failed
// Host page, to itself: drop down the base-DN list.
constexpr MessageId WM_DROP_BASE_DN_LIST = 0x936;

// Timers.
constexpr uint32_t kListProgressTimer = 61440;  // list view's waiting display, 4000 ms
constexpr uint32_t kFirstRemovalTimer = 61441;  // information nodes, 256 ids
constexpr uint32_t kLastRemovalTimer = 61696;
constexpr uint32_t kListFillTimer = 61697;  // list view: the next slice of a long row fill

} // namespace platform
