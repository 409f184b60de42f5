#pragma once
// The node that an operation leaves under a node to tell something (that it
// was stopped, for instance). It removes itself after the options' delay.

#include <string>

#include "model/nodes/CMessageObject.h"

class CInformationObject : public CMessageObject {
public:
    // Made by ReportInformation, which also shows and logs it. Without a
    // detail the node is named "Information" and shows the text as its
    // value; with one it is named by the text and shows the detail.
    CInformationObject(const std::wstring& text, const std::wstring& detail, const ServerLink& server);
    // Frees its removal timer.
    ~CInformationObject() override;

    const char* GetRuntimeClassName() const override { return "CInformationObject"; }
    int GetType() const override { return kNodeInformation; }
    int GetImage(bool selected) const override { return selected ? 25 : 12; }
    using CDataObject::Refresh;
    // Refreshes the node that holds it.
    virtual void Refresh();
    std::wstring GetFullName() const override;
    std::wstring GetTypeName() const override;
    std::wstring GetPropertiesTitle() const override;
    PropertyPageList AddPropertyPages() override;

    // Starts the timer after which the tree view deletes the node.
    void StartRemovalTimer();
    // The running timer's id, or -1.
    int GetRemovalTimerId() const;
};
