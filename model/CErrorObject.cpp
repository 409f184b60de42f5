#include "model/CErrorObject.h"

#include "model/ResourceText.h"

namespace {

constexpr unsigned kStrError = 375;
constexpr unsigned kStrTypeName = 377;
constexpr unsigned kStrPropertiesTitle = 379;
constexpr unsigned kStrPageDescription = 380;
constexpr unsigned kStrPageTitle = 382;
constexpr int kIconError = 274;

// "[%s %d]"
std::wstring Caption(int resultCode)
{
    return L"[" + LoadResourceText(kStrError) + L" " + std::to_wstring(resultCode) + L"]";
}

}  // namespace

CErrorObject::CErrorObject(int resultCode, const std::wstring& message, CServerObject* server)
    : CMessageObject(server), m_resultCode(resultCode)
{
    SetValueText(message);
    SetCaption(Caption(resultCode));
    SetDisplayName(GetFullName());
}

void CErrorObject::Refresh(intptr_t)
{
    if (CDataObject* holder = GetParentNode())
        holder->Refresh(0);
}

std::wstring CErrorObject::GetFullName() const
{
    // "[%s %d] %s"
    return Caption(m_resultCode) + L" " + GetValueText();
}

std::wstring CErrorObject::GetTypeName() const
{
    return LoadResourceText(kStrTypeName);
}

std::wstring CErrorObject::GetPropertiesTitle() const
{
    return LoadResourceText(kStrPropertiesTitle);
}

PropertyPageList CErrorObject::AddPropertyPages()
{
    PropertyPageList pages;
    pages.push_back(std::make_unique<MessagePropertiesPage>(this, kIconError, LoadResourceText(kStrPageDescription),
                                                            std::to_wstring(m_resultCode), std::wstring(),
                                                            LoadResourceText(kStrPageTitle)));
    return pages;
}
