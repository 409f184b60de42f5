#pragma once
// The node that a failed operation leaves under the node it failed for: the
// LDAP result code and message. Refreshing it retries its holder.

#include <string>

#include "model/nodes/CMessageObject.h"

class CErrorObject : public CMessageObject {
public:
    // Made by ReportError, which also shows and logs it.
    CErrorObject(int resultCode, const std::wstring& message, const ServerLink& server);

    const char* GetRuntimeClassName() const override { return "CErrorObject"; }
    int GetType() const override { return kNodeError; }
    int GetImage(bool selected) const override { return selected ? 24 : 11; }
    // Refreshes the node that holds it.
    void Refresh(intptr_t arg) override;
    // "[ERROR <code>] <message>".
    std::wstring GetFullName() const override;
    std::wstring GetTypeName() const override;
    std::wstring GetPropertiesTitle() const override;
    PropertyPageList AddPropertyPages() override;

    int GetResultCode() const { return m_resultCode; }

private:
    const int m_resultCode;
};
