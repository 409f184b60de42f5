#pragma once
// The window a new dialog or message box belongs to: the innermost modal
// dialog that runs, else the program's main window. A box opened from a
// dialog is then kept above that dialog, not above the main window behind
// it (where it would hide the dialog, or go behind the main window itself).

class wxWindow;

namespace ui {

wxWindow* DialogOwner();

} // namespace ui
