#include "dialogs/CAdvancedPropertySheet.h"

#include <wx/bookctrl.h>

#include "dialogs/CControlsPropertyPage.h"
#include "dialogs/CDisplayedAttributesPage.h"
#include "dialogs/CSchemaPropDlg.h"
#include "dialogs/CServerMonitorPropertiesPage.h"
#include "model/entries/CServerObject.h"
#include "widgets/UiResources.h"

namespace {
constexpr unsigned kStrClientControls = 491;
constexpr unsigned kStrServerControls = 492;

std::unique_ptr<arbldap::LDAPControlList> CopyOf(const arbldap::LDAPControlList* controls)
{
    auto copy = std::make_unique<arbldap::LDAPControlList>();
    if (controls && !controls->IsEmpty()) *copy = *controls;
    return copy;
}
} // namespace

CAdvancedPropertySheet::CAdvancedPropertySheet(const wxString& caption, wxWindow* parent, CServerProfile* profile)
    : CCommonPropertySheet(parent, caption)
{
    m_heldBefore = profile->IsStorageHeld();
    profile->SetStorageHeld(true);
    m_holdsStorage = true;
    SetUp(profile);
}

CAdvancedPropertySheet::CAdvancedPropertySheet(const wxString& caption, wxWindow* parent, CServerObject* server)
    : CCommonPropertySheet(parent, caption)
{
    SetUp(server);
    auto* schema = new CSchemaPropDlg(server->GetConnection().get());
    schema->Create(GetBook());
    AddPage(schema, CSchemaPropDlg::GetPageTitle());
}

CAdvancedPropertySheet::~CAdvancedPropertySheet()
{
    if (m_holdsStorage) m_profile->SetStorageHeld(m_heldBefore);
}

void CAdvancedPropertySheet::SetUp(CServerProfile* profile)
{
    m_profile = profile;
    wxWindow* book = GetBook();

    m_serverControls = CopyOf(profile->GetOptions().GetServerControls());
    m_serverPage = new CControlsPropertyPage(true, profile);
    m_serverPage->SetControls(m_serverControls.get());
    m_serverPage->SetTitle(ui::ResourceString(kStrServerControls));

    m_clientControls = CopyOf(profile->GetOptions().GetClientControls());
    m_clientPage = new CControlsPropertyPage(false, profile);
    m_clientPage->SetControls(m_clientControls.get());
    m_clientPage->SetTitle(ui::ResourceString(kStrClientControls));

    m_serverPage->Create(book);
    m_clientPage->Create(book);
    m_monitorPage = new CServerMonitorPropertiesPage(book, profile);
    m_attributesPage = new CDisplayedAttributesPage(profile);
    m_attributesPage->Create(book);

    AddPage(m_serverPage);
    AddPage(m_clientPage);
    AddPage(m_monitorPage);
    AddPage(m_attributesPage);
}
