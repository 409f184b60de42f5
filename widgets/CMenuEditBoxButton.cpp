#include "widgets/CMenuEditBoxButton.h"

#include <wx/textctrl.h>

#include "shellcore/CommandTextMap.h"
#include "widgets/CAutoComplete.h"
#include "widgets/WxCommandIds.h"

namespace {

// Append inline, and Up and Down would drop a list down; no proposals under
// the field (their window would take the menu's focus).
constexpr uint32_t kEditCompletionOptions = 0x22;
const wchar_t* const kEditQuickComplete = L"(%s)";

int WidthOrDefault(int width)
{
    return width > 0 ? width : CMenuEditBoxButton::kDefaultEditWidth;
}

} // namespace

CMenuEditBoxButton::CMenuEditBoxButton(uint32_t command, const std::wstring& label, const std::wstring& contents,
                                       TextCallback callback, int width)
    : m_command(command), m_label(label), m_contents(contents), m_callback(std::move(callback)),
      m_width(WidthOrDefault(width))
{
}

CMenuEditBoxButton::CMenuEditBoxButton(uint32_t command, const std::wstring& label, const std::wstring& contents,
                                       std::wstring* target, int width)
    : m_command(command), m_label(label), m_contents(contents), m_target(target), m_width(WidthOrDefault(width))
{
}

CMenuEditBoxButton::~CMenuEditBoxButton()
{
    DestroyEdit();
}

void CMenuEditBoxButton::DestroyEdit()
{
    m_completion.reset();
    if (m_edit) {
        m_edit->Destroy();
        m_edit = nullptr;
    }
}

void CMenuEditBoxButton::SetContents(const std::wstring& text)
{
    if (text == m_contents)
        return;
    m_contents = text;
    if (m_edit)
        m_edit->ChangeValue(wxString(m_contents));
}

wxTextCtrl* CMenuEditBoxButton::CreateEdit(wxWindow* parent, const wxRect& rect)
{
    DestroyEdit();
    auto* edit = new wxTextCtrl(parent, ui::WxId(m_command), wxString(m_contents), rect.GetPosition(),
                                rect.GetSize(), wxTE_PROCESS_ENTER | wxBORDER_SIMPLE);
    edit->Hide();
    m_edit = edit;
    if (!m_recentKey.empty())
        m_recent.Open(platform::RegRoot::CurrentUser, m_recentKey);
    m_completion = std::make_unique<CAutoComplete>(m_recent, kEditCompletionOptions, kEditQuickComplete);
    if (!m_completion->Init(edit))
        m_completion.reset();
    return m_edit;
}

void CMenuEditBoxButton::EndEdit(EditEnd end)
{
    if (end == EditEnd::Restore) {
        if (m_edit)
            m_edit->ChangeValue(wxString(m_contents));
        return;
    }
    if (m_edit)
        m_contents = TrimWhiteSpace(m_edit->GetValue().ToStdWstring());
    else
        m_contents = TrimWhiteSpace(m_contents);
    if (!m_contents.empty())
        m_recent.AddString(m_contents);
    if (m_target)
        *m_target = m_contents;
    else if (m_callback)
        m_callback(m_command, m_contents);
}
