#pragma once
// The windows of the node detail pages that the dialogs make: an entry's
// page, an attribute value's page, and the server node's connection,
// credentials, LDAP settings and monitor pages. A node of the wrong kind
// gives null (the sheet leaves the page out).

class NodePropertyPage;
class wxString;
class wxWindow;

wxWindow* MakeNodeDetailsPage(wxWindow* book, const NodePropertyPage& page, wxString& title);
// Whether MakeNodeDetailsPage makes a window for that page.
bool CanMakeNodeDetailsPage(const NodePropertyPage& page);
