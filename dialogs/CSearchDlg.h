#pragma once
// The search dialog: searches one level or the subtree below a node's DN
// with a filter, shows the found entries with the attribute columns asked
// for, and hands back the DN of the row the user clicks. Each search runs on
// a CSearchDlgThread that gets a copy of the inputs and sends its rows, its
// failure and its end through the dispatcher; the dialog ends only after
// its worker has gone. Resizable; placement kept in section "SearchDlg".

#include <memory>
#include <string>

#include "base/StringList.h"
#include "dialogcore/CSearchDlgThread.h"
#include "ldap/LDAPConnection.h"
#include "platform/Dispatcher.h"
#include "shellcore/CRecentItemsList.h"
#include "widgets/CResizableDialog.h"

class CSearchResultList;
class CWaitDlg;
class wxActivityIndicator;
class wxComboBox;
class wxListEvent;
class wxMouseEvent;
class wxRadioButton;

constexpr unsigned kIddSearch = 242;
constexpr int kIdcSearchScopeOneLevel = 1103;
constexpr int kIdcSearchScopeSubtree = 1105;
constexpr int kIdcSearchResults = 1107;
constexpr int kIdcSearchAnimation = 1109;
constexpr int kIdcSearchBase = 1110;
constexpr int kIdcSearchFilter = 1111;
constexpr int kIdcSearchAttributes = 1112;
constexpr int kIdcSearchStop = 1039;
constexpr int kIdcSearchReport = 1222;
constexpr int kIdcSearchSeparator = 1300;

constexpr unsigned kStrSearchStopping = 231;
constexpr unsigned kStrNotPrintable = 678;
constexpr unsigned kStrSearchCaption = 703;

// What a search dialog is opened on.
struct SearchTarget {
    arbldap::LDAPConnectionPtr connection;
    std::wstring host;
    int port = 0;
    std::wstring dn;  // the node's DN, empty for the root DSE
};

class CSearchDlg : public CResizableDialog, public platform::MessageReceiver {
public:
    // The dialog ends with this when the caller is to go to the chosen DN.
    static constexpr int kGoToChosenDN = 0;
    // Whether the report wizard is there to be opened from the dialog.
    static bool HasReport() { return true; }

    CSearchDlg(wxWindow* parent, SearchTarget target);
    ~CSearchDlg() override;

    // The DN to go to (as the server sent it); empty when none.
    const std::wstring& GetChosenDN() const { return m_chosenDN; }
    // The attribute names of the last search.
    const StringList& GetLastAttributes() const { return m_lastAttributes; }

    bool IsSearching() const { return m_searching; }
    // The wait popup while a stop runs, else null.
    CWaitDlg* GetWaitPopup() const { return m_wait; }
    CSearchResultList* GetResultList() const { return m_results; }
    wxComboBox* GetBaseCombo() const { return m_base; }
    wxComboBox* GetFilterCombo() const { return m_filter; }
    wxComboBox* GetAttributesCombo() const { return m_attributes; }

    // The buttons' work, as the tests drive it too.
    void StartSearch();
    void StopSearch();
    // A click on the label of that row.
    void ChooseRow(long row);
    // Close, the close box and Escape.
    void CloseDialog();

    void OnMessage(platform::MessageId id, uintptr_t wParam, intptr_t lParam,
                   std::unique_ptr<platform::MessagePayload> payload) override;

protected:
    bool OnInitDialog() override;

private:
    void EnableInputs(bool enable);
    void FillDropDowns();
    void SetColumnsFromText(const std::wstring& text);
    void OnSearchEnded();
    void EndWith(int code);

    void OnSearchButton(wxCommandEvent& event);
    void OnStopButton(wxCommandEvent& event);
    void OnReportButton(wxCommandEvent& event);
    void OnCancelButton(wxCommandEvent& event);
    void OnClose(wxCloseEvent& event);
    void OnAttributesKillFocus(wxFocusEvent& event);
    void OnAttributesSelected(wxCommandEvent& event);
    void OnItemSelected(wxListEvent& event);
    void OnResultsClick(wxMouseEvent& event);

    SearchTarget m_target;
    SearchColumns m_columns;
    CWaitDlg* m_wait = nullptr;
    bool m_closeWhenStopped = false;
    bool m_searching = false;
    bool m_stoppedByUser = false;
    bool m_ending = false;
    std::wstring m_chosenDN;
    StringList m_lastAttributes;
    std::weak_ptr<CSearchDlgThread> m_worker;
    std::shared_ptr<SearchRowSink> m_sink;
    CRecentItemsList m_recentDNs;
    CRecentItemsList m_recentFilters;
    CRecentItemsList m_recentAttributes;

    wxComboBox* m_base = nullptr;
    wxComboBox* m_filter = nullptr;
    wxComboBox* m_attributes = nullptr;
    wxRadioButton* m_oneLevel = nullptr;
    wxRadioButton* m_subtree = nullptr;
    CSearchResultList* m_results = nullptr;
    wxActivityIndicator* m_animation = nullptr;
    platform::ReceiverRegistration m_registration;
};
