#pragma once
// Autocompletion of the toolkit's text fields from a string source (the
// recent-items lists): the factory the start-up installs.

#include "shellcore/AutoCompletion.h"

namespace ui {

// edit: a wxWindow that is a text entry (text control or combo box).
std::unique_ptr<IAutoCompletion> BindAutoCompletion(void* edit, IEnumString& source, uint32_t options,
                                                    const std::wstring& quickCompleteFormat);

} // namespace ui
