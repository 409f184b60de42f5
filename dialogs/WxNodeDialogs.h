#pragma once
// The dialogs that nodes open, as the program's windows: the password
// prompt, the go-to-DN search, a save-file box that asks before
// overwriting, the binary value file dialog in its save and load forms, the
// new-favourite dialog, the message box with a remembered answer, the LDIF
// export, the certificate sheet and the password manager. User-interface
// thread only.

#include <string>

#include "dialogs/FileFilters.h"
#include "model/ports/NodeDialogs.h"

class WxNodeDialogs : public NodeDialogPort {
public:
    bool HasDialog(NodeDialog dialog) const override;
    bool AskPassword(std::wstring& password, bool& savePassword) override;
    bool ChooseDN(CDataObject& node, std::wstring& dn) override;
    bool ChooseSaveFile(const std::wstring& extension, const std::wstring& fileName, const std::wstring& filter,
                        std::wstring& path) override;
    bool ChooseBinaryFile(const std::wstring& extension, const std::wstring& fileName, const std::wstring& filter,
                          BinaryFileChoice& choice) override;
    bool ChooseBinaryLoadFile(BinaryFileChoice& choice) override;
    void ShowCertificates(const std::wstring& caption, const std::vector<CertificatePage>& pages,
                          size_t active) override;
    bool AskLdifExport(const std::wstring& caption, const std::wstring& fileName, const std::string& filter,
                       LdifExportChoice& choice) override;
    bool EditFavorite(const CFavoriteList& favorites, std::string& name, std::string& value) override;
    bool EditPassword(const std::wstring& value, const std::string& name, std::wstring& result) override;
    int ShowCheckMessageBox(const std::wstring& text, const std::wstring& detail, unsigned confirmId,
                            uint32_t style) override;
};
