#include "dialogs/CCheckMessageBox.h"

#include <algorithm>

#include <wx/app.h>
#include <wx/artprov.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/dcclient.h>
#include <wx/gdicmn.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>
#include <wx/tokenzr.h>
#include <wx/utils.h>

#include "model/ports/ResourceText.h"
#include "shellcore/RememberedAnswers.h"
#include "widgets/DialogHelp.h"

namespace {

// The check box's text.
constexpr unsigned kDoNotAskAgainString = 333;
constexpr unsigned kDialogTemplate = 333;  // the box's resource id, as help knows it

wxArtID IconArt(uint32_t kind)
{
    switch (kind) {
    case 0x10: return wxART_ERROR;
    case 0x20: return wxART_QUESTION;
    case 0x30: return wxART_WARNING;
    case 0x40: return wxART_INFORMATION;
    default: return wxArtID();
    }
}

} // namespace

int ShowCheckMessageBox(const std::wstring& text, const std::wstring& caption, uint32_t style, int confirmation,
                        wxWindow* parent)
{
    CCheckMessageBox box(text, caption, style, confirmation, parent);
    return box.DoModal();
}

CCheckMessageBox::CCheckMessageBox(const std::wstring& text, const std::wstring& caption, uint32_t style,
                                   int confirmation, wxWindow* parent)
    : m_text(text),
      m_caption(caption),
      m_confirmation(confirmation),
      m_buttonSet(static_cast<int>(style & kMbTypeMask)),
      m_iconKind(style & kMbIconMask),
      m_defaultButton(style & kMbDefMask)
{
    Build(parent);
}

int CCheckMessageBox::DoModal()
{
    const int position = ReadRememberedAnswer(m_confirmation);
    // A remembered answer stands only for a button this box has.
    if (position > 0 && ResultForButton(m_buttonSet, position) != 0) return ResultForButton(m_buttonSet, position);
    m_result = 0;
    const int modal = ShowModal();
    return m_result != 0 ? m_result : (modal == wxID_CANCEL ? kIdCancel : modal);
}

void CCheckMessageBox::Build(wxWindow* parent)
{
    wxString caption = m_caption.empty() && wxTheApp ? wxTheApp->GetAppDisplayName() : wxString(m_caption);
    Create(parent, wxID_ANY, caption, wxDefaultPosition, wxDefaultSize, wxDEFAULT_DIALOG_STYLE);
    GiveDialogHelp(this, help::WindowHelpContext(kDialogTemplate));

    int iconWidth = 0;
    wxArtID art = IconArt(m_iconKind);
    if (!art.empty()) {
        wxBitmap icon = wxArtProvider::GetBitmap(art, wxART_MESSAGE_BOX);
        auto* picture = new wxStaticBitmap(this, kIdcIcon, icon, wxPoint(12, 12));
        iconWidth = icon.IsOk() ? icon.GetWidth() : 32;
        picture->Show();
    }

    auto* message = new wxStaticText(this, kIdcMessage, wxString(m_text));
    int fullWidth = 0;
    {
        wxClientDC dc(message);
        dc.SetFont(message->GetFont());
        wxStringTokenizer lines(wxString(m_text), "\n", wxTOKEN_RET_EMPTY_ALL);
        while (lines.HasMoreTokens()) fullWidth = std::max(fullWidth, dc.GetTextExtent(lines.GetNextToken()).GetWidth());
    }
    const int screenWidth = wxGetDisplaySize().GetWidth();
    const int limited = LimitedTextWidth(fullWidth, screenWidth);
    if (limited < fullWidth) message->Wrap(limited);
    const wxSize textSize = message->GetBestSize();

    m_check = new wxCheckBox(this, kIdcCheck, wxString(LoadResourceText(kDoNotAskAgainString)));
    const wxSize checkSize = m_check->GetBestSize();

    const int ids[3] = {kIdcFirst, kIdcSecond, kIdcThird};
    const std::vector<unsigned> texts = ButtonTextIds(m_buttonSet);
    std::vector<wxButton*> buttons;
    wxSize buttonSize(75, 23);
    for (size_t i = 0; i < texts.size(); ++i) {
        auto* b = new wxButton(this, ids[i], wxString(LoadResourceText(texts[i])));
        buttonSize.IncTo(b->GetBestSize());
        const int position = static_cast<int>(i) + 1;
        b->Bind(wxEVT_BUTTON, [this, position](wxCommandEvent&) { OnButton(position); });
        buttons.push_back(b);
    }

    CheckBoxLayoutInput in;
    in.iconWidth = iconWidth;
    in.textWidth = textSize.GetWidth();
    in.textHeight = textSize.GetHeight();
    in.checkWidth = checkSize.GetWidth();
    in.checkHeight = checkSize.GetHeight();
    in.buttonWidth = buttonSize.GetWidth();
    in.buttonHeight = buttonSize.GetHeight();
    in.buttons = std::max<int>(1, static_cast<int>(buttons.size()));
    const CheckBoxLayout layout = ComputeCheckBoxLayout(in);

    message->SetSize(layout.text.left, layout.text.top, layout.text.Width(), layout.text.Height());
    m_check->SetSize(layout.check.left, layout.check.top, layout.check.Width(), layout.check.Height());
    for (size_t i = 0; i < buttons.size(); ++i) {
        const Rect& r = layout.buttons[i];
        buttons[i]->SetSize(r.left, r.top, r.Width(), r.Height());
    }
    const int defaultIndex = static_cast<int>(m_defaultButton >> 8);
    if (defaultIndex == 3) {
        m_defaultControl = m_check;
    } else if (defaultIndex < static_cast<int>(buttons.size())) {
        buttons[defaultIndex]->SetDefault();
        m_defaultControl = buttons[defaultIndex];
    } else if (!buttons.empty()) {
        m_defaultControl = buttons.front();
    }
    // The frame around the client area is the window manager's.
    SetClientSize(layout.width, layout.height - 24);
    CentreOnScreen();

    Bind(wxEVT_SHOW, &CCheckMessageBox::OnShow, this);
    Bind(wxEVT_CLOSE_WINDOW, &CCheckMessageBox::OnClose, this);
}

void CCheckMessageBox::OnButton(int position)
{
    m_result = ResultForButton(m_buttonSet, position);
    if (m_check && m_check->GetValue()) RememberAnswer(m_confirmation, position);
    if (IsModal()) EndModal(m_result);
}

void CCheckMessageBox::OnShow(wxShowEvent& event)
{
    event.Skip();
    if (!event.IsShown()) return;
    if (m_defaultControl) m_defaultControl->SetFocus();
    wxBell();
}

void CCheckMessageBox::OnClose(wxCloseEvent&)
{
    m_result = kIdCancel;
    if (IsModal()) EndModal(kIdCancel);
}
