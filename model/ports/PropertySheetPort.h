#pragma once
// The common property sheet, as the nodes open it: a caption and the pages,
// run modally on the user-interface thread.

#include <memory>
#include <string>

#include "model/ports/PropertyPages.h"

class PropertySheetPort {
public:
    virtual ~PropertySheetPort() = default;
    // The sheet's modal result (1 for OK).
    virtual int RunModal(const std::wstring& caption, const PropertyPageList& pages) = 0;
    // Whether the sheet has a window for that page.
    virtual bool CanShow(const NodePropertyPage&) const { return true; }
};

// The process-wide sheet; the setter returns the previous one.
std::shared_ptr<PropertySheetPort> SetPropertySheetPort(std::shared_ptr<PropertySheetPort> port);
std::shared_ptr<PropertySheetPort> GetPropertySheetPort();

// Runs the sheet through the current port; without one nothing is shown and
// the result is that of a cancelled sheet (2).
int RunPropertySheet(const std::wstring& caption, const PropertyPageList& pages);
// Whether the current port would show a sheet with at least one of the pages.
bool CanShowPropertySheet(const PropertyPageList& pages);
