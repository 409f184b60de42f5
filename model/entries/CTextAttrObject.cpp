#include "model/entries/CTextAttrObject.h"

#include "base/Utf8.h"
#include "model/ports/ResourceText.h"

namespace {

constexpr unsigned kStrTextType = 422;

} // namespace

CTextAttrObject::CTextAttrObject(AttributeOwner* owner, const std::string& name, const std::string& value)
    : CAttrObject(owner, name)
{
    CTextAttrObject::SetValue(value);
}

void CTextAttrObject::SetValue(const std::string& bytes)
{
    StoreValue(bytes, Utf8ToWideString(bytes));
}

std::wstring CTextAttrObject::GetTypeName() const
{
    return IsPasswordValue() ? GetPasswordTypeName() : LoadResourceText(kStrTextType);
}

void CTextAttrObject::SaveValueAs(const std::wstring& extension, const std::wstring& fileName,
                                  const std::wstring& filter)
{
    SaveRawValue(extension, fileName, filter);
}
