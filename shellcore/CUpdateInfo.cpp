#include "shellcore/CUpdateInfo.h"

#include <atomic>
#include <curl/curl.h>

#include "platform/Messages.h"
#include "shellcore/AppVersion.h"
#include "shellcore/GlobalServices.h"
#include "shellcore/InternetSession.h"

struct CUpdateInfo::Job {
    std::atomic<bool> cancel{false};
    CURLM* multi = nullptr;
    ~Job()
    {
        if (multi) curl_multi_cleanup(multi);
    }
};

namespace {

struct Transfer {
    platform::ReceiverId receiver;
    size_t maxBytes;
    size_t total = 0;
};

size_t OnReceived(char* data, size_t size, size_t count, void* user)
{
    auto* transfer = static_cast<Transfer*>(user);
    const size_t bytes = size * count;
    transfer->total += bytes;
    // A reply this large is no reply of ours: stop reading.
    if (transfer->total > transfer->maxBytes) return 0;
    platform::Post(transfer->receiver, platform::WM_UPDATE_DATA, 0, 0,
                   platform::MakeValuePayload(std::string(data, bytes)));
    return bytes;
}

struct EasyDeleter {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};

bool Download(CURLM* multi, const std::atomic<bool>& cancel, const std::string& url, const std::string& agent,
              const std::string& proxy, long connectSeconds, long totalSeconds, Transfer& transfer)
{
    std::unique_ptr<CURL, EasyDeleter> easy(curl_easy_init());
    if (!easy) return false;
    CURL* h = easy.get();
    curl_easy_setopt(h, CURLOPT_URL, url.c_str());
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_USERAGENT, agent.c_str());
    if (!proxy.empty()) curl_easy_setopt(h, CURLOPT_PROXY, proxy.c_str());
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(h, CURLOPT_FRESH_CONNECT, 1L);
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, connectSeconds);
    curl_easy_setopt(h, CURLOPT_TIMEOUT, totalSeconds);
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &OnReceived);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &transfer);
    if (curl_multi_add_handle(multi, h) != CURLM_OK) return false;
    int running = 1;
    while (!cancel) {
        if (curl_multi_perform(multi, &running) != CURLM_OK || running == 0) break;
        curl_multi_poll(multi, nullptr, 0, 1000, nullptr);
    }
    CURLcode result = CURLE_ABORTED_BY_CALLBACK;
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(multi, &left))
        if (message->msg == CURLMSG_DONE && message->easy_handle == h) result = message->data.result;
    curl_multi_remove_handle(multi, h);
    return !cancel && result == CURLE_OK;
}

} // namespace

CUpdateInfo::CUpdateInfo(const CInternetSession* session) : m_session(session) {}

CUpdateInfo::~CUpdateInfo()
{
    m_registration.Reset();
    Cancel();
    StopWorker();
}

uint32_t CUpdateInfo::GetRunningBuild() const
{
    return m_runningBuild ? m_runningBuild : GetBuildNumber();
}

bool CUpdateInfo::StartCheck()
{
    if (IsRunning()) return false;
    m_received.clear();
    m_downloadFailed = false;
    m_cancelled = false;
    m_reply = UpdateReply();
    OnStart();

    const std::string url = BuildUpdateUrl(GetRunningBuild(), GetInstallationId());
    const CInternetSession* session = m_session ? m_session : GetInternetSession();
    const std::string proxy = session ? session->GetDownloadProxy() : std::string();
    auto job = std::make_shared<Job>();
    job->multi = curl_multi_init();
    if (!m_registration.Id()) m_registration = platform::ReceiverRegistration(*this);
    RecordUpdateCheckTime(std::time(nullptr));
    if (!job->multi || !m_registration.Id()) {
        // OnEnd may delete this object: nothing may follow it.
        OnFailed();
        OnEnd();
        return false;
    }
    m_job = job;
    const Limits limits = m_limits;
    const platform::ReceiverId receiver = m_registration.Id();
    m_worker = std::thread([job, url, proxy, limits, receiver] {
        Transfer transfer{receiver, limits.maxBytes};
        bool ok = Download(job->multi, job->cancel, url, kInternetUserAgent, proxy, limits.connectSeconds,
                           limits.totalSeconds, transfer);
        platform::Post(receiver, platform::WM_UPDATE_DONE, ok ? 1 : 0, 0);
    });
    return true;
}

void CUpdateInfo::Cancel()
{
    if (m_job) {
        m_job->cancel = true;
        curl_multi_wakeup(m_job->multi);
    }
    m_cancelled = true;
}

void CUpdateInfo::StopWorker()
{
    if (m_worker.joinable()) m_worker.join();
    m_job.reset();
}

void CUpdateInfo::OnMessage(platform::MessageId id, uintptr_t wParam, intptr_t,
                            std::unique_ptr<platform::MessagePayload> payload)
{
    if (id == platform::WM_UPDATE_DATA) {
        if (const std::string* bytes = platform::PayloadValue<std::string>(payload))
            if (!bytes->empty()) OnData(bytes->data(), bytes->size());
    } else if (id == platform::WM_UPDATE_DONE) {
        // The worker posts this last and ends right after.
        StopWorker();
        m_downloadFailed = wParam == 0;
        OnData(nullptr, 0);
    }
}

void CUpdateInfo::OnData(const char* data, size_t size)
{
    OnProgress(size);
    if (data)
        m_received.append(data, size);
    else
        OnComplete();
}

void CUpdateInfo::OnComplete()
{
    StopWorker();
    if (!m_cancelled) {
        if (m_downloadFailed || m_received.empty() || !ParseUpdateReply(m_received, m_reply))
            OnFailed();
        else
            OnResult(GetRunningBuild() < static_cast<uint32_t>(m_reply.build));
    }
    // May delete this object.
    OnEnd();
}
