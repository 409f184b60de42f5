#pragma once
// The options sheet: the interface, update and confirmations pages, in that
// order, under caption string 213.

#include <memory>

class CAppConfig;
class CCommonPropertySheet;
class CNavigationHistory;
class wxWindow;

constexpr unsigned kStrOptionsCaption = 213;

std::unique_ptr<CCommonPropertySheet> CreateOptionsSheet(wxWindow* parent, CAppConfig& options,
                                                         CNavigationHistory& history);
