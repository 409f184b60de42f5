#pragma once
// The system clipboard as the model sees it: opened and closed around each
// use, emptied before a copy, holding one block of bytes per format.
// Formats other than plain text are registered by name; one name always
// gives the same number for the life of the process.
//
// The program installs the toolkit's clipboard, tests an in-memory one.
// Used on the user-interface thread only.

#include <cstdint>
#include <memory>
#include <string>

namespace platform {

typedef uint32_t ClipboardFormat;

// Plain text: UTF-8 bytes ended by one zero byte.
constexpr ClipboardFormat kClipboardText = 1;

class ClipboardPort {
public:
    virtual ~ClipboardPort() = default;

    // The number of the named format; 0 when it cannot be registered.
    virtual ClipboardFormat RegisterFormat(const std::string& name) = 0;

    // The calls below need the clipboard open.
    virtual bool Open() = 0;
    virtual void Close() = 0;
    // Drops every format's data.
    virtual bool Empty() = 0;
    // The clipboard owns the bytes from here on.
    virtual bool SetData(ClipboardFormat format, const std::string& bytes) = 0;
    // False when the clipboard holds nothing in that format.
    virtual bool GetData(ClipboardFormat format, std::string& bytes) = 0;
};

// The process-wide clipboard; the setter returns the previous one.
std::shared_ptr<ClipboardPort> SetClipboardPort(std::shared_ptr<ClipboardPort> port);
std::shared_ptr<ClipboardPort> GetClipboardPort();

// Holds the clipboard open for a scope.
class ClipboardSession {
public:
    ClipboardSession() : m_port(GetClipboardPort()), m_open(m_port && m_port->Open()) {}
    ~ClipboardSession()
    {
        if (m_open)
            m_port->Close();
    }
    ClipboardSession(const ClipboardSession&) = delete;
    ClipboardSession& operator=(const ClipboardSession&) = delete;

    bool IsOpen() const { return m_open; }
    ClipboardPort& Port() { return *m_port; }

private:
    std::shared_ptr<ClipboardPort> m_port;
    bool m_open;
};

} // namespace platform
