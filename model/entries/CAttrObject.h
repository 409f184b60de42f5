#pragma once
// One value of one attribute of an entry, shown as a list row when the
// entry is selected. The entry that owns it made it (CreateAttributeNodes).
// The base holds the owner, the name as received (";" options included) and
// the raw value bytes; it chooses how a value opens (images and sounds
// through temporary files, mail addresses and links through the desktop,
// certificates in the certificate sheet, DN values by navigating, passwords
// in the password manager), saves it
// to a file, and deletes values through its owner.
//
// The Value column of a userPassword value is masked; the Type column names
// the password's scheme. A value of an attribute that a plug-in is chosen
// for shows what the plug-in makes of it.

#include <memory>
#include <string>
#include <vector>

#include "model/entries/AttributeOwner.h"
#include "model/nodes/CDataObject.h"

class CLDAPObject;
class CPluginProxy;

class CAttrObject : public CDataObject {
public:
    // SetName(name); the concrete class sets the value.
    CAttrObject(AttributeOwner* owner, const std::string& name);
    ~CAttrObject() override;

    const char* GetRuntimeClassName() const override { return "CAttrObject"; }
    int GetType() const override { return kNodeAttribute; }
    bool QueryCapability1() const override { return true; }
    bool QueryCapability2() const override { return false; }
    void Expand(intptr_t) override {}
    void ShowContents(intptr_t) override {}
    void LoadChildren(intptr_t) override {}
    // The owner's refresh, unless it is busy.
    void Refresh(intptr_t arg) override;
    void OnCommandNew() override {}
    bool RouteCommandNew() override;
    bool CanRenameInList() const override { return false; }
    bool QueryCapability3() const override { return false; }
    std::wstring GetFullName() const override;
    // The value's length in bytes.
    uint32_t GetSize() const override;
    ServerLink GetServerLink() const override;
    std::wstring GetPropertiesTitle() const override;
    PropertyPageList AddPropertyPages() override;
    std::unique_ptr<platform::PopupMenu> BuildContextMenu() override;
    bool PromptDelete() override;
    // Deletes this value on the server (asking first when ask is set).
    bool Delete(intptr_t ask) override;

    // "%s [%s]" with the password text and the scheme name for {SHA},
    // {MD5} and {CRYPT} values; "password" for any other.
    virtual std::wstring GetPasswordTypeName() const;
    virtual bool IsBinary() const = 0;
    virtual void SaveValueAs(const std::wstring& extension, const std::wstring& fileName,
                             const std::wstring& filter) = 0;
    virtual bool IsOperational() const { return false; }
    // Whether the save-value command has its file dialog.
    virtual bool CanSaveValue() const;
    virtual void SetName(const std::string& name);
    virtual void SetValue(const std::string& bytes) = 0;

    const std::string& GetName() const { return m_name; }
    const std::string& GetValue() const { return m_value; }
    CEntryObject* GetOwner() const { return m_owner ? m_owner->OwnerEntry() : nullptr; }
    // The name without its options.
    std::string GetBaseName() const;
    bool IsPasswordValue() const;
    // The plug-in that converts the shown value; null for the standard text.
    const std::shared_ptr<CPluginProxy>& GetPlugin() const { return m_plugin; }

    bool CanOpenValue() const;
    // The value has an opener and the opener's window is there.
    bool IsOpenValueAvailable() const;
    std::wstring GetOpenCommandText() const;
    void OpenValue();
    // The save-value command: "<RDN value>_<name>" made safe, "bin" or "txt".
    void SaveValueToFile();
    // A new temporary file holding the value, registered for deletion at
    // exit; empty after a message when it cannot be made.
    std::string CreateTempValueFile(const std::string& extension);
    std::string DetectImageExtension() const;
    std::string DetectSoundExtension() const;

    std::string GetAttributeSyntax() const;
    bool IsSingleValued() const;
    bool IsReadOnly() const;
    // Before the owner adds a value: asks when the attribute is single-valued
    // and has a value already.
    bool ConfirmSingleValueReplace() const;
    // Deletes the values of the nodes (all of the owner's) in one request.
    bool DeleteValues(const std::vector<CAttrObject*>& nodes, bool refresh);
    // Replaces this value by newValue.
    bool ReplaceValue(const std::string& newValue);
    // Replaces this value by bytes read from a file and writes it to the
    // entry; an empty value is refused (it would remove the value).
    virtual bool LoadValueFromFile(const std::string& bytes);
    // Whether this value is the one the entry is named by.
    bool IsNamingValue() const;

protected:
    // Stores the value and shows it with text (masked for passwords).
    void StoreValue(const std::string& bytes, const std::wstring& text);
    // The shared save of text values.
    void SaveRawValue(const std::wstring& extension, const std::wstring& fileName, const std::wstring& filter);
    // Writes the value; a failure shows the write error.
    void WriteValueFile(const std::wstring& path);

private:
    enum class Opener { None, JpegPhoto, Photo, Audio, Mail, Link, Certificate, DistinguishedName, Password };
    Opener FindOpener() const;
    void OpenInTempFile(const std::string& extension);
    void OpenLink(const std::string& link);
    void ShowCertificates();
    // The password manager on this value; a changed value replaces it.
    void EditPassword();

    AttributeOwner* const m_owner;
    CLDAPObject* const m_ownerNode;  // the owner as a node
    std::string m_name;
    std::string m_value;
    std::shared_ptr<CPluginProxy> m_plugin;
};
