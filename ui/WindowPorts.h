#pragma once
// The toolkit's implementations of the ports that the layers below the
// windows call: message boxes, property sheets, autocompletion, the profile
// wizard, the node dialogs, the clipboard and the progress windows of node
// jobs. The program installs them at its start (after its dispatcher) and
// takes them back at its end; a window test that plays the program installs
// the same set.

namespace ui {

void InstallWindowPorts();
void RemoveWindowPorts();

} // namespace ui
