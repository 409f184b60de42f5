#pragma once
// A value of an operational attribute, shown as text whatever its syntax.

#include "model/entries/CTextAttrObject.h"

class COperationalAttrObject : public CTextAttrObject {
public:
    COperationalAttrObject(AttributeOwner* owner, const std::string& name, const std::string& value);

    int GetImage(bool) const override { return 5; }
    std::wstring GetTypeName() const override;
    bool IsOperational() const override { return true; }
};
