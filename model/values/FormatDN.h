#pragma once
// The DN text the model shows and stores (full names, favourites, the
// clipboard text, dialogs): the RDNs joined by "," without blanks.

#include <string>

#include "ldap/LDAPDN.h"

// Each RDN in its escaped form (as written in the DN, or composed from its
// type and value when it has no text), so the text parses back to the same
// DN. An empty DN gives the empty text.
std::string FormatDN(const arbldap::LDAPDN& dn);
