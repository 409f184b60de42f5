#include "dialogs/DialogTitle.h"

#include <wx/xml/xml.h>
#include <wx/xrc/xmlres.h>

#include "widgets/UiResources.h"

wxString DialogTitle(unsigned dialogId)
{
    if (!ui::LoadXrc("dialog", dialogId))
        return wxString();
    const wxXmlNode* node = wxXmlResource::Get()->GetResourceNode(wxString::Format("dialog%u", dialogId));
    for (const wxXmlNode* child = node ? node->GetChildren() : nullptr; child; child = child->GetNext())
        if (child->GetName() == "title")
            return child->GetNodeContent();
    return wxString();
}
