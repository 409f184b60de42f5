#pragma once
// What inline autocompletion decides, without a window: the stored texts
// that start with what was typed (case ignored), whether the user is
// removing characters, and how the field's text and selection change. The
// window binding feeds it every text change the user makes and applies
// what it answers.

#include <cstdint>
#include <string>
#include <vector>

class IEnumString;

// Autocompletion options, as the callers give them.
constexpr uint32_t kAutoSuggest = 0x1;        // a list of proposals under the field
constexpr uint32_t kAutoAppend = 0x2;         // the first proposal completes the text inline
constexpr uint32_t kUpDownDropsList = 0x20;   // Up and Down open the list

// The field after a completion: its text, and the part selected (from, to).
struct CompletedText {
    std::wstring text;
    long selectFrom = 0;
    long selectTo = 0;
};

class CInlineCompletion {
public:
    CInlineCompletion(IEnumString& source, uint32_t options, std::wstring quickCompleteFormat);

    // While disabled nothing is completed.
    void Enable(bool enable) { m_enabled = enable; }
    bool IsEnabled() const { return m_enabled; }
    uint32_t GetOptions() const { return m_options; }
    bool OpensListOnUpDown() const { return (m_options & kUpDownDropsList) != 0; }

    // The texts that start with prefix, ignoring case, in the source's order;
    // only the first when firstOnly. None for an empty prefix.
    size_t GetMatches(const std::wstring& prefix, std::vector<std::wstring>& matches, bool firstOnly) const;
    // Whether text is the start of the last text seen: characters were removed at its end.
    bool IsBackspacing(const std::wstring& text) const;
    // The user changed the field to text. True with the completed field when
    // the first match completes it (appended part selected). A change the
    // completion makes itself (inside ApplyingOwnChange) is not completed again.
    bool OnTextChanged(const std::wstring& text, CompletedText& completed);
    // Ctrl+Enter: the text put into the quick-complete format; false without one.
    bool QuickComplete(const std::wstring& text, std::wstring& completed) const;

    // Marks the field changes the completion makes itself.
    class OwnChange {
    public:
        explicit OwnChange(CInlineCompletion& owner) : m_owner(owner) { ++m_owner.m_reentry; }
        ~OwnChange() { --m_owner.m_reentry; }
        OwnChange(const OwnChange&) = delete;
        OwnChange& operator=(const OwnChange&) = delete;

    private:
        CInlineCompletion& m_owner;
    };
    bool IsApplyingOwnChange() const { return m_reentry > 0; }

private:
    IEnumString& m_source;
    uint32_t m_options;
    std::wstring m_format;
    bool m_enabled = true;
    int m_reentry = 0;
    std::wstring m_lastText;
};
