#include "widgets/UiResources.h"

#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include <wx/dialog.h>
#include <wx/image.h>
#include <wx/menu.h>
#include <wx/mstream.h>
#include <wx/panel.h>
#include <wx/xrc/xh_auitoolb.h>
#include <wx/xrc/xmlres.h>

#include "model/ports/ResourceText.h"
#include "platform/ResourceLibrary.h"
#include "shellcore/HelpTables.h"
#include "widgets/DialogHelp.h"
#include "widgets/WxCommandIds.h"

namespace ui {

void InitUiResources()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    wxInitAllImageHandlers();
    wxXmlResource::Get()->InitAllHandlers();
    wxXmlResource::Get()->AddHandler(new wxAuiToolBarXmlHandler);
}

wxString ResourceString(unsigned id)
{
    return wxString(LoadResourceText(id));
}

wxString ResourcePath(const char* type, unsigned id, const char* extension)
{
    std::string folder = platform::ResourceLibrary::Current().GetFolder();
    return wxString::FromUTF8(folder + type + "/" + std::to_string(id) + "." + extension);
}

namespace {

// XRC names its commands by their numbers; those the toolkit cannot take are
// registered under their moved ids before the file is read.
void RegisterCommandNames(const wxString& path)
{
    std::ifstream in(path.utf8_string(), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    static const std::regex kName("name=\"([0-9]+)\"");
    std::string s = text.str();
    for (std::sregex_iterator it(s.begin(), s.end(), kName), end; it != end; ++it) {
        unsigned long command = std::stoul((*it)[1].str());
        if (command >= 0x8000 && command <= 0xFFFF)
            wxXmlResource::GetXRCID((*it)[1].str(), WxId(static_cast<uint32_t>(command)));
    }
}

} // namespace

bool LoadXrc(const char* type, unsigned id)
{
    // By path: a resource library loaded later has files of its own.
    static std::set<std::string> loaded;
    wxString path = ResourcePath(type, id, "xrc");
    if (!wxFileExists(path))
        return false;
    std::string key = path.utf8_string();
    if (loaded.count(key))
        return true;
    InitUiResources();
    RegisterCommandNames(path);
    if (!wxXmlResource::Get()->Load(path))
        return false;
    loaded.insert(key);
    return true;
}

wxMenuBar* LoadMenuBarResource(unsigned id)
{
    if (!LoadXrc("menu", id))
        return nullptr;
    return wxXmlResource::Get()->LoadMenuBar(nullptr, wxString::Format("menu%u", id));
}

wxMenu* LoadPopupMenuResource(unsigned id)
{
    if (!LoadXrc("menu", id))
        return nullptr;
    return wxXmlResource::Get()->LoadMenu(wxString::Format("menu%u", id));
}

bool LoadDialogResource(wxDialog* dialog, wxWindow* parent, unsigned id)
{
    if (!LoadXrc("dialog", id))
        return false;
    if (!wxXmlResource::Get()->LoadDialog(dialog, parent, wxString::Format("dialog%u", id)))
        return false;
    GiveDialogHelp(dialog, help::WindowHelpContext(id));
    return true;
}

bool LoadPanelResource(wxPanel* panel, wxWindow* parent, unsigned id)
{
    if (!LoadXrc("dialog", id))
        return false;
    if (!wxXmlResource::Get()->LoadPanel(panel, parent, wxString::Format("dialog%u", id)))
        return false;
    GiveDialogHelp(panel, help::WindowHelpContext(id));
    return true;
}

wxBitmap LoadBitmapResource(const char* type, unsigned id)
{
    std::string bytes;
    if (!platform::ResourceLibrary::Current().LoadResource(type, id, bytes))
        return wxBitmap();
    InitUiResources();
    wxMemoryInputStream in(bytes.data(), bytes.size());
    wxImage image(in, wxBITMAP_TYPE_ANY);
    return image.IsOk() ? wxBitmap(image) : wxBitmap();
}

} // namespace ui
