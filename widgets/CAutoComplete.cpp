#include "widgets/CAutoComplete.h"

#include <wx/combobox.h>
#include <wx/textentry.h>
#include <wx/window.h>

CAutoComplete::CAutoComplete(IEnumString& source, uint32_t options, const std::wstring& quickCompleteFormat)
    : m_source(&source), m_rules(source, options, quickCompleteFormat)
{
    WatchEvent(wxEVT_TEXT);
    WatchEvent(wxEVT_KEY_DOWN);
}

bool CAutoComplete::Init(wxWindow* edit)
{
    m_entry = dynamic_cast<wxTextEntry*>(edit);
    if (!m_entry)
        return false;
    return HookWindow(edit);
}

bool CAutoComplete::WindowProc(wxEvent& event)
{
    if (event.GetEventType() == wxEVT_TEXT) {
        if (!m_rules.IsApplyingOwnChange()) {
            const std::wstring typed = m_entry->GetValue().ToStdWstring();
            // The field finishes its own change (caret, selection) first.
            CallAfter([this, typed] { Complete(typed); });
        }
        return Default(event);
    }
    auto& key = static_cast<wxKeyEvent&>(event);
    const int code = key.GetKeyCode();
    if ((code == WXK_RETURN || code == WXK_NUMPAD_ENTER) && key.GetModifiers() == wxMOD_CONTROL) {
        std::wstring completed;
        if (m_rules.QuickComplete(m_entry->GetValue().ToStdWstring(), completed)) {
            CInlineCompletion::OwnChange own(m_rules);
            m_entry->ChangeValue(wxString(completed));
            m_entry->SetInsertionPointEnd();
            return true;
        }
    }
    if ((code == WXK_UP || code == WXK_DOWN) && !key.HasAnyModifiers() && m_rules.IsEnabled() &&
        m_rules.OpensListOnUpDown()) {
        auto* combo = dynamic_cast<wxComboBox*>(GetHookedWindow());
        if (combo && combo->GetCount() > 0) {
            combo->Popup();
            return true;
        }
    }
    return Default(event);
}

void CAutoComplete::Complete(const std::wstring& typed)
{
    // Typing went on meanwhile: the later change completes.
    if (!GetHookedWindow() || m_entry->GetValue().ToStdWstring() != typed)
        return;
    CompletedText completed;
    if (!m_rules.OnTextChanged(typed, completed))
        return;
    CInlineCompletion::OwnChange own(m_rules);
    m_entry->ChangeValue(wxString(completed.text));
    m_entry->SetSelection(completed.selectFrom, completed.selectTo);
}
