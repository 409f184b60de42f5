#pragma once
// The help of a dialog, sheet, wizard or page, given in one call:
//
//   GiveDialogHelp(dialog, help::WindowHelpContext(IDD), "SearchDialog.txt");
//
// F1 opens the help at the context (0 or a context the book lacks: the
// welcome page); in a sheet or wizard, the page holding the focus answers
// first. With a popup file, Shift+F1 and a context-help button beside the
// dialog's OK or Cancel button start "What's This?": a click on a control
// then shows the control's topic of that file, looked up in the table, or,
// without a table, the topic numbered as the control's id; a control
// without a topic answers with its parent's. Calling it again for the same
// window replaces what it was given. Dialogs and pages loaded from the
// resource library get their context this way by their resource id.

#include <cstddef>
#include <cstdint>

#include "shellcore/HelpTables.h"

class wxBookCtrlBase;
class wxWindow;

void GiveDialogHelp(wxWindow* window, uint32_t context, const char* popupFile = nullptr,
                    const HelpIdPair* popupTable = nullptr, size_t popupTableBytes = 0);

// F1 in a sheet outside its pages (on its own buttons, on the tabs) opens the
// help of the page shown, as F1 inside that page does.
void GiveSheetHelp(wxWindow* sheet, wxBookCtrlBase* book);

// The context help was given for the window (0 when none).
uint32_t GetDialogHelpContext(const wxWindow* window);
