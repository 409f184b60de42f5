#pragma once
// The advanced option sheet as the profile wizard opens it. The wizard's
// Advanced button is enabled only when the program has the sheet.

class wxWindow;
class CServerProfile;

// True when this build has the sheet.
bool HasAdvancedSheet();
// Runs the sheet modally over the profile; its pages apply their own changes.
void RunAdvancedSheet(wxWindow* parent, CServerProfile& profile);
