#pragma once
// The responses of one sent request, read one at a time. Referrals are
// followed here when the options ask for it, so that the reader sees one
// stream: the answers of a referred search arrive where its reference stood.

#include "ldap/SdkTypes.h"

#include <atomic>
#include <chrono>
#include <deque>
#include <list>
#include <memory>

#include "ldap/LDAPConnection.h"
#include "ldap/LDAPRequest.h"
#include "ldap/LDAPResponse.h"

namespace arbldap {

// How long one wait inside the library lasts; a cancel is seen between waits.
constexpr int kLDAPPollMilliseconds = 75;

// Waits for the next message of msgid on session, in slices of
// kLDAPPollMilliseconds. Throws CBreakException as soon as *cancelled (when
// given) is set, LDAPException 85 once the time in *waitLeft (when given) is
// spent (the wait takes what it waited from it), and LDAPException 81 when
// the library reports an error.
LDAPMessagePtr WaitForLDAPMessage(LDAP* session, int msgid, const std::atomic<bool>* cancelled,
                                  std::chrono::steady_clock::duration* waitLeft = nullptr);

// How long a request may keep its reader waiting for its server, in all:
// the options' time limit and the network time-out; without a time limit,
// as long as it takes.
std::chrono::steady_clock::duration WaitLimit(const LDAPOperationOptions& options);
// The same for a bind, except that without a time limit it is the network
// time-out: the server puts no time limit on a bind, so one it never answers
// would otherwise hold the connection for ever.
std::chrono::steady_clock::duration BindWaitLimit(const LDAPOperationOptions& options);

class LDAPResultQueue {
public:
    // Owns the request, whose answers it reads.
    explicit LDAPResultQueue(std::unique_ptr<LDAPRequest> request);
    LDAPResultQueue(const LDAPResultQueue&) = delete;
    LDAPResultQueue& operator=(const LDAPResultQueue&) = delete;
    // Deletes every request (referred connections are released with them).
    ~LDAPResultQueue();

    // Sends a first request and returns the queue that owns it. Throws what
    // LDAPRequest::Send throws.
    static std::unique_ptr<LDAPResultQueue> Start(std::unique_ptr<LDAPRequest> request);

    // The next response, owned by the caller; null when the request is done.
    // connection, when given, receives the connection the response came over
    // (a referred server's, while a referral is followed).
    //
    // A referred search that fails while the search that met its reference
    // is still running does not end that search: its failure is logged and
    // handed on as an LDAPReferenceResponse with the reference's URLs and the
    // failure code (GetFollowError), and the outer search goes on. So does a
    // reference that cannot be followed at all.
    //
    // A request whose server keeps it waiting longer than its WaitLimit
    // fails with 85, and the connection it waited on is closed.
    //
    // Throws CBreakException once cancelled; LDAPException for a library
    // error, a referral loop (96) or a chain longer than the hop limit (97).
    std::unique_ptr<LDAPResponse> GetNextResponse(LDAPConnectionPtr* connection = nullptr);

    // A further queue cancelled together with this one (not owned). Unlink
    // it here before deleting it: a cancel may walk the chain at any time.
    void SetNext(LDAPResultQueue* next);
    LDAPResultQueue* GetNext() const;
    // Marks this queue and every queue along its chain cancelled.
    void Cancel();
    bool IsCancelled() const { return m_cancelled.load(); }

    // Abandons every request still waiting for its result, each on its own
    // connection, then deletes them all; LDAPConnection::Abandon calls it.
    // Throws LDAPException with the first code the library refused with.
    void AbandonAll();

    // Requests whose answers are still expected, the current one last.
    size_t GetPendingCount() const { return m_stack.size(); }

private:
    // The request for the referral in response, sent; null, with the reason
    // in error, when it cannot be followed. Throws 97 and 96 for too many
    // hops and a loop.
    std::unique_ptr<LDAPRequest> FollowReferral(LDAPRequest& current, const LDAPResponse& response, int& error);
    // Abandons every request still waiting for its result and empties the
    // stack; the first code the library refused with. A bind cannot be
    // abandoned: the connection it waits on is closed instead.
    int AbandonPending() noexcept;
    // Pops the current request, whose final result has arrived.
    LDAPRequest* FinishCurrent();

    std::deque<LDAPRequest*> m_stack;
    std::list<std::unique_ptr<LDAPRequest>> m_owned;
    std::atomic<bool> m_cancelled{false};
    LDAPResultQueue* m_next = nullptr;  // under the chain lock
};

} // namespace arbldap
