#include "dialogs/ProfileAdvancedSheet.h"

#include "dialogs/CAdvancedPropertySheet.h"
#include "widgets/UiResources.h"

namespace {

constexpr unsigned kStrAdvancedCaption = 490;

}  // namespace

bool HasAdvancedSheet()
{
    return true;
}

void RunAdvancedSheet(wxWindow* parent, CServerProfile& profile)
{
    CAdvancedPropertySheet sheet(ui::ResourceString(kStrAdvancedCaption), parent, &profile);
    sheet.ShowModal();
}
