#pragma once
// The jobs and the work that entry and server nodes start, declared here and
// made by their own sources: the jobs include the nodes they work on, so the
// nodes may not include the jobs.

#include <memory>
#include <string>

class CEntryObject;
class CLDAPObject;
class CLDAPThread;
class CProgressDlg;
class CServerObject;

namespace arbldap {
class LDAPDN;
class LDAPModificationList;
}

// The child fetch of node (CChildrenFetchThread.cpp).
std::shared_ptr<CLDAPThread> MakeChildrenFetchJob(CEntryObject* node, CServerObject* server, int mode);
// The modify job of entry (CModifyThread.cpp).
std::shared_ptr<CLDAPThread> MakeModifyJob(CEntryObject* entry, const arbldap::LDAPModificationList& modifications,
                                           bool refresh);
// The navigate job from an entry or server to dn; null from any other node
// (CNavigateThread.cpp).
std::shared_ptr<CLDAPThread> MakeNavigateJob(CLDAPObject& from, const arbldap::LDAPDN& dn);
// The bind of server with password; the job owns the progress window
// (CBindThread.cpp).
std::shared_ptr<CLDAPThread> MakeBindJob(CServerObject* server, std::unique_ptr<CProgressDlg> progress, bool openBase,
                                         const std::string& password);
// The removal walk of server's subtree (CServerTreeWalkThread.cpp).
std::shared_ptr<CLDAPThread> MakeServerTreeWalkJob(CServerObject* server);
// Fills the server node with the team's members: marks it bound and loaded
// with the built-in schema, inserts one member node per person, and sorts
// the tree and the list. No network traffic (TeamDirectory.cpp).
void BuildTeamDirectory(CServerObject& server);
