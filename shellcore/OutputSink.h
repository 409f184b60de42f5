#pragma once
// The output window's log sink. It runs on whatever thread writes the log,
// inside the log lock, and never touches the window: each line goes to the
// output list (AppWindow::OutputList) as WM_OUTPUT_LINE with a copy of the
// text. While the list has no window the lines wait in a queue; the first
// line after the window exists sends them ahead of itself, oldest first.
// A line that cannot be posted stays in the queue.

#include <cstddef>
#include <string>
#include <vector>

// The sink itself.
void OutputWindowSink(const wchar_t* line);

// Add or remove the sink under the log lock. The output window removes it
// before its window goes, so no line is posted to a window being destroyed.
void AddOutputSink();
void RemoveOutputSink();

// The waiting lines (under the log lock).
std::vector<std::wstring> GetQueuedOutputLines();
void ClearQueuedOutputLines();
