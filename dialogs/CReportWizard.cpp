#include "dialogs/CReportWizard.h"

#include <atomic>
#include <chrono>

#include <wx/button.h>
#include <wx/listctrl.h>
#include <wx/simplebook.h>
#include <wx/sizer.h>
#include <wx/statline.h>

#include "dialogs/CReportFile.h"
#include "dialogs/CReportFormat.h"
#include "widgets/DefaultFont.h"

namespace {

std::tm LocalToday()
{
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

std::atomic<ReportClock> g_clock{&LocalToday};

} // namespace

ReportClock SetReportClock(ReportClock clock)
{
    return g_clock.exchange(clock ? clock : &LocalToday);
}

std::tm ReportToday()
{
    return g_clock.load()();
}

CReportWizard::CReportWizard(const wxString& caption, wxListCtrl* list, const std::wstring& baseDN,
                             wxWindow* parent, int firstPage, arbldap::LDAPConnectionPtr connection)
    : wxDialog(parent, wxID_ANY, caption),
      m_list(list),
      m_baseDN(baseDN.empty() ? std::wstring(L"RootDSE") : baseDN),
      m_connection(std::move(connection)),
      m_font(ui::CreateDefaultFont())
{
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    m_book = new wxSimplebook(this, wxID_ANY);
    m_formatPage = new CReportFormat(this, m_book);
    m_filePage = new CReportFile(this, m_book);
    m_book->AddPage(m_formatPage, wxString());
    m_book->AddPage(m_filePage, wxString());
    sizer->Add(m_book, 1, wxEXPAND);
    sizer->Add(new wxStaticLine(this), 0, wxEXPAND | wxLEFT | wxRIGHT, 8);
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    buttons->Add(new wxButton(this, kIdBack, "< &Back"), 0, wxRIGHT, 4);
    buttons->Add(new wxButton(this, kIdNext, "&Next >"), 0, wxRIGHT, 4);
    buttons->Add(new wxButton(this, kIdFinish, "&Finish"), 0, wxRIGHT, 8);
    buttons->Add(new wxButton(this, wxID_CANCEL, "Cancel"));
    sizer->Add(buttons, 0, wxALIGN_RIGHT | wxALL, 8);
    SetSizerAndFit(sizer);
    // Every page and its controls in the dialog font; the titles are made
    // bold again when their page is shown.
    for (wxWindow* page : m_book->GetChildren())
        ui::SetFontToChildren(page, m_font);
    Bind(wxEVT_BUTTON, &CReportWizard::OnBack, this, kIdBack);
    Bind(wxEVT_BUTTON, &CReportWizard::OnNext, this, kIdNext);
    Bind(wxEVT_BUTTON, &CReportWizard::OnFinish, this, kIdFinish);
    Bind(wxEVT_CONTEXT_MENU, [](wxContextMenuEvent&) {});
    ShowPage(firstPage == kFilePage ? kFilePage : kFormatPage);
    Fit();
    CentreOnParent();
}

CReportWizard::~CReportWizard() = default;

void CReportWizard::PrepareRows()
{
    m_rows.clear();
    m_cells = 0;
    if (!m_list)
        return;
    const int columns = m_list->GetColumnCount();
    ReportRow headings;
    for (int column = 0; column < columns; ++column) {
        wxListItem item;
        item.SetMask(wxLIST_MASK_TEXT);
        m_list->GetColumn(column, item);
        headings.push_back(item.GetText().ToStdWstring());
    }
    m_cells += headings.size();
    m_rows.push_back(std::move(headings));
    const long items = m_list->GetItemCount();
    m_rows.reserve(static_cast<size_t>(items) + 1);
    for (long item = 0; item < items; ++item) {
        ReportRow row;
        row.reserve(columns);
        for (int column = 0; column < columns; ++column)
            row.push_back(m_list->GetItemText(item, column).ToStdWstring());
        m_cells += row.size();
        m_rows.push_back(std::move(row));
    }
}

void CReportWizard::ShowPage(int index)
{
    if (index < 0 || index >= kPageCount)
        return;
    m_active = index;
    m_book->ChangeSelection(static_cast<size_t>(index));
    if (index == kFormatPage)
        m_formatPage->OnActivate();
    else
        m_filePage->OnActivate();
}

wxButton* CReportWizard::GetButton(ButtonId id) const
{
    return dynamic_cast<wxButton*>(FindWindow(id));
}

void CReportWizard::SetWizardButtons(bool back, bool next, bool finish, bool finishEnabled)
{
    if (wxButton* button = GetButton(kIdBack)) button->Enable(back);
    if (wxButton* button = GetButton(kIdNext)) button->Enable(next);
    if (wxButton* button = GetButton(kIdFinish)) {
        button->Show(finish);
        button->Enable(finish && finishEnabled);
    }
    if (wxButton* button = GetButton(next ? kIdNext : kIdFinish)) button->SetDefault();
    Layout();
}

void CReportWizard::OnBack(wxCommandEvent&)
{
    if (m_active > 0) ShowPage(m_active - 1);
}

void CReportWizard::OnNext(wxCommandEvent&)
{
    if (m_active + 1 < kPageCount) ShowPage(m_active + 1);
}

void CReportWizard::OnFinish(wxCommandEvent&)
{
    if (m_active != kFilePage)
        return;
    m_filePage->Finish();
    EndModal(wxID_OK);
}
