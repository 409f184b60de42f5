#pragma once
// The LDAP client library's header, for sources of this layer only.
//
// ldap.h declares typedefs named LDAPControl, LDAPDN and LDAPRDN, which are
// the names of our own classes. Including it through here renames those three
// typedefs (to LDAPSdkControl, LDAPSdkDN, LDAPSdkRDN); the library's calls keep
// their types, since a typedef name plays no part in C linkage. Include this
// file before any other header that might pull in <ldap.h> directly.

#ifdef _LDAP_H
#error "<ldap.h> was included directly; include ldap/LdapSdk.h instead"
#endif

#define LDAPControl LDAPSdkControl
#define LDAPDN LDAPSdkDN
#define LDAPRDN LDAPSdkRDN
#include <ldap.h>
#undef LDAPControl
#undef LDAPDN
#undef LDAPRDN
