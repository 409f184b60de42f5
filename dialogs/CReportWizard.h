#pragma once
// The report wizard: turns the rows of a search's result list into a report
// file (text, Excel workbook, CSV, HTML or LDIF) and can hand the file to
// the mail program. Two pages, the format and the file, with Back, Next,
// Finish and Cancel. It reads the list's headings and rows through the
// control's item texts, so a virtual list answers as its rows do.

#include <ctime>
#include <string>

#include <wx/dialog.h>
#include <wx/font.h>

#include "dialogcore/ReportWriters.h"
#include "ldap/LDAPConnection.h"

class wxButton;
class wxListCtrl;
class wxSimplebook;
class CReportFile;
class CReportFormat;

class CReportWizard : public wxDialog {
public:
    enum PageIndex { kFormatPage, kFilePage, kPageCount };
    enum ButtonId { kIdBack = 1050, kIdNext = 1051, kIdFinish = 1052 };

    // connection: the search's, which the LDIF report reads the entries over.
    CReportWizard(const wxString& caption, wxListCtrl* list, const std::wstring& baseDN, wxWindow* parent,
                  int firstPage = kFormatPage, arbldap::LDAPConnectionPtr connection = arbldap::LDAPConnectionPtr());
    ~CReportWizard() override;

    ReportFormat GetFormat() const { return m_format; }
    void SetFormat(ReportFormat format) { m_format = format; }
    // The base DN, "RootDSE" for an empty one.
    const std::wstring& GetBaseDN() const { return m_baseDN; }
    const ReportRows& GetRows() const { return m_rows; }
    size_t GetCellCount() const { return m_cells; }
    const arbldap::LDAPConnectionPtr& GetConnection() const { return m_connection; }
    // Reads the list again: headings, then one row per item in list order.
    void PrepareRows();

    CReportFormat* GetFormatPage() const { return m_formatPage; }
    CReportFile* GetFilePage() const { return m_filePage; }
    int GetActiveIndex() const { return m_active; }
    void ShowPage(int index);
    wxButton* GetButton(ButtonId id) const;
    // Back, Next and Finish shown or hidden; Finish enabled or not.
    void SetWizardButtons(bool back, bool next, bool finish, bool finishEnabled);

    // The local date the default name and the title use (tests fix it).
    typedef std::tm (*Clock)();
    static Clock SetClock(Clock clock);
    static std::tm Today();

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
