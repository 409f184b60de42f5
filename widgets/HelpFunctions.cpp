#include "widgets/HelpFunctions.h"

#include "widgets/HtmlHelpProxy.h"

intptr_t ShowHelpContext(wxWindow* owner, uint32_t context)
{
    return help::HtmlHelpProxy(owner, wxString(), help::kHelpContext, static_cast<intptr_t>(context));
}

intptr_t ShowHelpForId(wxWindow* owner, uint32_t id, const HelpIdPair* table, size_t tableBytes)
{
    return ShowHelpContext(owner, LookUpHelpId(table, tableBytes, id));
}

bool ShowPopupHelp(const HelpRequest& request, const char* topicFile, const HelpIdPair* table, size_t tableBytes,
                   uint32_t topic, unsigned command)
{
    if (topic == 0 && request.controlId > 0)
        topic = LookUpHelpId(table, tableBytes, static_cast<uint32_t>(request.controlId));
    if (topic == 0)
        return false;
    help::HelpPopupRequest popup;
    popup.topic = topic;
    popup.point = request.point;
    help::HtmlHelpProxy(request.window, wxString::FromUTF8(topicFile), command, reinterpret_cast<intptr_t>(&popup));
    return true;
}
