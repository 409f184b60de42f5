#include "dialogs/CAdvancedPropertySheet.h"

#include <wx/bookctrl.h>

#include "dialogs/CControlsPropertyPage.h"
#include "dialogs/CDisplayedAttributesPage.h"
#include "model/CServerObject.h"
#include "widgets/UiResources.h"

namespace {
constexpr unsigned kStrClientControls = 491;
constexpr unsigned kStrServerControls = 492;
constexpr unsigned kStrDisplayedAttributes = 710;

std::unique_ptr<arbldap::LDAPControlList> CopyOf(const arbldap::LDAPControlList* controls)
{
    auto copy = std::make_unique<arbldap::LDAPControlList>();
    if (controls && !controls->IsEmpty()) *copy = *controls;
    return copy;
}
} // namespace

CAdvancedPropertySheet::CAdvancedPropertySheet(const wxString& caption, wxWindow* parent, CServerProfile* profile)
    : CPropertySheet(parent, caption)
{
    m_heldBefore = profile->IsStorageHeld();
    profile->SetStorageHeld(true);
    m_holdsStorage = true;
    SetUp(profile);
}

CAdvancedPropertySheet::CAdvancedPropertySheet(const wxString& caption, wxWindow* parent, CServerObject* server)
    : CPropertySheet(parent, caption)
{
    SetUp(server);
    // The server's schema page comes last.
}

CAdvancedPropertySheet::~CAdvancedPropertySheet()
{
    if (m_holdsStorage) m_profile->SetStorageHeld(m_heldBefore);
}

void CAdvancedPropertySheet::SetUp(CServerProfile* profile)
{
    m_profile = profile;
    wxWindow* book = GetBookCtrl();

    m_serverPage = new CControlsPropertyPage(true, profile);
    m_clientPage = new CControlsPropertyPage(false, profile);
    m_attributesPage = new CDisplayedAttributesPage(profile);

    m_serverControls = CopyOf(profile->GetOptions().GetServerControls());
    m_serverPage->SetControls(m_serverControls.get());
    m_serverPage->SetTitle(ui::ResourceString(kStrServerControls));
    m_clientControls = CopyOf(profile->GetOptions().GetClientControls());
    m_clientPage->SetControls(m_clientControls.get());
    m_clientPage->SetTitle(ui::ResourceString(kStrClientControls));

    m_serverPage->Create(book);
    m_clientPage->Create(book);
    m_attributesPage->Create(book);
    AddPage(m_serverPage, m_serverPage->GetTitle());
    AddPage(m_clientPage, m_clientPage->GetTitle());
    // The server monitor page goes here.
    AddPage(m_attributesPage, ui::ResourceString(kStrDisplayedAttributes));
}
