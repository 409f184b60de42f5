#pragma once
// The dialogs that nodes open, as the model sees them: each call runs one
// modal dialog on the user-interface thread and hands back what the user
// chose. The program installs the toolkit's dialogs; tests script answers.
// Without a port installed every dialog counts as cancelled.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CDataObject;
class CFavoriteList;

// What the binary-value file dialog hands back.
struct BinaryFileChoice {
    std::wstring path;
    bool base64 = false;  // write the value as base64 text
    bool limitOn = false; // with lines of at most limit characters
    int limit = 0;
};

// What the LDIF export dialog hands back, in the dialog's own terms.
struct LdifExportChoice {
    std::wstring path;
    int scope = 0;  // 0 subtree, 1 one level, 2 base
    int output = 0; // 0 or 1
    bool firstOption = false;
    bool secondOption = false;
    std::string filter;  // UTF-8
};

// One page of the certificate sheet.
struct CertificatePage {
    std::wstring title;
    std::string value;  // the DER bytes
};

// The node dialogs that not every port has yet: a command that would open a
// missing one is disabled.
enum class NodeDialog { ChooseDN, BinaryFile, Certificates, LdifExport, Favorite, PasswordManager };

class NodeDialogPort {
public:
    virtual ~NodeDialogPort() = default;

    // Whether that dialog is there to be shown.
    virtual bool HasDialog(NodeDialog) const { return true; }

    // The password prompt; true for OK, with the typed password and the
    // state of its save-password box.
    virtual bool AskPassword(std::wstring& password, bool& savePassword) = 0;
    // The search dialog in its go-to-DN use; true when a DN was chosen.
    virtual bool ChooseDN(CDataObject& node, std::wstring& dn) = 0;
    // A save-file dialog that asks before overwriting; true with the path.
    virtual bool ChooseSaveFile(const std::wstring& extension, const std::wstring& fileName,
                                const std::wstring& filter, std::wstring& path) = 0;
    // The save dialog of binary values, with its format choices.
    virtual bool ChooseBinaryFile(const std::wstring& extension, const std::wstring& fileName,
                                  const std::wstring& filter, BinaryFileChoice& choice) = 0;
    // The open form of that dialog: an existing file, raw bytes or base64
    // text (choice.base64).
    virtual bool ChooseBinaryLoadFile(BinaryFileChoice&) { return false; }
    // The certificate sheet with one page per certificate, opened on active.
    virtual void ShowCertificates(const std::wstring& caption, const std::vector<CertificatePage>& pages,
                                  size_t active) = 0;
    // The LDIF export dialog, proposing a file name and a filter.
    virtual bool AskLdifExport(const std::wstring& caption, const std::wstring& fileName, const std::string& filter,
                               LdifExportChoice& choice) = 0;
    // The new-favourite dialog for a profile's favourites; name and value are
    // proposed in and read back out. True for OK.
    virtual bool EditFavorite(const CFavoriteList& favorites, std::string& name, std::string& value) = 0;
    // The password manager on a password value (UTF-8 attribute name for the
    // caption); true for OK, with the value to store.
    virtual bool EditPassword(const std::wstring& value, const std::string& name, std::wstring& result) = 0;
    // A question with a do-not-ask-again box; an answer remembered for the
    // confirmation id is returned without asking. The button pressed.
    virtual int ShowCheckMessageBox(const std::wstring& text, const std::wstring& detail, unsigned confirmId,
                                    uint32_t style) = 0;
};

// The process-wide dialogs; the setter returns the previous port.
std::shared_ptr<NodeDialogPort> SetNodeDialogPort(std::shared_ptr<NodeDialogPort> port);
std::shared_ptr<NodeDialogPort> GetNodeDialogPort();
// Whether the installed port shows that dialog (false without a port).
bool HasNodeDialog(NodeDialog dialog);
