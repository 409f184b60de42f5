#include "shellcore/InlineCompletion.h"

#include <cwctype>

#include "shellcore/EnumString.h"
#include "shellcore/TextFormat.h"

namespace {

bool StartsWithNoCase(const std::wstring& text, const std::wstring& prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (std::towlower(static_cast<wint_t>(text[i])) != std::towlower(static_cast<wint_t>(prefix[i])))
            return false;
    return true;
}

} // namespace

CInlineCompletion::CInlineCompletion(IEnumString& source, uint32_t options, std::wstring quickCompleteFormat)
    : m_source(source), m_options(options), m_format(std::move(quickCompleteFormat))
{
}

size_t CInlineCompletion::GetMatches(const std::wstring& prefix, std::vector<std::wstring>& matches,
                                     bool firstOnly) const
{
    matches.clear();
    if (prefix.empty())
        return 0;
    m_source.Reset();
    std::wstring text;
    uint32_t fetched = 0;
    while (m_source.Next(1, &text, &fetched) == S_OK && fetched == 1) {
        if (!StartsWithNoCase(text, prefix))
            continue;
        matches.push_back(text);
        if (firstOnly)
            break;
    }
    return matches.size();
}

bool CInlineCompletion::IsBackspacing(const std::wstring& text) const
{
    return m_lastText.compare(0, text.size(), text) == 0 && text.size() <= m_lastText.size();
}

bool CInlineCompletion::OnTextChanged(const std::wstring& text, CompletedText& completed)
{
    if (!m_enabled || IsApplyingOwnChange() || !(m_options & kAutoAppend))
        return false;
    bool done = false;
    std::vector<std::wstring> matches;
    if (!text.empty() && !IsBackspacing(text) && GetMatches(text, matches, true) > 0) {
        completed.text = matches.front();
        completed.selectFrom = static_cast<long>(text.size());
        completed.selectTo = static_cast<long>(matches.front().size());
        done = true;
    }
    m_lastText = text;
    return done;
}

bool CInlineCompletion::QuickComplete(const std::wstring& text, std::wstring& completed) const
{
    if (!m_enabled || m_format.empty())
        return false;
    completed = FormatText(m_format, {text});
    return true;
}
