#pragma once
// The common property sheet of the nodes as a toolkit sheet dialog. Each kind
// of page the model describes has a maker that builds its window; a page
// without a maker is left out of the sheet.

#include <functional>
#include <map>
#include <typeindex>

#include "model/ports/PropertySheetPort.h"

class wxWindow;
class wxString;

namespace ui {

class WxPropertySheet : public PropertySheetPort {
public:
    // Builds the page's window in the sheet's book and gives its tab text.
    typedef std::function<wxWindow*(wxWindow* book, const NodePropertyPage& page, wxString& title)> PageMaker;

    // With the makers of the pages the model itself describes.
    WxPropertySheet();

    // Whether the maker makes a window for the page.
    typedef std::function<bool(const NodePropertyPage& page)> PageTest;

    template <class Page>
    void RegisterPage(PageMaker maker, PageTest test = [](const NodePropertyPage&) { return true; })
    {
        m_makers[std::type_index(typeid(Page))] = Maker{std::move(maker), std::move(test)};
    }

    // 1 for OK, 2 otherwise (also when no page could be made).
    int RunModal(const std::wstring& caption, const PropertyPageList& pages) override;
    bool CanShow(const NodePropertyPage& page) const override;

private:
    struct Maker {
        PageMaker make;
        PageTest test;
    };
    std::map<std::type_index, Maker> m_makers;
};

} // namespace ui
