#pragma once
// The server node that owns a node, as the node's code uses it: the server
// itself, its node part and its profile. A link is made from the server's
// pointer where the server's class is known, so the conversions happen there
// and the nodes below the server never include it.

#include <cstddef>

class CLDAPObject;
class CServerObject;
class CServerProfile;

struct ServerLink {
    ServerLink() = default;
    ServerLink(std::nullptr_t) {}
    template <class Server>
    ServerLink(Server* owner) : server(owner), node(owner), profile(owner)
    {
    }

    CServerObject* server = nullptr;
    CLDAPObject* node = nullptr;
    CServerProfile* profile = nullptr;
};
