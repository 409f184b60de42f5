#include <ldap.h>

#include "ldap/LDAPResultQueue.h"

#include <mutex>
#include <set>

#include "ldap/LDAPException.h"
#include "base/Utf8.h"
#include "base/LogStream.h"
#include "ldap/FormatLDAPError.h"

namespace arbldap {

namespace {

// Guards every next-queue link.
std::mutex g_chainLock;

std::wstring UrlsText(const LDAPUrlList& urls)
{
    std::wstring text;
    for (const LDAPUrl& url : urls) {
        if (!text.empty()) text += L" ";
        text += Utf8ToWideString(url.GetURL());
    }
    return text;
}

// "[ERROR <code>] <text>: <urls>" for a referral that led nowhere.
void LogUnfollowed(const LDAPUrlList& urls, int code)
{
    std::lock_guard<std::recursive_mutex> lock(g_logLock);
    g_logStream << FormatLDAPError(LDAPException(code)) << L": " << UrlsText(urls);
    g_logStream.flush();
}

}  // namespace

std::chrono::steady_clock::duration WaitLimit(const LDAPOperationOptions& options)
{
    if (options.GetTimeLimit() <= 0)
        return std::chrono::steady_clock::duration::max();
    return std::chrono::seconds(options.GetTimeLimit()) + GetLDAPNetworkTimeout();
}

std::chrono::steady_clock::duration BindWaitLimit(const LDAPOperationOptions& options)
{
    if (options.GetTimeLimit() <= 0)
        return GetLDAPNetworkTimeout();
    return WaitLimit(options);
}

LDAPMessagePtr WaitForLDAPMessage(LDAP* session, int msgid, const std::atomic<bool>* cancelled,
                                  std::chrono::steady_clock::duration* waitLeft)
{
    using Clock = std::chrono::steady_clock;
    for (;;) {
        if (cancelled && cancelled->load())
            throw CBreakException();
        if (waitLeft && *waitLeft <= Clock::duration::zero())
            throw LDAPException(LDAP_TIMEOUT);
        auto slice = std::chrono::milliseconds(kLDAPPollMilliseconds);
        if (waitLeft && *waitLeft < slice)
            slice = std::chrono::duration_cast<std::chrono::milliseconds>(*waitLeft) + std::chrono::milliseconds(1);
        timeval wait{0, static_cast<suseconds_t>(slice.count() * 1000)};  // a slice is below a second
        LDAPMessage* raw = nullptr;
        const Clock::time_point start = Clock::now();
        int rc = ldap_result(session, msgid, LDAP_MSG_ONE, &wait, &raw);
        LDAPMessagePtr message(raw);
        if (waitLeft)
            *waitLeft -= Clock::now() - start;
        if (cancelled && cancelled->load())
            throw CBreakException();
        if (rc > 0 && message)
            return message;
        // The session's own error state is shared with the other requests on
        // it; the failed wait itself can only mean the connection is gone.
        if (rc < 0)
            throw LDAPException(LDAP_SERVER_DOWN);
    }
}

LDAPResultQueue::LDAPResultQueue(std::unique_ptr<LDAPRequest> request)
{
    m_stack.push_back(request.get());
    m_owned.push_back(std::move(request));
}

LDAPResultQueue::~LDAPResultQueue()
{
    // Requests dropped before their final result would keep the server
    // answering and the session storing the answers: abandon them.
    AbandonPending();
    m_owned.clear();
}

int LDAPResultQueue::AbandonPending() noexcept
{
    int failure = LDAP_SUCCESS;
    for (LDAPRequest* request : m_stack) {
        LDAPConnection* connection = request->GetConnection();
        LDAP* session = connection ? connection->GetSession() : nullptr;
        if (!session || request->GetMessageID() < 0)
            continue;
        if (request->GetOperation() == LDAPRequest::kBind) {
            // Left waiting, the session's identity would stay unknown and
            // its connection open to a server that may never answer.
            connection->CloseTransport();
            ldap_abandon_ext(session, request->GetMessageID(), nullptr, nullptr);
            continue;
        }
        int rc = ldap_abandon_ext(session, request->GetMessageID(), nullptr, nullptr);
        if (rc != LDAP_SUCCESS && failure == LDAP_SUCCESS)
            failure = rc;
    }
    m_stack.clear();
    return failure;
}

std::unique_ptr<LDAPResultQueue> LDAPResultQueue::Start(std::unique_ptr<LDAPRequest> request)
{
    request->Send();
    return std::make_unique<LDAPResultQueue>(std::move(request));
}

void LDAPResultQueue::SetNext(LDAPResultQueue* next)
{
    std::lock_guard<std::mutex> lock(g_chainLock);
    m_next = next;
}

LDAPResultQueue* LDAPResultQueue::GetNext() const
{
    std::lock_guard<std::mutex> lock(g_chainLock);
    return m_next;
}

void LDAPResultQueue::Cancel()
{
    // The whole walk under the lock: the worker that owns the queues may
    // unlink and delete one meanwhile, and does so under the same lock.
    std::lock_guard<std::mutex> lock(g_chainLock);
    std::set<LDAPResultQueue*> seen;  // a chain that closes on itself ends here
    for (LDAPResultQueue* queue = this; queue && seen.insert(queue).second; queue = queue->m_next)
        queue->m_cancelled = true;
}

LDAPRequest* LDAPResultQueue::FinishCurrent()
{
    LDAPRequest* request = m_stack.back();
    m_stack.pop_back();
    // Its answers are all in; a referred server's connection is not needed
    // any more (following its referral, if any, has already connected on).
    if (request->IsReferred())
        request->ReleaseConnection();
    return request;
}

std::unique_ptr<LDAPRequest> LDAPResultQueue::FollowReferral(LDAPRequest& current, const LDAPResponse& response,
                                                             int& error)
{
    std::unique_ptr<LDAPRequest> next = current.FollowReferral(response, &m_cancelled);
    if (!next) {
        error = current.GetFollowError();
        return nullptr;
    }
    if (next->GetHopCount() > next->GetOptions().GetHopLimit())
        throw LDAPException(kLDAPReferralLimitExceeded);
    if (next->IsInLoop())
        throw LDAPException(kLDAPClientLoop);
    try {
        next->Send();
    } catch (const LDAPException& e) {
        // Like a server that cannot be reached: the referral itself goes back
        // to the caller.
        error = e.GetResultCode();
        return nullptr;
    }
    return next;
}


std::unique_ptr<LDAPResponse> LDAPResultQueue::GetNextResponse(LDAPConnectionPtr* connection)
{
    for (;;) {
        if (m_stack.empty())
            return nullptr;
        LDAPRequest* current = m_stack.back();
        // Taken only when it changes: a count shared with the nodes' threads
        // is not touched per entry.
        if (connection && connection->get() != current->GetConnection())
            *connection = current->GetConnectionPtr();

        LDAP* session = current->GetConnection() ? current->GetConnection()->GetSession() : nullptr;
        if (!session) {
            FinishCurrent();
            throw LDAPException(LDAP_SERVER_DOWN);
        }
        LDAPMessagePtr message;
        try {
            message = WaitForLDAPMessage(session, current->GetMessageID(), &m_cancelled, &current->GetWaitLeft());
        } catch (const LDAPException& e) {
            // The connection is gone, or its server stopped answering and it
            // is closed. Forgetting the request, a bind too, lets the library
            // close the dead socket, so that the session's next request
            // connects again instead of writing to it.
            if (e.GetResultCode() == kLDAPTimeout)
                current->GetConnection()->CloseTransport();
            else
                current->GetConnection()->MarkDropped();
            ldap_abandon_ext(session, current->GetMessageID(), nullptr, nullptr);
            FinishCurrent();
            throw;
        }
        std::unique_ptr<LDAPResponse> response;
        try {
            response = LDAPResponse::Create(*current, message.get());
        } catch (...) {
            // The rest of a search whose answer cannot be read is not wanted.
            if (LDAP* s = current->GetConnection() ? current->GetConnection()->GetSession() : nullptr)
                ldap_abandon_ext(s, current->GetMessageID(), nullptr, nullptr);
            FinishCurrent();
            throw;
        }
        message.reset();

        const bool chase = current->GetOptions().GetChaseReferrals();
        const int type = response->GetMessageType();
        if (type == kLDAPSearchEntry)
            return response;

        if (type == kLDAPSearchReference) {
            if (!chase)
                return response;
            // The search that met the reference stays below the new one.
            int error = 0;
            std::unique_ptr<LDAPRequest> next = FollowReferral(*current, *response, error);
            if (!next) {
                auto& reference = static_cast<LDAPReferenceResponse&>(*response);
                reference.SetFollowError(error);
                LogUnfollowed(reference.GetURLs(), error);
                return response;
            }
            m_stack.push_back(next.get());
            m_owned.push_back(std::move(next));
            continue;
        }

        // The final result of the current request.
        auto& result = static_cast<LDAPResultResponse&>(*response);
        if (current->GetOperation() == LDAPRequest::kBind) {
            auto& bind = static_cast<LDAPBindRequest&>(*current);
            current->GetConnection()->OnBindResult(bind.GetDN(), bind.GetPassword(), result.GetResultCode());
        }
        if (result.GetResultCode() == kLDAPReferral && chase) {
            std::unique_ptr<LDAPRequest> next;
            int error = 0;
            try {
                next = FollowReferral(*current, *response, error);
            } catch (...) {
                FinishCurrent();
                throw;
            }
            if (next) {
                // The referred request takes the place of the current one.
                FinishCurrent();
                m_stack.push_back(next.get());
                m_owned.push_back(std::move(next));
                continue;
            }
        }
        LDAPRequest* finished = FinishCurrent();
        if (finished->IsReferred() && !m_stack.empty()) {
            // Only the first server's final result ends the search; a
            // continued search that failed is reported where it stood.
            if (result.GetResultCode() == LDAP_SUCCESS)
                continue;
            LogUnfollowed(finished->GetOrigin(), result.GetResultCode());
            return std::make_unique<LDAPReferenceResponse>(finished->GetOrigin(), result.GetResultCode());
        }
        return response;
    }
}

void LDAPResultQueue::AbandonAll()
{
    int failure = AbandonPending();
    // Referred connections go with their requests.
    m_owned.clear();
    if (failure != LDAP_SUCCESS)
        throw LDAPException(failure);
}

} // namespace arbldap
