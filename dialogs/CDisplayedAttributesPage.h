#pragma once
// Which attributes the list view shows for entries of a server: all of them
// or only the listed ones, and whether operational attributes are shown,
// with an optional list of further operational attributes to ask for.

#include <string>

#include "base/StringList.h"
#include "dialogs/CPropertyPage.h"

class CServerProfile;
class wxListCtrl;
class wxListEvent;

class CDisplayedAttributesPage : public CPropertyPage {
public:
    enum {
        IDD = 322,
        kIdcAllAttributes = 1130, kIdcListedAttributes = 1131, kIdcAttributeList = 1192,
        kIdcAddAttribute = 1040, kIdcRemoveAttribute = 1041,
        kIdcHideOperational = 1132, kIdcShowOperational = 1133, kIdcExtraOperational = 1123,
        kIdcExtraList = 1193, kIdcAddExtra = 1042, kIdcRemoveExtra = 1043,
    };

    explicit CDisplayedAttributesPage(CServerProfile* profile);
    bool Create(wxWindow* book);

    bool OnInitDialog() override;
    bool OnApply() override;

    // What the radio buttons, check box and buttons do.
    void SetAttributeMode(int mode);
    void SetOperationalMode(int mode);
    void SetExtraOperational(bool on);
    // Adds a placeholder row and starts editing it.
    void OnAdd(bool extraList);
    void OnRemove(bool extraList);
    // The end of a label edit; false when the row was dropped.
    bool EndLabelEdit(bool extraList, long row, const wxString& text);

    wxListCtrl* GetAttributeList() const { return m_attributeList; }
    wxListCtrl* GetExtraList() const { return m_extraList; }
    const std::wstring& GetPlaceholder() const { return m_placeholder; }

private:
    void FindControls();
    void UpdateControls();
    void OnEndLabelEdit(wxListEvent& event, bool extraList);
    void SetupList(wxListCtrl* list);

    CServerProfile* m_profile;
    int m_attributeMode = 0;
    int m_operationalMode = -1;  // chosen when the page opens
    int m_extraOperational = 0;
    StringList m_keptAttributes;
    StringList m_keptExtra;
    std::wstring m_placeholder;
    wxListCtrl* m_attributeList = nullptr;
    wxListCtrl* m_extraList = nullptr;
};
