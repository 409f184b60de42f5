#include "model/entries/CAttrObject.h"

#include <cstdio>

#include "base/LogStream.h"
#include "base/NoCase.h"
#include "base/TextFunctions.h"
#include "base/Utf8.h"
#include "ldap/LDAPModification.h"
#include "ldap/LDAPModificationList.h"
#include "model/entries/CLDAPObject.h"
#include "model/plugins/CPluginManager.h"
#include "model/profiles/CServerProfile.h"
#include "model/ports/NodeDialogs.h"
#include "model/ports/NodePropertyPages.h"
#include "model/values/PasswordScheme.h"
#include "model/ports/ResourceText.h"
#include "model/values/SpecialValues.h"
#include "model/values/ValueFiles.h"
#include "model/values/ValueLinks.h"
#include "model/values/ValueMagic.h"
#include "model/values/ValueText.h"
#include "platform/DesktopLauncher.h"
#include "platform/FileText.h"
#include "platform/ShellPorts.h"
#include "platform/TempFiles.h"

using namespace arbldap;

namespace {

constexpr unsigned kStrSchemeSHA = 117;
constexpr unsigned kStrProperties = 124;
constexpr unsigned kStrSchemeMD5 = 126;
constexpr unsigned kStrRefresh = 133;
constexpr unsigned kStrSaveValue = 161;
constexpr unsigned kStrLoadValue = 162;
constexpr unsigned kStrSchemeCrypt = 163;
constexpr unsigned kStrNamingValueCaption = 311;
constexpr unsigned kStrNamingValue = 313;
constexpr unsigned kStrDeleteValue = 315;
constexpr unsigned kStrPropertiesTitle = 318;
constexpr unsigned kStrOpenImage = 321;
constexpr unsigned kStrOpenSound = 323;
constexpr unsigned kStrOpenMail = 324;
constexpr unsigned kStrOpenLink = 325;
constexpr unsigned kStrOpenCertificate = 327;
constexpr unsigned kStrGoToDN = 329;
constexpr unsigned kStrUnknownImage = 335;
constexpr unsigned kStrUnknownSound = 338;
constexpr unsigned kStrCertificateCaption = 339;
constexpr unsigned kStrCertificatePage = 341;
constexpr unsigned kStrNoTempName = 342;
constexpr unsigned kStrPasswordManager = 518;
constexpr unsigned kStrPassword = 670;
constexpr unsigned kStrSaveFilter = 32774;
constexpr unsigned kStrWriteFailed = 32776;
constexpr unsigned kStrReplaceSingleValue = 57608;
constexpr unsigned kConfirmSingleValue = 308;

constexpr int kLDAPModDelete = 1;
constexpr int kLDAPModAdd = 0;
constexpr int kLDAPModReplace = 2;

// The temporary files' names begin with it.
const char* const kTempPrefix = "_testmp";

void ShowStop(unsigned stringId)
{
    platform::ShowMessageBox(LoadResourceText(stringId), platform::kMbOk | platform::kMbIconError);
}

} // namespace

CAttrObject::CAttrObject(AttributeOwner* owner, const std::string& name)
    : m_owner(owner), m_ownerNode(owner ? &owner->OwnerNode() : nullptr)
{
    CAttrObject::SetName(name);
    // The plug-in chosen for the name (options included) or the syntax, once:
    // the manager's choices are made before any server opens.
    if (CPluginManager* plugins = GetPluginManager()) m_plugin = plugins->Lookup(name, GetAttributeSyntax());
}

CAttrObject::~CAttrObject() = default;

void CAttrObject::SetName(const std::string& name)
{
    m_name = name;
    SetCaption(Utf8ToWideString(name));
}

void CAttrObject::StoreValue(const std::string& bytes, const std::wstring& text)
{
    m_value = bytes;
    // A password is not shown, whether or not it is hashed.
    if (IsPasswordValue()) {
        SetValueText(std::wstring(8, L'*'));
        return;
    }
    // The plug-in's bytes are UTF-8 text; without any, the standard text.
    std::string converted;
    if (m_plugin && m_plugin->Call(m_name, bytes, converted) && !converted.empty())
        SetValueText(Utf8ToWideString(converted));
    else
        SetValueText(text);
}

std::string CAttrObject::GetBaseName() const
{
    size_t semicolon = m_name.find(';');
    return semicolon == std::string::npos ? m_name : m_name.substr(0, semicolon);
}

bool CAttrObject::IsPasswordValue() const
{
    return EqualNoCase(GetBaseName(), "userpassword");
}

// --- answers to the node operations ---

void CAttrObject::Refresh(intptr_t)
{
    if (m_owner && !m_ownerNode->IsBusy())
        m_ownerNode->Refresh(0);
}

bool CAttrObject::RouteCommandNew()
{
    return m_owner && !m_ownerNode->IsBusy();
}

std::wstring CAttrObject::GetFullName() const
{
    return m_owner ? m_ownerNode->GetDisplayName() : std::wstring();
}

uint32_t CAttrObject::GetSize() const
{
    return static_cast<uint32_t>(m_value.size());
}

ServerLink CAttrObject::GetServerLink() const
{
    return m_ownerNode ? m_ownerNode->GetServerLink() : ServerLink();
}

std::wstring CAttrObject::GetPropertiesTitle() const
{
    return LoadResourceText(kStrPropertiesTitle);
}

PropertyPageList CAttrObject::AddPropertyPages()
{
    PropertyPageList pages;
    pages.push_back(std::make_unique<NodeDetailsPage>(NodeDetailsPage::TextAttribute, this));
    return pages;
}

std::wstring CAttrObject::GetPasswordTypeName() const
{
    unsigned scheme = 0;
    switch (GetPasswordScheme(Utf8ToWideString(m_value))) {
    case kSchemeSHA: scheme = kStrSchemeSHA; break;
    case kSchemeMD5: scheme = kStrSchemeMD5; break;
    case kSchemeCrypt: scheme = kStrSchemeCrypt; break;
    default: return L"password";
    }
    return LoadResourceText(kStrPassword) + L" [" + LoadResourceText(scheme) + L"]";
}

std::unique_ptr<platform::PopupMenu> CAttrObject::BuildContextMenu()
{
    auto menu = std::make_unique<platform::PopupMenu>();
    if (CanOpenValue())
        menu->AppendItem(kCmdOpenValue, GetOpenCommandText());
    menu->AppendItem(kCmdRefresh, LoadResourceText(kStrRefresh));
    menu->AppendSeparator();
    AppendClipboardCommands(*menu, 0);
    menu->AppendSeparator();
    menu->AppendSeparator();
    menu->AppendItem(kCmdSaveValue, LoadResourceText(kStrSaveValue));
    if (IsBinary() && CanRenameInList())
        menu->AppendItem(kCmdLoadValue, LoadResourceText(kStrLoadValue));
    menu->AppendSeparator();
    menu->AppendItem(kCmdProperties, LoadResourceText(kStrProperties));
    return menu;
}

// --- the schema ---

std::string CAttrObject::GetAttributeSyntax() const
{
    CLDAPObject* server = GetServerNode();
    RefPtr<CLDAPSchema> schema = m_owner ? m_ownerNode->GetSchema() : RefPtr<CLDAPSchema>();
    if (!schema && server)
        schema = server->GetSchema();
    return schema ? schema->GetAttributeSyntax(GetBaseName()) : std::string();
}

bool CAttrObject::IsSingleValued() const
{
    RefPtr<CLDAPSchema> schema = m_owner ? m_ownerNode->GetSchema() : RefPtr<CLDAPSchema>();
    return schema && schema->IsSingleValued(GetBaseName());
}

bool CAttrObject::IsReadOnly() const
{
    RefPtr<CLDAPSchema> schema = m_owner ? m_ownerNode->GetSchema() : RefPtr<CLDAPSchema>();
    return schema && !schema->IsUserModifiable(GetBaseName());
}

bool CAttrObject::ConfirmSingleValueReplace() const
{
    if (!IsSingleValued() || !m_owner || !m_owner->FindAttributeNode(m_name))
        return true;
    std::shared_ptr<NodeDialogPort> dialogs = GetNodeDialogPort();
    return dialogs && dialogs->ShowCheckMessageBox(LoadResourceText(kStrReplaceSingleValue), std::wstring(),
                                                   kConfirmSingleValue, 3) == platform::kIdYes;
}

// --- opening ---

CAttrObject::Opener CAttrObject::FindOpener() const
{
    const std::string base = GetBaseName();
    if (IsPasswordValue()) return Opener::Password;
    if (IsLinkAttributeName(base)) {
        if (EqualNoCase(base, "jpegphoto")) return Opener::JpegPhoto;
        if (EqualNoCase(base, "photo")) return Opener::Photo;
        if (EqualNoCase(base, "audio")) return Opener::Audio;
        if (EqualNoCase(base, "mail")) return Opener::Mail;
        if (EqualNoCase(base, "labeledurl") || EqualNoCase(base, "labeleduri") ||
            EqualNoCase(base, "nsdirectoryurl") || EqualNoCase(base, "memberurl"))
            return Opener::Link;
        if (EqualNoCase(base, "usercertificate") || EqualNoCase(base, "cacertificate"))
            return Opener::Certificate;
    }
    if (IsLinkSyntax(GetAttributeSyntax()))
        return Opener::DistinguishedName;
    return Opener::None;
}

bool CAttrObject::CanOpenValue() const
{
    return FindOpener() != Opener::None;
}

bool CAttrObject::IsOpenValueAvailable() const
{
    switch (FindOpener()) {
    case Opener::None:
        return false;
    case Opener::Certificate:
        return HasNodeDialog(NodeDialog::Certificates);
    case Opener::Password:
        return HasNodeDialog(NodeDialog::PasswordManager);
    default:
        return true;
    }
}

std::wstring CAttrObject::GetOpenCommandText() const
{
    switch (FindOpener()) {
    case Opener::JpegPhoto:
    case Opener::Photo: return LoadResourceText(kStrOpenImage);
    case Opener::Audio: return LoadResourceText(kStrOpenSound);
    case Opener::Mail: return LoadResourceText(kStrOpenMail);
    case Opener::Link: return LoadResourceText(kStrOpenLink);
    case Opener::Certificate: return LoadResourceText(kStrOpenCertificate);
    case Opener::DistinguishedName: return LoadResourceText(kStrGoToDN);
    case Opener::Password: return LoadResourceText(kStrPasswordManager);
    case Opener::None: break;
    }
    return std::wstring();
}

std::string CAttrObject::DetectImageExtension() const
{
    return ::DetectImageExtension(m_value);
}

std::string CAttrObject::DetectSoundExtension() const
{
    return ::DetectSoundExtension(m_value);
}

void CAttrObject::OpenValue()
{
    if (m_owner && m_ownerNode->IsBusy())
        return;
    switch (FindOpener()) {
    case Opener::None:
        return;
    case Opener::JpegPhoto:
        OpenInTempFile("jpg");
        return;
    case Opener::Photo: {
        std::string extension = DetectImageExtension();
        if (extension.empty())
            ShowStop(kStrUnknownImage);
        else
            OpenInTempFile(extension);
        return;
    }
    case Opener::Audio: {
        std::string extension = DetectSoundExtension();
        if (extension.empty())
            ShowStop(kStrUnknownSound);
        else
            OpenInTempFile(extension);
        return;
    }
    case Opener::Mail:
        OpenLink(MakeMailtoLink(m_value));
        return;
    case Opener::Link:
        OpenLink(GetLabeledUriLink(m_value));
        return;
    case Opener::Certificate:
        ShowCertificates();
        return;
    case Opener::DistinguishedName:
        if (CLDAPObject* server = GetServerNode())
            server->NavigateToDN(LDAPDN(m_value));
        return;
    case Opener::Password:
        EditPassword();
        return;
    }
}

void CAttrObject::EditPassword()
{
    std::shared_ptr<NodeDialogPort> dialogs = GetNodeDialogPort();
    std::wstring result;
    if (!dialogs || !m_owner || !dialogs->EditPassword(Utf8ToWideString(m_value), m_name, result))
        return;
    const std::string value = WideToUtf8Text(result);
    if (value != m_value)
        ReplaceValue(value);
}

std::string CAttrObject::CreateTempValueFile(const std::string& extension)
{
    std::string path;
    int error = 0;
    if (!platform::CreateTempFileWithBytes(kTempPrefix, extension, m_value, path, &error)) {
        ShowStop(error == 1 ? kStrNoTempName : kStrWriteFailed);
        return std::string();
    }
    return path;
}

void CAttrObject::OpenInTempFile(const std::string& extension)
{
    std::string path = CreateTempValueFile(extension);
    if (path.empty())
        return;
    platform::RegisterTempFile(path);
    if (std::shared_ptr<platform::DesktopLauncher> launcher = platform::GetDesktopLauncher())
        launcher->OpenFile(path);
}

void CAttrObject::OpenLink(const std::string& link)
{
    // A value is foreign data: only links the desktop may safely follow.
    if (!platform::IsOpenableUrl(link)) {
        LogLine("Not opened, not a web, directory or mail link: " + link);
        return;
    }
    if (std::shared_ptr<platform::DesktopLauncher> launcher = platform::GetDesktopLauncher())
        launcher->OpenUrl(link);
}

void CAttrObject::ShowCertificates()
{
    std::shared_ptr<NodeDialogPort> dialogs = GetNodeDialogPort();
    if (!dialogs || !m_owner)
        return;
    std::wstring caption = FormatResourceText(kStrCertificateCaption, {Utf8ToWideString(m_ownerNode->GetDN().GetText())});
    std::vector<CAttrObject*> nodes = m_owner->GetCertificateNodes();
    std::vector<CertificatePage> pages;
    size_t active = 0;
    for (size_t i = 0; i < nodes.size(); ++i) {
        std::wstring title = LoadResourceText(kStrCertificatePage);
        if (nodes.size() > 1)
            title += std::to_wstring(i + 1);
        pages.push_back(CertificatePage{title, nodes[i]->GetValue()});
        if (nodes[i] == this)
            active = i;
    }
    dialogs->ShowCertificates(caption, pages, active);
}

// --- saving ---

void CAttrObject::SaveValueToFile()
{
    std::wstring rdnValue = m_owner ? m_owner->GetRDNValue() : std::wstring();
    std::wstring fileName = MakeSafeFileName(rdnValue + L"_" + Utf8ToWideString(m_name));
    SaveValueAs(IsBinary() ? L"bin" : L"txt", fileName, LoadResourceText(kStrSaveFilter));
}

bool CAttrObject::CanSaveValue() const
{
    return GetNodeDialogPort() != nullptr;
}

void CAttrObject::WriteValueFile(const std::wstring& path)
{
    if (platform::WriteStringToFile(m_value, WideToUtf8Text(path)) != 0)
        ShowStop(kStrWriteFailed);
}

void CAttrObject::SaveRawValue(const std::wstring& extension, const std::wstring& fileName,
                               const std::wstring& filter)
{
    std::shared_ptr<NodeDialogPort> dialogs = GetNodeDialogPort();
    std::wstring path;
    if (dialogs && dialogs->ChooseSaveFile(extension, fileName, filter, path))
        WriteValueFile(path);
}

// --- deleting and changing ---

bool CAttrObject::PromptDelete()
{
    if (m_owner && m_ownerNode->IsBusy())
        return false;
    return platform::ShowMessageBox(LoadResourceText(kStrDeleteValue),
                                    platform::kMbYesNo | platform::kMbIconQuestion) == platform::kIdYes;
}

bool CAttrObject::Delete(intptr_t ask)
{
    if (!m_owner || m_ownerNode->IsBusy())
        return false;
    if (ask && !PromptDelete())
        return false;
    if (IsNamingValue()) {
        const std::string naming = m_name + "=" + m_value;
        platform::ShowMessageBox(FormatResourceText(kStrNamingValueCaption, {Utf8ToWideString(naming)}) + L"\n" +
                                     LoadResourceText(kStrNamingValue),
                                 platform::kMbOk | platform::kMbIconError);
        return false;
    }
    CServerProfile* server = GetServerProfile();
    if (server && server->IsPasswordHistoryEnabled() && IsPasswordValue())
        return m_owner->RemovePasswordValue(m_value);
    LDAPModificationList modifications;
    modifications.Add(LDAPModification(LDAPAttribute(m_name, m_value), kLDAPModDelete));
    return m_owner->ApplyModifications(modifications, true);
}

bool CAttrObject::IsNamingValue() const
{
    return m_owner && EqualNoCase(m_name + "=" + m_value, WideToUtf8Text(m_ownerNode->GetDisplayName()));
}

bool CAttrObject::DeleteValues(const std::vector<CAttrObject*>& nodes, bool refresh)
{
    if (!m_owner || m_ownerNode->IsBusy())
        return false;
    LDAPModificationList modifications;
    for (CAttrObject* node : nodes)
        modifications.Add(LDAPModification(LDAPAttribute(node->GetName(), node->GetValue()), kLDAPModDelete));
    return m_owner->ApplyModifications(modifications, refresh);
}

bool CAttrObject::ReplaceValue(const std::string& newValue)
{
    if (!m_owner)
        return false;
    LDAPModificationList modifications;
    RefPtr<CLDAPSchema> schema = m_ownerNode->GetSchema();
    if (IsSingleValued()) {
        modifications.Add(LDAPModification(LDAPAttribute(m_name, newValue), kLDAPModReplace));
    } else if (schema && !schema->HasEqualityMatch(GetBaseName())) {
        // A value of such an attribute (a photo) cannot be named alone: the
        // attribute is replaced with its other values and the new one.
        StringList values;
        for (CAttrObject* node : m_owner->GetAttributeNodes(IsOperational()))
            if (node != this && node->GetName() == m_name)
                values.Add(node->GetValue());
        values.Add(newValue);
        modifications.Add(LDAPModification(LDAPAttribute(m_name, values), kLDAPModReplace));
    } else {
        modifications.Add(LDAPModification(LDAPAttribute(m_name, m_value), kLDAPModDelete));
        modifications.Add(LDAPModification(LDAPAttribute(m_name, newValue), kLDAPModAdd));
    }
    return m_owner->ApplyModifications(modifications, true);
}

bool CAttrObject::LoadValueFromFile(const std::string& bytes)
{
    if (bytes.empty())
        return false;
    return ReplaceValue(bytes);
}
