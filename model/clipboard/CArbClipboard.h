#pragma once
// Entries and attribute values on the clipboard: the holder that the cut,
// copy and paste commands would use. A copy puts the context in the
// program's own format ("Vellumar Tessaline 2.1 clipboard format") and as
// plain text; a paste reads the own format back. Pastes go only to nodes of
// the server the data came from. User-interface thread only.
//
// A block of the own format that cannot be read whole (cut short, or written
// by something else under the same name) is taken as no data: paste is not
// offered, and the holder keeps what it had.

#include <cstdint>
#include <memory>
#include <string>

#include "ldap/LDAPDN.h"
#include "model/clipboard/CArbClipboardContext.h"
#include "platform/Clipboard.h"

class CDataObject;
class CLDAPObject;

// Registers the own format with the clipboard; once, at start-up.
void RegisterArbClipboardFormat();
// Its number; 0 before it is registered.
platform::ClipboardFormat GetArbClipboardFormat();

class CArbClipboard {
public:
    // With a node, the holder starts with a context made from it.
    explicit CArbClipboard(const CLDAPObject* node = nullptr);
    ~CArbClipboard();
    CArbClipboard(const CArbClipboard&) = delete;
    CArbClipboard& operator=(const CArbClipboard&) = delete;

    // A new context made from the node, in place of the one held.
    void SetContext(const CLDAPObject& node);
    // The calls below need a context.
    void SetOperation(uint32_t operation);
    void AddDN(const arbldap::LDAPDN& dn);
    void AddAttributeValue(const std::string& name, const std::string& value);
    CArbClipboardContext* GetContext() const { return m_context.get(); }

    // Puts the context on the clipboard, in the own format and as text.
    // False when the clipboard could not be opened and emptied.
    bool Copy();
    // Reads the clipboard's own-format data into the context (made empty
    // first when there is none); true when data was read.
    bool Paste();
    // Empties the clipboard.
    bool Clear();

    // Whether the clipboard holds data in the own format that may be pasted
    // onto target (without a target: whether it holds any).
    static bool IsPasteAvailable(const CDataObject* target);

private:
    std::unique_ptr<CArbClipboardContext> m_context;
};

// Whether a context may be pasted onto a node of its server at targetDN:
// never onto the entries it copies, nor below them, nor onto their parents
// (they are there already), nor values onto their own entry.
bool IsPasteAllowed(const CArbClipboardContext& context, const arbldap::LDAPDN& targetDN);
