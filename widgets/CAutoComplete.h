#pragma once
// Inline autocompletion of one text field (a text control or a combo box):
// hooked onto the field, it completes what the user types with the first
// stored text that starts with it (case ignored, the stored case taken),
// selecting the added part; not while the user removes characters. Up and
// Down open a combo box's list when the options ask for it, and Ctrl+Enter
// puts the text into the quick-complete format. The rules are
// CInlineCompletion's. User-interface thread only.

#include <cstdint>
#include <string>

#include "base/RefPtr.h"
#include "shellcore/EnumString.h"
#include "shellcore/InlineCompletion.h"
#include "widgets/CSubclassWnd.h"

class wxTextEntry;

class CAutoComplete : public CSubclassWnd {
public:
    CAutoComplete(IEnumString& source, uint32_t options, const std::wstring& quickCompleteFormat);

    // Hooks the field; false when the window is no text field.
    bool Init(wxWindow* edit);
    void Enable(bool enable) { m_rules.Enable(enable); }
    const CInlineCompletion& GetRules() const { return m_rules; }

protected:
    bool WindowProc(wxEvent& event) override;

private:
    void Complete(const std::wstring& typed);

    RefPtr<IEnumString> m_source;
    CInlineCompletion m_rules;
    wxTextEntry* m_entry = nullptr;
};
