#include "widgets/RecentItemsCompletion.h"

#include <wx/textcompleter.h>
#include <wx/textentry.h>
#include <wx/weakref.h>
#include <wx/window.h>

#include "base/RefPtr.h"
#include "shellcore/EnumString.h"
#include "shellcore/InlineCompletion.h"
#include "widgets/CAutoComplete.h"

namespace ui {

namespace {

// Proposes the source's texts that start with what was typed (ignoring case).
class SourceCompleter : public wxTextCompleterSimple {
public:
    explicit SourceCompleter(IEnumString& source) : m_source(&source) {}

    void GetCompletions(const wxString& prefix, wxArrayString& res) override
    {
        m_source->Reset();
        const wxString lower = prefix.Lower();
        std::wstring text;
        uint32_t fetched = 0;
        while (m_source->Next(1, &text, &fetched) == S_OK && fetched == 1) {
            wxString candidate(text);
            if (candidate.Lower().StartsWith(lower)) res.push_back(candidate);
        }
    }

private:
    RefPtr<IEnumString> m_source;
};

class Binding : public IAutoCompletion {
public:
    Binding(wxWindow* window, std::unique_ptr<CAutoComplete> inline_)
        : m_window(window), m_inline(std::move(inline_))
    {
    }
    ~Binding() override
    {
        m_inline.reset();
        // The control deletes its completer, which lets the source go.
        if (wxWindow* window = m_window.get())
            if (auto* entry = dynamic_cast<wxTextEntry*>(window)) entry->AutoComplete(static_cast<wxTextCompleter*>(nullptr));
    }
    void Enable(bool enable) override
    {
        if (m_inline) m_inline->Enable(enable);
    }

private:
    wxWeakRef<wxWindow> m_window;
    std::unique_ptr<CAutoComplete> m_inline;
};

} // namespace

std::unique_ptr<IAutoCompletion> BindAutoCompletion(void* edit, IEnumString& source, uint32_t options,
                                                    const std::wstring& quickCompleteFormat)
{
    auto* window = static_cast<wxWindow*>(edit);
    auto* entry = dynamic_cast<wxTextEntry*>(window);
    if (!entry || !entry->AutoComplete(new SourceCompleter(source))) return nullptr;
    // Inline completion, Up and Down and the quick-complete format are ours;
    // the proposals under the field are the toolkit's.
    std::unique_ptr<CAutoComplete> completion;
    if (options & (kAutoAppend | kUpDownDropsList) || !quickCompleteFormat.empty()) {
        completion = std::make_unique<CAutoComplete>(source, options, quickCompleteFormat);
        if (!completion->Init(window)) completion.reset();
    }
    return std::make_unique<Binding>(window, std::move(completion));
}

} // namespace ui
