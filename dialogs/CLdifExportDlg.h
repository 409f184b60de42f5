#pragma once
// Asks where and what to export as LDIF: the file (proposed in the folder
// used last, else the documents folder), the scope, the line ends, the
// header and operational-attribute options and the filter, which completes
// from the recent filters. Modal; the caller reads the choices after Export.

#include <string>

#include <wx/dialog.h>

#include "shellcore/CRecentItemsList.h"

class wxCheckBox;
class wxRadioButton;
class wxTextCtrl;

class CLdifExportDlg : public wxDialog {
public:
    CLdifExportDlg(const std::wstring& caption, const std::wstring& fileName, const std::string& filter,
                   wxWindow* parent = nullptr);
    ~CLdifExportDlg() override;

    std::wstring GetFilePath() const;
    int GetScope() const { return m_scope; }      // 0 subtree, 1 one level, 2 the entry
    int GetLineEnd() const { return m_lineEnd; }  // 0 LF, 1 CR LF
    bool GetHeader() const { return m_header; }
    bool GetOperational() const { return m_operational; }
    std::string GetFilter() const;  // UTF-8

    wxTextCtrl* GetPathControl() const { return m_pathControl; }
    wxTextCtrl* GetFilterControl() const { return m_filterControl; }

private:
    void OnBrowse(wxCommandEvent& event);
    void OnExport(wxCommandEvent& event);
    void OnDefaultFilter(wxCommandEvent& event);
    void ReadControls();

    std::wstring m_defaultFilter;
    std::wstring m_path;
    std::wstring m_filter;
    int m_scope = 0;
    int m_lineEnd = 0;
    bool m_header = true;
    bool m_operational = false;
    wxTextCtrl* m_pathControl = nullptr;
    wxTextCtrl* m_filterControl = nullptr;
    wxRadioButton* m_scopeButtons[3] = {};
    wxRadioButton* m_lineEndButtons[2] = {};
    wxCheckBox* m_headerControl = nullptr;
    wxCheckBox* m_operationalControl = nullptr;
    CRecentItemsList m_recentFilters;
};
