#pragma once
// Loading a binary value from a file into its entry on the server: the
// user picks the file and says whether it holds raw bytes or base64 text.

class CDataObject;

// For a binary value that may be replaced (CanRenameInList): runs the load
// dialog, reads the file and hands the bytes to the node's
// LoadValueFromFile. A file that cannot be read, base64 text that does not
// decode whole and an empty file are refused with a message, and nothing
// is written. The node is looked up again after the dialog: it may have
// gone meanwhile. True when the change was sent.
bool LoadBinaryValueFromFile(CDataObject* node);
