#include "ui/CCommandComboBox.h"

#include "shellcore/CommandTextMap.h"
#include "ui/CArbMainFrame.h"
#include "widgets/WxCommandIds.h"

CCommandComboBox::CCommandComboBox(wxWindow* parent, CArbMainFrame* frame, uint32_t command, int width)
    : wxComboBox(parent, ui::WxId(command), wxEmptyString, wxDefaultPosition, wxSize(width, -1), 0, nullptr,
                 wxCB_DROPDOWN | wxTE_PROCESS_ENTER),
      m_frame(frame), m_command(command), m_recent(OpenRecentTexts(kRecentFiltersKey))
{
    if (m_recent) {
        for (const std::wstring& text : m_recent->GetRecentStrings(15))
            Append(wxString(text));
    }
    Bind(wxEVT_KEY_DOWN, &CCommandComboBox::OnKeyDown, this);
    Bind(wxEVT_TEXT_ENTER, &CCommandComboBox::OnTextEnter, this);
    Bind(wxEVT_COMBOBOX, &CCommandComboBox::OnSelect, this);
    // The command sent from a menu takes the text the box shows now.
    Bind(wxEVT_TEXT, [this](wxCommandEvent& event) {
        m_frame->StoreCommandText(m_command, GetValue());
        event.Skip();
    });
}

void CCommandComboBox::SendCommandText()
{
    m_frame->StoreCommandText(m_command, GetValue());
    wxCommandEvent command(wxEVT_MENU, ui::WxId(m_command));
    command.SetEventObject(this);
    wxPostEvent(m_frame, command);
}

void CCommandComboBox::SetFilterText(const wxString& text)
{
    wxArrayString items;
    items.Add(text);
    if (m_recent) {
        for (const std::wstring& recent : m_recent->GetRecentStrings(15))
            items.Add(wxString(recent));
    }
    // Filling the list again makes the toolkit lay the toolbar out again:
    // only when the items differ (each selected node sets its filter).
    bool same = GetCount() == items.size();
    for (unsigned i = 0; same && i < items.size(); ++i)
        same = GetString(i) == items[i];
    if (!same) {
        Clear();
        Append(items);
    }
    if (!same || GetSelection() != 0 || GetValue() != text)
        SetSelection(0);
}

void CCommandComboBox::OnKeyDown(wxKeyEvent& event)
{
    if (event.GetKeyCode() == WXK_ESCAPE && !event.HasAnyModifiers()) {
        Dismiss();
        m_frame->SetFocus();
        return;
    }
    event.Skip();
}

void CCommandComboBox::OnTextEnter(wxCommandEvent&)
{
    SendCommandText();
    if (m_recent)
        m_recent->AddString(TrimWhiteSpace(GetValue().ToStdWstring()));
}

void CCommandComboBox::OnSelect(wxCommandEvent&)
{
    SendCommandText();
}
