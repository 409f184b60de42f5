#pragma once
// Sessions read the server's answers through a buffer. Without one, libldap
// reads every message with two system calls (its head, then its body) and
// polls the socket before each; a long search is then bound by system calls,
// not by the network or the server. With it, one read takes in whatever has
// arrived and the messages behind it are handed out from memory.

typedef struct ldap LDAP;

namespace arbldap {

// Every connection the session makes from now on reads through a buffer.
// Set once per session, before it connects.
bool BufferSessionReads(LDAP* session);

// Whether the session's current connection reads through the buffer.
bool SessionReadsAreBuffered(LDAP* session);

} // namespace arbldap
