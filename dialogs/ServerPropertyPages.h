#pragma once
// The windows of the node detail pages that the dialogs make: the server
// node's connection, credentials, LDAP settings and monitor pages. Other
// kinds give null (the sheet leaves them out).

class NodePropertyPage;
class wxString;
class wxWindow;

wxWindow* MakeNodeDetailsPage(wxWindow* book, const NodePropertyPage& page, wxString& title);
// Whether MakeNodeDetailsPage makes a window for that page.
bool CanMakeNodeDetailsPage(const NodePropertyPage& page);
