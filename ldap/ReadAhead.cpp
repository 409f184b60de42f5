#include "ldap/ReadAhead.h"

#include <ldap.h>

namespace arbldap {

namespace {

// Below the TLS layer (transport level) and above the socket (provider
// level): TLS records are read through the buffer like anything else. The
// socket layer is added after the connect callback runs; a level above it
// keeps the buffer on top of it whichever comes first.
constexpr int kReadAheadLevel = LBER_SBIOD_LEVEL_PROVIDER + 1;

int AddReadAhead(LDAP*, Sockbuf* sb, LDAPURLDesc*, struct sockaddr*, struct ldap_conncb*)
{
    // A session that reconnects keeps its layers, but closing the old
    // connection freed the buffer: the layer is set up again. (A layer that
    // cannot go would read into no buffer: the connect fails instead.)
    if (ber_sockbuf_ctrl(sb, LBER_SB_OPT_HAS_IO, &ber_sockbuf_io_readahead) &&
        ber_sockbuf_remove_io(sb, &ber_sockbuf_io_readahead, kReadAheadLevel) != 0)
        return -1;
    ber_sockbuf_add_io(sb, &ber_sockbuf_io_readahead, kReadAheadLevel, nullptr);
    return 0;
}

// The layer goes with the socket buffer when the connection closes.
void ConnectionClosed(LDAP*, Sockbuf*, struct ldap_conncb*) {}

// libldap keeps a pointer to it for the session's life.
ldap_conncb g_readAhead = {AddReadAhead, ConnectionClosed, nullptr};

} // namespace

bool BufferSessionReads(LDAP* session)
{
    return session && ldap_set_option(session, LDAP_OPT_CONNECT_CB, &g_readAhead) == LDAP_OPT_SUCCESS;
}

bool SessionReadsAreBuffered(LDAP* session)
{
    Sockbuf* sb = nullptr;
    if (!session || ldap_get_option(session, LDAP_OPT_SOCKBUF, &sb) != LDAP_OPT_SUCCESS || !sb)
        return false;
    return ber_sockbuf_ctrl(sb, LBER_SB_OPT_HAS_IO, &ber_sockbuf_io_readahead) != 0;
}

} // namespace arbldap
