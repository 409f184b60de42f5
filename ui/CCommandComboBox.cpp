#include "ui/CCommandComboBox.h"

#include "shellcore/CommandTextMap.h"
#include "shellcore/FilterBoxKeys.h"
#include "ui/CArbMainFrame.h"
#include "widgets/CSubclassWnd.h"
#include "widgets/WxCommandIds.h"

namespace {

// Suggest, append, and Up and Down drop the list.
constexpr uint32_t kFilterCompletionOptions = 0x23;
const wchar_t* const kFilterQuickComplete = L"(%s)";

FilterKey KeyOf(int code)
{
    switch (code) {
    case WXK_RETURN:
    case WXK_NUMPAD_ENTER: return FilterKey::Enter;
    case WXK_PAGEUP:
    case WXK_NUMPAD_PAGEUP: return FilterKey::PageUp;
    case WXK_PAGEDOWN:
    case WXK_NUMPAD_PAGEDOWN: return FilterKey::PageDown;
    case WXK_HOME:
    case WXK_NUMPAD_HOME: return FilterKey::Home;
    case WXK_END:
    case WXK_NUMPAD_END: return FilterKey::End;
    case WXK_UP:
    case WXK_NUMPAD_UP: return FilterKey::Up;
    case WXK_DOWN:
    case WXK_NUMPAD_DOWN: return FilterKey::Down;
    case WXK_TAB: return FilterKey::Tab;
    case WXK_ESCAPE: return FilterKey::Escape;
    default: return FilterKey::Other;
    }
}

} // namespace

// Routes the box's keys as a filter box needs them.
class CCommandComboBox::KeyHook : public CSubclassWnd {
public:
    explicit KeyHook(CCommandComboBox& box) : m_box(box) { WatchEvent(wxEVT_KEY_DOWN); }

protected:
    bool WindowProc(wxEvent& event) override
    {
        auto& key = static_cast<wxKeyEvent&>(event);
        const bool ctrlOrAlt = key.ControlDown() || key.AltDown() || key.RawControlDown();
        switch (FilterBoxKeyAction(KeyOf(key.GetKeyCode()), ctrlOrAlt, m_box.m_listShown)) {
        case FilterKeyAction::Apply:
            if (KeyOf(key.GetKeyCode()) == FilterKey::Enter)
                return Default(event);  // the field's Enter applies
            // The open list moves first; the text it leaves is applied.
            m_box.CallAfter([box = &m_box] { box->ApplyText(); });
            return Default(event);
        case FilterKeyAction::Swallow:
            return true;
        case FilterKeyAction::NextControl:
            m_box.Navigate(key.ShiftDown() ? wxNavigationKeyEvent::IsBackward : wxNavigationKeyEvent::IsForward);
            return true;
        case FilterKeyAction::CloseList:
            m_box.Dismiss();
            m_box.m_frame->SetFocus();
            return true;
        case FilterKeyAction::PassOn:
            break;
        }
        return Default(event);
    }

private:
    CCommandComboBox& m_box;
};

CCommandComboBox::CCommandComboBox(wxWindow* parent, CArbMainFrame* frame, uint32_t command, int width)
    : wxComboBox(parent, ui::WxId(command), wxEmptyString, wxDefaultPosition, wxSize(width, -1), 0, nullptr,
                 wxCB_DROPDOWN | wxTE_PROCESS_ENTER),
      m_frame(frame), m_command(command), m_recent(OpenRecentTexts(kRecentFiltersKey))
{
    if (m_recent) {
        for (const std::wstring& text : m_recent->GetRecentStrings(15))
            Append(wxString(text));
    }
    Bind(wxEVT_COMBOBOX_DROPDOWN, [this](wxCommandEvent& event) {
        m_listShown = true;
        event.Skip();
    });
    Bind(wxEVT_COMBOBOX_CLOSEUP, [this](wxCommandEvent& event) {
        m_listShown = false;
        event.Skip();
    });
    m_keys = std::make_unique<KeyHook>(*this);
    m_keys->HookWindow(this);
    // Hooked after the keys: completion sees Ctrl+Enter, Up and Down first.
    m_completion.Open(platform::RegRoot::CurrentUser, kRecentFiltersKey);
    m_completion.Bind(static_cast<wxWindow*>(this), kFilterCompletionOptions, kFilterQuickComplete);
    Bind(wxEVT_TEXT_ENTER, &CCommandComboBox::OnTextEnter, this);
    Bind(wxEVT_COMBOBOX, &CCommandComboBox::OnSelect, this);
    // The command sent from a menu takes the text the box shows now.
    Bind(wxEVT_TEXT, [this](wxCommandEvent& event) {
        m_frame->StoreCommandText(m_command, GetValue());
        event.Skip();
    });
}

CCommandComboBox::~CCommandComboBox()
{
    m_completion.Unbind();
    m_keys.reset();
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

void CCommandComboBox::ApplyText()
{
    SendCommandText();
    const std::wstring text = TrimWhiteSpace(GetValue().ToStdWstring());
    if (m_recent)
        m_recent->AddString(text);
    m_completion.AddString(text);
}

void CCommandComboBox::OnTextEnter(wxCommandEvent&)
{
    ApplyText();
}

void CCommandComboBox::OnSelect(wxCommandEvent&)
{
    // A filter chosen from the list is confirmed as much as a typed one.
    ApplyText();
}
