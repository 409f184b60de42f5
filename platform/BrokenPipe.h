#pragma once
// A write to a socket whose peer has gone (a server that dropped an idle
// connection, or restarted) raises SIGPIPE, which ends the process. Ignored,
// the write fails with EPIPE instead, and the LDAP library reports the
// request as "server down".

namespace platform {

// Ignores SIGPIPE for the whole process. Called first thing in main, before
// any thread starts.
void IgnoreBrokenPipe();

} // namespace platform
