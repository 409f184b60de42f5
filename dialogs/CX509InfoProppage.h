#pragma once
// One certificate as a page: its fields in a two-column list, the selected
// field's details beneath (serial, signature and fingerprints in a
// fixed-width face), and Save, which writes the certificate's text dump to
// a file the user chooses.

#include <string>
#include <vector>

#include "dialogcore/CX509Certificate.h"
#include "dialogcore/CertificateRows.h"
#include "dialogs/CPropertyPage.h"

class wxButton;
class wxListCtrl;
class wxListEvent;
class wxTextCtrl;

class CX509InfoProppage : public CPropertyPage {
public:
    // The certificate's DER bytes; a value that is not one shows "N/A".
    explicit CX509InfoProppage(const std::string& value);

    // Makes the page's window in the sheet's book, titled title.
    bool Create(wxWindow* book, const wxString& title);

    bool OnInitDialog() override;

    wxListCtrl* GetList() const { return m_list; }
    wxTextCtrl* GetDetails() const { return m_details; }
    wxButton* GetSaveButton() const { return m_save; }
    const std::vector<CertificateRow>& GetRows() const { return m_rows; }
    // Whether the details pane shows the fixed-width face.
    bool IsDetailsFixedWidth() const { return m_fixedWidthShown; }

    // Saves the dump as the Save button does.
    void Save();

private:
    void SetUpList();
    void AddRows();
    void ShowDetails();

    std::string m_value;
    CX509Certificate m_certificate;
    std::vector<CertificateRow> m_rows;
    wchar_t m_separator = L' ';
    bool m_fixedWidthShown = false;
    wxListCtrl* m_list = nullptr;
    wxTextCtrl* m_details = nullptr;
    wxButton* m_save = nullptr;
};
