#pragma once
// The report wizard: turns the rows of a search's result list into a report
// file (text, Excel workbook, CSV, HTML or LDIF) and can hand the file to
// the mail program. Two pages, the format and the file, with Back, Next,
// Finish and Cancel. It reads the list's headings and rows through the
// control's item texts, so a virtual list answers as its rows do.

#include <string>

#include <wx/dialog.h>
#include <wx/font.h>

#include "dialogs/ReportWizardHost.h"

class wxButton;
class wxListCtrl;
class wxSimplebook;
class CReportFile;
class CReportFormat;

class CReportWizard : public wxDialog, public ReportWizardHost {
public:
    enum PageIndex { kFormatPage, kFilePage, kPageCount };
    enum ButtonId { kIdBack = 1050, kIdNext = 1051, kIdFinish = 1052 };

    // connection: the search's, which the LDIF report reads the entries over.
    CReportWizard(const wxString& caption, wxListCtrl* list, const std::wstring& baseDN, wxWindow* parent,
                  int firstPage = kFormatPage, arbldap::LDAPConnectionPtr connection = arbldap::LDAPConnectionPtr());
    ~CReportWizard() override;

    ReportFormat GetFormat() const override { return m_format; }
    void SetFormat(ReportFormat format) override { m_format = format; }
    const std::wstring& GetBaseDN() const override { return m_baseDN; }
    const ReportRows& GetRows() const override { return m_rows; }
    size_t GetCellCount() const override { return m_cells; }
    const arbldap::LDAPConnectionPtr& GetConnection() const override { return m_connection; }
    // Reads the list through its item texts, in list order.
    void PrepareRows() override;
    void SetWizardButtons(bool back, bool next, bool finish, bool finishEnabled) override;
    wxWindow* GetWindow() override { return this; }

    CReportFormat* GetFormatPage() const { return m_formatPage; }
    CReportFile* GetFilePage() const { return m_filePage; }
    int GetActiveIndex() const { return m_active; }
    void ShowPage(int index);
    wxButton* GetButton(ButtonId id) const;

private:
    void OnBack(wxCommandEvent& event);
    void OnNext(wxCommandEvent& event);
    void OnFinish(wxCommandEvent& event);

    wxListCtrl* m_list;
    std::wstring m_baseDN;
    ReportFormat m_format = ReportFormat::Text;
    ReportRows m_rows;
    size_t m_cells = 0;
    arbldap::LDAPConnectionPtr m_connection;
    wxFont m_font;
    wxSimplebook* m_book = nullptr;
    CReportFormat* m_formatPage = nullptr;
    CReportFile* m_filePage = nullptr;
    int m_active = -1;
};
