#include "dialogs/OptionsSheet.h"

#include "dialogs/CCheckForUpdatesPP.h"
#include "dialogs/CCommonPropertySheet.h"
#include "dialogs/CConfirmationsPage.h"
#include "dialogs/CInterfacePage.h"
#include "widgets/UiResources.h"

std::unique_ptr<CCommonPropertySheet> CreateOptionsSheet(wxWindow* parent, CAppConfig& options,
                                                         CNavigationHistory& history)
{
    auto sheet = std::make_unique<CCommonPropertySheet>(parent, ui::ResourceString(kStrOptionsCaption));
    sheet->AddPage(new CInterfacePage(sheet->GetBook(), options, history));
    sheet->AddPage(new CCheckForUpdatesPP(sheet->GetBook(), options));
    sheet->AddPage(new CConfirmationsPage(sheet->GetBook()));
    return sheet;
}
