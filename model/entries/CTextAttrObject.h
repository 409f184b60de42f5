#pragma once
// A value shown as text (UTF-8).

#include "model/entries/CAttrObject.h"

class CTextAttrObject : public CAttrObject {
public:
    CTextAttrObject(AttributeOwner* owner, const std::string& name, const std::string& value);

    int GetImage(bool selected) const override { return selected ? 16 : 3; }
    std::wstring GetTypeName() const override;
    bool IsBinary() const override { return false; }
    void SaveValueAs(const std::wstring& extension, const std::wstring& fileName,
                     const std::wstring& filter) override;
    void SetValue(const std::string& bytes) override;
};
