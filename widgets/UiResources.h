#pragma once
// The resource library as the windows use it: XRC menus, toolbars and
// dialogs, images and strings, by type and id.

#include <wx/bitmap.h>
#include <wx/string.h>

class wxDialog;
class wxMenu;
class wxMenuBar;
class wxPanel;
class wxWindow;

namespace ui {

// Image and XRC handlers; once, before the first window.
void InitUiResources();

// String resource id; empty when the library has none.
wxString ResourceString(unsigned id);

// "<type>/<id>.xrc" of the resource library, loaded once. False when missing.
bool LoadXrc(const char* type, unsigned id);
// Menu resource id as a menu bar (the main menu), or its first submenu as a
// popup (every other menu). Null when missing; the caller owns the result.
wxMenuBar* LoadMenuBarResource(unsigned id);
wxMenu* LoadPopupMenuResource(unsigned id);
// Dialog resource id into dialog; false when missing.
bool LoadDialogResource(wxDialog* dialog, wxWindow* parent, unsigned id);
// A property page's dialog resource id (a panel in its XRC) into panel.
bool LoadPanelResource(wxPanel* panel, wxWindow* parent, unsigned id);

// An image of the library ("image", "icon", "bitmap"); invalid when missing.
wxBitmap LoadBitmapResource(const char* type, unsigned id);
// The folder of a resource type, for files wx reads itself.
wxString ResourcePath(const char* type, unsigned id, const char* extension);

} // namespace ui
