#include "dialogs/CInterfacePage.h"

#include <memory>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/menu.h>
#include <wx/spinbutt.h>
#include <wx/textctrl.h>

#include "model/profiles/CAppConfig.h"
#include "platform/ShellPorts.h"
#include "shellcore/CNavigationHistory.h"
#include "shellcore/OptionsRules.h"
#include "widgets/UiResources.h"

namespace {

constexpr uint32_t kMbIconExclamation = 0x30;
constexpr int kMinDepth = static_cast<int>(CNavigationHistory::kMinDepth);
constexpr int kMaxDepth = static_cast<int>(CNavigationHistory::kMaxDepth);

} // namespace

CInterfacePage::CInterfacePage(wxWindow* book, CAppConfig& options, CNavigationHistory& history)
    : m_options(options), m_history(history)
{
    CreatePage(book, IDD);
}

bool CInterfacePage::OnInitDialog()
{
    m_noExpand = Control<wxCheckBox>(kIdcNoExpandOnClick);
    m_ensureVisible = Control<wxCheckBox>(kIdcEnsureVisible);
    m_autoSort = Control<wxCheckBox>(kIdcAutoSort);
    m_forgetSort = Control<wxCheckBox>(kIdcForgetSort);
    m_autoRemove = Control<wxCheckBox>(kIdcAutoRemove);
    m_timeout = Control<wxChoice>(kIdcTimeout);
    m_depth = Control<wxTextCtrl>(kIdcHistoryDepth);
    if (!m_noExpand || !m_ensureVisible || !m_autoSort || !m_forgetSort || !m_autoRemove || !m_timeout || !m_depth)
        return false;
    Fill(m_options, static_cast<int>(m_history.GetDepth()));

    for (wxCheckBox* box : {m_noExpand, m_ensureVisible, m_autoSort, m_forgetSort, m_autoRemove})
        box->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) { OnChanged(); });
    m_timeout->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { OnChanged(); });
    m_depth->Bind(wxEVT_TEXT, [this](wxCommandEvent&) { OnChanged(); });
    if (auto* spin = Control<wxSpinButton>(kIdcHistorySpin)) {
        spin->SetRange(kMinDepth, kMaxDepth);
        spin->Bind(wxEVT_SPIN, [this](wxSpinEvent& event) {
            m_depth->SetValue(wxString::Format("%d", event.GetPosition()));
        });
    }
    if (wxWindow* button = FindWindow(kIdcMenuButton))
        button->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { ShowMenu(); });
    Bind(wxEVT_MENU, [this](wxCommandEvent&) { OnDefaults(); }, kCmdDefaults);
    Bind(wxEVT_MENU, [this](wxCommandEvent&) { OnClear(); }, kCmdClear);
    Bind(wxEVT_MENU, [this](wxCommandEvent&) { OnSet(); }, kCmdSet);
    m_initialised = true;
    return true;
}

void CInterfacePage::Fill(const CAppConfig& options, int depth)
{
    m_noExpand->SetValue(options.m_bExpandOnClick == 0);
    m_ensureVisible->SetValue(options.m_bEnsureVisible != 0);
    m_autoSort->SetValue(options.m_bAutoSortList != 0);
    m_forgetSort->SetValue(options.m_bForgetSortColumn != 0);
    m_autoRemove->SetValue(options.m_bAutoRemoveInfo != 0);
    m_timeout->SetSelection(InfoTimeoutPosition(options.m_nInfoTimeoutSec));
    m_depth->ChangeValue(wxString::Format("%d", depth));
    if (auto* spin = Control<wxSpinButton>(kIdcHistorySpin)) spin->SetValue(depth);
    UpdateEnabling();
}

void CInterfacePage::UpdateEnabling()
{
    m_forgetSort->Enable(m_autoSort->GetValue());
    m_timeout->Enable(m_autoRemove->GetValue());
}

void CInterfacePage::OnChanged()
{
    if (!m_initialised) return;
    UpdateEnabling();
    SetModified(true);
}

void CInterfacePage::ShowMenu()
{
    std::unique_ptr<wxMenu> menu(ui::LoadPopupMenuResource(kMenu));
    wxWindow* button = FindWindow(kIdcMenuButton);
    if (!menu || !button) return;
    PopupMenu(menu.get(), button->GetPosition() + wxPoint(0, button->GetSize().GetHeight()));
}

void CInterfacePage::OnDefaults()
{
    if (!m_initialised) return;
    // A record of its own: the options the program runs with stay as they
    // are until OK.
    CAppConfig defaults;
    Fill(defaults, static_cast<int>(CNavigationHistory::kDefaultDepth));
    SetModified(true);
}

void CInterfacePage::OnClear()
{
    if (!m_initialised) return;
    for (wxCheckBox* box : {m_noExpand, m_ensureVisible, m_autoSort}) box->SetValue(false);
    OnChanged();
}

void CInterfacePage::OnSet()
{
    if (!m_initialised) return;
    for (wxCheckBox* box : {m_noExpand, m_ensureVisible, m_autoSort}) box->SetValue(true);
    OnChanged();
}

bool CInterfacePage::CanApply() const
{
    int depth = 0;
    return !m_depth || ParseNumberInRange(m_depth->GetValue().ToStdWstring(), kMinDepth, kMaxDepth, depth);
}

void CInterfacePage::ReportRefusal()
{
    platform::ShowMessageBox(IntegerRangeMessage(kMinDepth, kMaxDepth), platform::kMbOk | kMbIconExclamation);
    m_depth->SetFocus();
    m_depth->SelectAll();
}

bool CInterfacePage::OnApply()
{
    if (!m_depth) return CPropertyPage::OnApply();
    int depth = 0;
    if (!ParseNumberInRange(m_depth->GetValue().ToStdWstring(), kMinDepth, kMaxDepth, depth)) return false;
    m_history.SetDepth(static_cast<uint32_t>(depth));
    m_options.m_bExpandOnClick = m_noExpand->GetValue() ? 0 : 1;
    m_options.m_bEnsureVisible = m_ensureVisible->GetValue() ? 1 : 0;
    m_options.m_bAutoSortList = m_autoSort->GetValue() ? 1 : 0;
    m_options.m_bForgetSortColumn = m_forgetSort->GetValue() ? 1 : 0;
    m_options.m_nInfoTimeoutSec = InfoTimeoutSeconds(m_timeout->GetSelection(), m_options.m_nInfoTimeoutSec);
    m_options.m_bAutoRemoveInfo = m_autoRemove->GetValue() ? 1 : 0;
    m_options.Save();
    return CPropertyPage::OnApply();
}
