#pragma once
// A value of a binary attribute, shown as the hex of its first bytes and
// saved raw or as base64 text.

#include "model/entries/CAttrObject.h"

class CBinAttrObject : public CAttrObject {
public:
    CBinAttrObject(AttributeOwner* owner, const std::string& name, const std::string& value);

    const char* GetRuntimeClassName() const override { return "CBinAttrObject"; }
    int GetImage(bool selected) const override { return selected ? 17 : 4; }
    std::wstring GetTypeName() const override;
    bool IsBinary() const override { return true; }
    bool CanSaveValue() const override;
    // The value may be replaced from a file: a user-modifiable attribute,
    // not the value the entry is named by.
    bool CanRenameInList() const override;
    void SaveValueAs(const std::wstring& extension, const std::wstring& fileName,
                     const std::wstring& filter) override;
    void SetValue(const std::string& bytes) override;
};
