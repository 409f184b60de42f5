#include "widgets/CResizableSheet.h"

#include <algorithm>

#include <wx/button.h>
#include <wx/notebook.h>

#include "widgets/DialogHelp.h"

namespace {

constexpr int kMargin = 7;        // around the tab control
constexpr int kButtonGap = 6;     // between buttons, and above them
const wxSize kMinButton(75, 23);  // the smallest a sheet's button is

} // namespace

CResizableSheet::~CResizableSheet()
{
    if (m_saved || !m_saveRestore || !GetHandle()) return;
    m_saved = true;
    SaveWindowState(m_section, m_rectOnly);
    SaveActivePage();
}

bool CResizableSheet::Create(wxWindow* parent, const wxString& caption, long buttons)
{
    if (!wxDialog::Create(parent, wxID_ANY, caption, wxDefaultPosition, wxDefaultSize,
                          wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER))
        return false;
    SetExtraStyle(GetExtraStyle() | wxWS_EX_VALIDATE_RECURSIVELY);
    m_book = new wxNotebook(this, wxID_ANY);
    m_book->SetExtraStyle(m_book->GetExtraStyle() | wxWS_EX_VALIDATE_RECURSIVELY);
    GiveSheetHelp(this, m_book);
    m_buttons = buttons;
    const std::pair<long, wxWindowID> kinds[] = {
        {wxOK, wxID_OK}, {wxCANCEL, wxID_CANCEL}, {wxAPPLY, wxID_APPLY}, {wxHELP, wxID_HELP}};
    for (const auto& kind : kinds)
        if (buttons & kind.first) new wxButton(this, kind.second);
    if (auto* ok = FindWindow(wxID_OK)) static_cast<wxButton*>(ok)->SetDefault();
    if (!CreateGrip()) return false;
    Bind(wxEVT_SIZE, &CResizableSheet::OnSize, this);
    Bind(wxEVT_MOVE, &CResizableSheet::OnMove, this);
    return true;
}

bool CResizableSheet::AddPage(wxWindow* page, const wxString& title)
{
    return m_book && page && m_book->AddPage(page, title);
}

int CResizableSheet::GetPageCount() const
{
    return m_book ? static_cast<int>(m_book->GetPageCount()) : 0;
}

int CResizableSheet::GetActiveIndex() const
{
    return m_book ? m_book->GetSelection() : -1;
}

bool CResizableSheet::SetActivePage(int index)
{
    if (index < 0 || index >= GetPageCount()) return false;
    m_book->SetSelection(static_cast<size_t>(index));
    return true;
}

bool CResizableSheet::OnInitDialog()
{
    // The tab control fits the largest page at the size it was made at.
    wxSize page(0, 0);
    for (size_t i = 0; i < m_book->GetPageCount(); ++i) {
        wxWindow* p = m_book->GetPage(i);
        page.IncTo(p->GetSize());
        page.IncTo(p->GetBestSize());
    }
    const wxSize book = m_book->CalcSizeFromPage(page);

    std::vector<wxWindow*> buttons;
    for (wxWindowID id : {wxID_OK, wxID_CANCEL, wxID_APPLY, wxID_HELP})
        if (wxWindow* b = FindWindow(id)) buttons.push_back(b);
    wxSize button = kMinButton;
    for (wxWindow* b : buttons) button.IncTo(b->GetBestSize());
    const int row = buttons.empty() ? 0 : kButtonGap + button.y;
    const int rowWidth = static_cast<int>(buttons.size()) * (button.x + kButtonGap) - kButtonGap;
    const wxSize client(std::max(book.x, rowWidth) + 2 * kMargin, kMargin + book.y + row + kMargin);
    SetClientSize(client);

    m_book->SetSize(kMargin, kMargin, client.x - 2 * kMargin, book.y);
    int x = client.x - kMargin - rowWidth;
    for (wxWindow* b : buttons) {
        b->SetSize(x, kMargin + book.y + kButtonGap, button.x, button.y);
        x += button.x + kButtonGap;
    }

    AddAnchoredChild(m_book, AnchorTopLeft, AnchorBottomRight);
    for (wxWindow* b : buttons) AddAnchoredChild(b, AnchorBottomRight);
    SetMinimumTrackSize(GetSize());
    EnableTrackLimits();
    PlaceGrip();
    m_initialized = true;
    return true;
}

void CResizableSheet::InitOnce()
{
    if (m_initialized || !m_book) return;
    OnInitDialog();
    if (m_saveRestore) RestoreState();
}

bool CResizableSheet::Show(bool show)
{
    if (show) InitOnce();
    return wxDialog::Show(show);
}

int CResizableSheet::ShowModal()
{
    InitOnce();
    return wxDialog::ShowModal();
}

void CResizableSheet::EnableSaveRestore(const std::wstring& section, bool rectOnly, bool keepActivePage)
{
    m_section = section;
    m_rectOnly = rectOnly;
    m_keepActivePage = keepActivePage;
    m_saveRestore = true;
    // Before the first show the sheet has no size of its own to restore over.
    if (m_initialized) RestoreState();
}

void CResizableSheet::RestoreState()
{
    LoadWindowState(m_section, m_rectOnly);
    LoadActivePage();
}

void CResizableSheet::SaveActivePage()
{
    if (!m_keepActivePage) return;
    WriteActivePage(m_section, std::max(GetActiveIndex(), 0));
}

void CResizableSheet::LoadActivePage()
{
    const int index = ReadActivePage(m_section, 0);
    if (!m_keepActivePage) return;
    // A page the sheet no longer has leaves the first one shown.
    if (SetActivePage(index)) ArrangeChildren();
}

void CResizableSheet::OnSize(wxSizeEvent& event)
{
    event.Skip();
    NoteNormalRect();
    if (!m_initialized) return;
    PlaceGrip();
    ArrangeChildren();
}

void CResizableSheet::OnMove(wxMoveEvent& event)
{
    event.Skip();
    NoteNormalRect();
}
