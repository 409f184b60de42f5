#include "model/entries/COperationalAttrObject.h"

#include "model/ports/ResourceText.h"

namespace {

constexpr unsigned kStrOperationalType = 522;

} // namespace

COperationalAttrObject::COperationalAttrObject(AttributeOwner* owner, const std::string& name, const std::string& value)
    : CTextAttrObject(owner, name, value)
{
}

std::wstring COperationalAttrObject::GetTypeName() const
{
    return LoadResourceText(kStrOperationalType);
}
