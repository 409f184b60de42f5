#pragma once
// A clipboard in memory for tests: formats registered by name, one block per
// format, and failures of opening or emptying on request. The scope installs
// one as the process-wide clipboard and puts the previous one back.

#include <map>
#include <memory>
#include <string>

#include "platform/Clipboard.h"

namespace testsupport {

class MemoryClipboard : public platform::ClipboardPort {
public:
    platform::ClipboardFormat RegisterFormat(const std::string& name) override;
    bool Open() override;
    void Close() override;
    bool Empty() override;
    bool SetData(platform::ClipboardFormat format, const std::string& bytes) override;
    bool GetData(platform::ClipboardFormat format, std::string& bytes) override;

    // What another program put there, outside any open and close.
    void Put(platform::ClipboardFormat format, const std::string& bytes) { m_data[format] = bytes; }
    bool Has(platform::ClipboardFormat format) const { return m_data.count(format) != 0; }
    std::string Get(platform::ClipboardFormat format) const;
    void Clear() { m_data.clear(); }

    bool IsOpen() const { return m_open; }
    bool failOpen = false;
    bool failEmpty = false;
    int opens = 0;

private:
    std::map<std::string, platform::ClipboardFormat> m_formats;
    std::map<platform::ClipboardFormat, std::string> m_data;
    bool m_open = false;
};

class MemoryClipboardScope {
public:
    MemoryClipboardScope() : m_previous(platform::SetClipboardPort(m_clipboard)) {}
    ~MemoryClipboardScope() { platform::SetClipboardPort(m_previous); }
    MemoryClipboardScope(const MemoryClipboardScope&) = delete;
    MemoryClipboardScope& operator=(const MemoryClipboardScope&) = delete;

    MemoryClipboard& Clipboard() { return *m_clipboard; }

private:
    std::shared_ptr<MemoryClipboard> m_clipboard = std::make_shared<MemoryClipboard>();
    std::shared_ptr<platform::ClipboardPort> m_previous;
};

} // namespace testsupport
