#include "widgets/RecentItemsCompletion.h"

#include <wx/textcompleter.h>
#include <wx/textentry.h>
#include <wx/weakref.h>
#include <wx/window.h>

#include "base/RefPtr.h"
#include "shellcore/EnumString.h"

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
    explicit Binding(wxWindow* window) : m_window(window) {}
    ~Binding() override
    {
        // The control deletes its completer, which lets the source go.
        if (wxWindow* window = m_window.get())
            if (auto* entry = dynamic_cast<wxTextEntry*>(window)) entry->AutoComplete(static_cast<wxTextCompleter*>(nullptr));
    }

private:
    wxWeakRef<wxWindow> m_window;
};

} // namespace

std::unique_ptr<IAutoCompletion> BindAutoCompletion(void* edit, IEnumString& source, uint32_t, const std::wstring&)
{
    auto* window = static_cast<wxWindow*>(edit);
    auto* entry = dynamic_cast<wxTextEntry*>(window);
    if (!entry || !entry->AutoComplete(new SourceCompleter(source))) return nullptr;
    return std::make_unique<Binding>(window);
}

} // namespace ui
