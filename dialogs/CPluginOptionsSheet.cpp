#include "dialogs/CPluginOptionsSheet.h"

#include <wx/notebook.h>

#include "dialogs/CPluginLookupPage.h"
#include "widgets/DefaultFont.h"
#include "widgets/DialogOwner.h"
#include "widgets/UiResources.h"

CPluginOptionsSheet::CPluginOptionsSheet(const wxString& caption, wxWindow* parent, const PluginLookupPageSetup* first)
{
    Create(parent, caption);
    wxBitmap icon = ui::LoadBitmapResource("icon", kIdiPluginSheet);
    if (icon.IsOk()) {
        wxIcon converted;
        converted.CopyFromBitmap(icon);
        SetIcon(converted);
    }
    if (first)
        AddLookupPage(first->heading, first->caption, *first->supported, *first->chosen, first->showUnresolvedOnly);
    EnableSaveRestore(L"PluginManager", false, true);
}

CPluginLookupPage* CPluginOptionsSheet::AddLookupPage(const wxString& heading, const wxString& caption,
                                                      PluginSupportedTable& supported, PluginChosenTable& chosen,
                                                      bool showUnresolvedOnly)
{
    auto* page = new CPluginLookupPage(heading, caption, supported, chosen, showUnresolvedOnly);
    if (!page->Create(GetBookCtrl(), kIddPluginLookupPage)) {
        page->Destroy();
        return nullptr;
    }
    AddPage(page, caption);
    return page;
}

CPluginLookupPage* CPluginOptionsSheet::GetLookupPage(int index) const
{
    return index >= 0 && static_cast<size_t>(index) < GetBookCtrl()->GetPageCount()
               ? dynamic_cast<CPluginLookupPage*>(GetBookCtrl()->GetPage(index))
               : nullptr;
}

bool CPluginOptionsSheet::OnInitDialog()
{
    bool done = CResizableSheet::OnInitDialog();
    wxFont font = ui::CreateDefaultFont(ui::FontWeight::Normal);
    for (size_t i = 0; i < GetBookCtrl()->GetPageCount(); ++i) ui::SetFontToChildren(GetBookCtrl()->GetPage(i), font);
    return done;
}

int WxPluginSheetPort::RunModal(const std::wstring& caption, const std::vector<PluginLookupPageSetup>& pages)
{
    CPluginOptionsSheet sheet(caption, ui::DialogOwner());
    for (const PluginLookupPageSetup& page : pages)
        sheet.AddLookupPage(page.heading, page.caption, *page.supported, *page.chosen, page.showUnresolvedOnly);
    return sheet.DoModal() == wxID_OK ? 1 : 2;
}
