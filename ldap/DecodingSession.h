#pragma once
// The session the library's parse calls are given. They leave the result code
// (and the matched DN and message) in the session's error state, which every
// send and wait of any thread on that session overwrites without a lock; read
// back from a session shared by several threads, a failed write can come out
// as a success. So results are decoded in a session of the thread's own.

#include "ldap/SdkTypes.h"

namespace arbldap {

// This thread's session for decoding messages: never connected, speaking
// version 3, closed when the thread ends. Throws LDAPException when the
// library cannot make one.
LDAP* DecodingSession();

// The code to report for a send that failed or gave no message id. The
// library returns a failed send's code from the shared error state too, which
// another thread may have reset to 0 meanwhile: a failure must not read as a
// success, so 0 becomes 80 (other).
int SendFailureCode(int libraryCode);

} // namespace arbldap
