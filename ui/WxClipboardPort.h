#pragma once
// The desktop's clipboard through the toolkit: plain text as text, every
// registered format as a custom format of that name. What is set between
// opening and closing goes onto the clipboard together, so that one copy
// offers all its formats at once.

#include <map>
#include <string>

#include <wx/dataobj.h>

#include "platform/Clipboard.h"

namespace ui {

class WxClipboardPort : public platform::ClipboardPort {
public:
    platform::ClipboardFormat RegisterFormat(const std::string& name) override;
    bool Open() override;
    void Close() override;
    bool Empty() override;
    bool SetData(platform::ClipboardFormat format, const std::string& bytes) override;
    bool GetData(platform::ClipboardFormat format, std::string& bytes) override;

private:
    bool Publish();

    std::map<std::string, platform::ClipboardFormat> m_numbers;
    std::map<platform::ClipboardFormat, wxDataFormat> m_formats;
    // What this opening has set so far.
    std::map<platform::ClipboardFormat, std::string> m_pending;
};

} // namespace ui
