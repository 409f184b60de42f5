#pragma once
// One check for a newer build: the reply is downloaded on a worker of its
// own (one download handle, the internet session's user agent and proxy)
// and every step reaches the object on the user-interface thread through
// the dispatcher. Subclasses show or log the outcome.
//
// Destroying the object cancels a running download and waits for its worker,
// so nothing arrives for an object that is gone.

#include <cstddef>
#include <ctime>
#include <memory>
#include <string>
#include <thread>

#include "platform/Dispatcher.h"
#include "shellcore/UpdateCheck.h"

class CInternetSession;

class CUpdateInfo : private platform::MessageReceiver {
public:
    struct Limits {
        long connectSeconds = 20;
        long totalSeconds = 60;
        size_t maxBytes = kMaxUpdateReplyBytes;
    };

    // session: whose agent and proxy the download takes; null: the program's.
    explicit CUpdateInfo(const CInternetSession* session = nullptr);
    ~CUpdateInfo() override;
    CUpdateInfo(const CUpdateInfo&) = delete;
    CUpdateInfo& operator=(const CUpdateInfo&) = delete;

    // OnStart, then the download of the request URL starts on a worker and
    // "LastUpdateCheck" is written. False when a check runs already or the
    // download could not be started (OnFailed and OnEnd have run then).
    bool StartCheck();
    // Aborts the download; its end still arrives (OnEnd), without a result.
    void Cancel();
    // From StartCheck until the end has been delivered.
    bool IsRunning() const { return m_job != nullptr; }

    // A chunk of the reply; with no data, the end of the download.
    void OnData(const char* data, size_t size);

    void SetLimits(const Limits& limits) { m_limits = limits; }
    // The build the reply is compared with; the program's build unless set.
    void SetRunningBuild(uint32_t build) { m_runningBuild = build; }
    uint32_t GetRunningBuild() const;

    const UpdateReply& GetReply() const { return m_reply; }

protected:
    virtual void OnStart() {}
    virtual void OnProgress(size_t /*bytes*/) {}
    virtual void OnEnd() {}
    virtual void OnFailed() {}
    virtual void OnResult(bool /*newer*/) {}

private:
    struct Job;

    void OnMessage(platform::MessageId id, uintptr_t wParam, intptr_t lParam,
                   std::unique_ptr<platform::MessagePayload> payload) override;
    void OnComplete();
    void StopWorker();

    const CInternetSession* m_session;
    platform::ReceiverRegistration m_registration;
    std::shared_ptr<Job> m_job;
    std::thread m_worker;
    Limits m_limits;
    uint32_t m_runningBuild = 0;
    std::string m_received;
    bool m_downloadFailed = false;
    bool m_cancelled = false;
    UpdateReply m_reply;
};
