#pragma once
// Message boxes of the code below the user interface, as the toolkit's
// message dialog with the program's name as caption, kept above the dialog
// that runs (or the main window).

#include "platform/ShellPorts.h"

namespace ui {

class WxMessageBoxPort : public platform::MessageBoxPort {
public:
    int Show(const std::wstring& text, uint32_t style) override;
};

} // namespace ui
