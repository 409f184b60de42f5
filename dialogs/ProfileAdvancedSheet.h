#pragma once
// The advanced option sheet as the profile wizard opens it. Until the sheet
// is part of the program the wizard's Advanced button stays disabled.

class wxWindow;
class CServerProfile;

// True when this build has the sheet.
bool HasAdvancedSheet();
// Runs the sheet modally over the profile; its pages apply their own changes.
void RunAdvancedSheet(wxWindow* parent, CServerProfile& profile);
