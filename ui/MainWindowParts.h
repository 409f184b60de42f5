#pragma once
// The main window's parts as start-up takes them: the frame, the splash, the
// output window's sink, the tips at start-up, the output bar and the
// application's commands.

#include "ui/ShellParts.h"

namespace ui {

ShellParts MakeMainWindowParts();

} // namespace ui
