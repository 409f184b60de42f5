#pragma once
// Edits with autocompletion keep the Return key (it takes the suggestion)
// instead of pressing the dialog's default button.

class wxTextCtrl;

// The edit needs the wxTE_PROCESS_ENTER style.
void KeepReturnInEdit(wxTextCtrl* edit);
