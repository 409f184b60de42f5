#pragma once
// The LDAP library's C types that the layer's headers name, declared without
// <ldap.h>, so that a source may include the library's header beside ours
// (its typedefs LDAPControl, LDAPDN and LDAPRDN would clash with our classes
// if they were not kept in namespace arbldap).

struct ldap;
typedef struct ldap LDAP;
struct ldapmsg;
typedef struct ldapmsg LDAPMessage;
struct ldapmod;
typedef struct ldapmod LDAPMod;
struct ldapcontrol;
struct berval;
