#pragma once
// One page of the plug-in mapping sheet, for one kind of key (attribute
// names or syntax OIDs): the keys that plug-ins handle on the left (all, or
// only those not settled yet), and for the selected key the choice between
// the standard handling ("NONE") and each plug-in that handles it. A choice
// goes straight into the manager's chosen table; the sheet's OK or Cancel
// decides whether it is kept.

#include <memory>
#include <vector>

#include <wx/imaglist.h>

#include "model/plugins/PluginTables.h"
#include "widgets/CResizablePage.h"

class CIconListBox;
class wxButton;
class wxCheckBox;
class wxListBox;
class wxStaticText;

constexpr unsigned kIddPluginLookupPage = 650;
constexpr unsigned kIdbPluginChoice = 651;
constexpr unsigned kIdbPluginNone = 652;
constexpr int kIdcPluginChoices = 1304;
constexpr int kIdcPluginKeys = 1305;
constexpr int kIdcPluginKeysHeading = 1307;
constexpr int kIdcPluginInformation = 1064;
constexpr int kIdcPluginUnresolvedOnly = 1249;
// No context of its own in the help's context table.
constexpr unsigned kHelpContextPluginLookupPage = 0;

class CPluginLookupPage : public CResizablePage {
public:
    CPluginLookupPage(const wxString& heading, const wxString& caption, PluginSupportedTable& supported,
                      PluginChosenTable& chosen, bool showUnresolvedOnly);

    const wxString& GetCaption() const { return m_caption; }
    wxListBox* GetKeyList() const { return m_keys; }
    CIconListBox* GetChoiceList() const { return m_choices; }
    // The plug-in of a choice row; null for "NONE" or a bad row.
    CPluginProxy* PluginOfChoice(int row) const;

protected:
    bool OnInitDialog() override;

private:
    void FillKeys();
    void FillChoices();
    void UpdateInformationButton();
    std::string SelectedKey() const;
    void OnKeySelected(wxCommandEvent& event);
    void OnChoiceSelected(wxCommandEvent& event);
    void OnUnresolvedOnly(wxCommandEvent& event);
    void OnInformation(wxCommandEvent& event);

    wxString m_heading;
    wxString m_caption;
    PluginSupportedTable& m_supported;
    PluginChosenTable& m_chosen;
    bool m_showUnresolvedOnly;
    wxListBox* m_keys = nullptr;
    CIconListBox* m_choices = nullptr;
    wxButton* m_information = nullptr;
    wxCheckBox* m_unresolvedOnly = nullptr;
    wxImageList m_images;
    std::vector<CPluginProxy*> m_choicePlugins;  // by choice row; null for "NONE"
};
