#pragma once
// The property pages of attribute, entry and server nodes: which page shows
// which node. The dialogs make the windows.

#include "model/ports/PropertyPages.h"

class NodeDetailsPage : public NodePropertyPage {
public:
    enum Kind {
        TextAttribute,     // one attribute value
        Entry,             // an entry's DN and operational texts
        Server,            // the server's host and profile
        ServerCredentials, // how the server is bound
        LDAPSettings,      // the server's LDAP options (and its schema page)
        ServerMonitor,     // the server's monitor entry, from the profile
    };

    NodeDetailsPage(Kind kind, CDataObject* node) : kind(kind), node(node) {}

    Kind kind;
    CDataObject* node;
};
