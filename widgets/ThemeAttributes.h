#pragma once
// A window's default font and colours, asked of the toolkit once. Every paint
// asks for them (a paint DC takes the window's font and colours), and for a
// window that never set its own the toolkit builds them from the theme each
// time, which is slow. Asked again after the system's colours change.

#include <optional>

#include <wx/event.h>
#include <wx/window.h>

class ThemeAttributes {
public:
    template <class Ask>
    const wxVisualAttributes& Get(Ask ask) const
    {
        if (!m_attributes)
            m_attributes = ask();
        return *m_attributes;
    }
    void Forget() { m_attributes.reset(); }
    // Forgets them whenever the window hears that the system's colours changed.
    void ForgetOnColourChange(wxWindow& window)
    {
        window.Bind(wxEVT_SYS_COLOUR_CHANGED, [this](wxSysColourChangedEvent& event) {
            Forget();
            event.Skip();
        });
    }

private:
    mutable std::optional<wxVisualAttributes> m_attributes;
};
