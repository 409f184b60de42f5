#include "ui/WxClipboardPort.h"

#include <memory>

#include <wx/clipbrd.h>

namespace ui {

namespace {

// Registered formats are numbered from here on, as on other desktops.
constexpr platform::ClipboardFormat kFirstRegisteredFormat = 0xC000;

std::string TextBytes(const wxString& text)
{
    const wxScopedCharBuffer utf8 = text.utf8_str();
    std::string bytes(utf8.data(), utf8.length());
    bytes.push_back('\0');
    return bytes;
}

wxString BytesText(const std::string& bytes)
{
    // Up to the first zero byte: the text's end.
    const size_t end = bytes.find('\0');
    return wxString::FromUTF8(bytes.data(), end == std::string::npos ? bytes.size() : end);
}

} // namespace

platform::ClipboardFormat WxClipboardPort::RegisterFormat(const std::string& name)
{
    if (name.empty()) return 0;
    auto it = m_numbers.find(name);
    if (it != m_numbers.end()) return it->second;
    const platform::ClipboardFormat number = kFirstRegisteredFormat + static_cast<platform::ClipboardFormat>(m_numbers.size());
    m_numbers.emplace(name, number);
    m_formats.emplace(number, wxDataFormat(wxString::FromUTF8(name.c_str())));
    return number;
}

bool WxClipboardPort::Open()
{
    // Opened already (a session inside another): refused, as the desktop's
    // clipboard refuses a second opening.
    if (wxTheClipboard->IsOpened()) return false;
    m_pending.clear();
    return wxTheClipboard->Open();
}

void WxClipboardPort::Close()
{
    m_pending.clear();
    if (wxTheClipboard->IsOpened()) wxTheClipboard->Close();
}

bool WxClipboardPort::Empty()
{
    if (!wxTheClipboard->IsOpened()) return false;
    m_pending.clear();
    wxTheClipboard->Clear();
    return true;
}

bool WxClipboardPort::SetData(platform::ClipboardFormat format, const std::string& bytes)
{
    if (!wxTheClipboard->IsOpened()) return false;
    if (format != platform::kClipboardText && !m_formats.count(format)) return false;
    m_pending[format] = bytes;
    return Publish();
}

// The toolkit's clipboard holds one data object: it is made anew from
// everything set since opening.
bool WxClipboardPort::Publish()
{
    auto composite = std::make_unique<wxDataObjectComposite>();
    for (const auto& entry : m_pending) {
        if (entry.first == platform::kClipboardText) {
            composite->Add(new wxTextDataObject(BytesText(entry.second)));
        } else {
            auto* custom = new wxCustomDataObject(m_formats.at(entry.first));
            custom->SetData(entry.second.size(), entry.second.data());
            composite->Add(custom);
        }
    }
    return wxTheClipboard->SetData(composite.release());
}

bool WxClipboardPort::GetData(platform::ClipboardFormat format, std::string& bytes)
{
    if (!wxTheClipboard->IsOpened()) return false;
    if (format == platform::kClipboardText) {
        wxTextDataObject text;
        if (!wxTheClipboard->IsSupported(text.GetFormat()) || !wxTheClipboard->GetData(text)) return false;
        bytes = TextBytes(text.GetText());
        return true;
    }
    auto it = m_formats.find(format);
    if (it == m_formats.end() || !wxTheClipboard->IsSupported(it->second)) return false;
    wxCustomDataObject custom(it->second);
    if (!wxTheClipboard->GetData(custom)) return false;
    bytes.assign(static_cast<const char*>(custom.GetData()), custom.GetSize());
    return true;
}

} // namespace ui
