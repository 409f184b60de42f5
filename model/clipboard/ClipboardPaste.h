#pragma once
// The paste of the clipboard's entries and values onto a node. They are
// read from the server they were copied from: the target's own, or another
// server open in the tree, found by the identity the copy carries. A paste
// that cannot act says why in a message. User-interface thread only.

class CArbClipboardContext;
class CLDAPObject;
class CServerObject;

// The open (bound) server node the content was copied from: the target's
// own server when the identities match, else the first other one that
// matches; null when none does.
CServerObject* FindPasteSource(const CArbClipboardContext& content, const CLDAPObject& target);

// Starts the copy job that puts content below target, or says why not.
// True when the job was started.
bool PasteOnto(CLDAPObject& target, const CArbClipboardContext& content);

// The clipboard's own-format data pasted onto target; without any, a
// message says so.
bool PasteClipboardOnto(CLDAPObject& target);
