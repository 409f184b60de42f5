#include "platform/CGuidText.h"

#include <cwchar>

CGuidText::CGuidText(const GUID* guid, int style) : m_guid(guid), m_style(style) {}

CGuidText::~CGuidText() = default;

void CGuidText::SetGuid(const GUID* guid)
{
    m_guid = guid;
    m_text.reset();
}

void CGuidText::SetStyle(int style)
{
    m_style = style;
    m_text.reset();
}

const wchar_t* CGuidText::GetString()
{
    if (!m_guid || m_style < 0 || m_style > 3)
        return nullptr;
    if (m_text)
        return m_text->c_str();
    std::wstring text;
    if (m_style <= 1) {
        text = GuidToString(*m_guid);
        if (m_style == 1)
            text = text.substr(1, text.size() - 2);
    } else {
        if (FAILED(FormatGuidHex(m_guid, &text)))
            return nullptr;
        if (m_style == 3)
            text.resize(31);
    }
    m_text = std::make_unique<std::wstring>(std::move(text));
    return m_text->c_str();
}

HRESULT FormatGuidHex(const GUID* guid, std::wstring* out)
{
    if (!out) return E_FAIL;
    out->clear();
    if (!guid) return E_FAIL;
    const GUID& g = *guid;
    wchar_t buf[33];
    int n = std::swprintf(buf, 33, L"%08lX%04X%04X%02X%02X%02X%02X%02X%02X%02X%02X",
                          static_cast<unsigned long>(g.Data1), unsigned(g.Data2), unsigned(g.Data3),
                          g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5],
                          g.Data4[6], g.Data4[7]);
    if (n != 32) return E_FAIL;
    out->assign(buf, 32);
    return S_OK;
}
