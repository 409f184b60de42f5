#include "shellcore/InternetSession.h"

#include <curl/curl.h>

#include "base/StringFormat.h"
#include "base/Utf8.h"
#include "model/profiles/CAppConfig.h"

const char* const kInternetUserAgent = "Vellumar Arbolite/2.0";

std::string FormatProxyText(const std::string& host, int port)
{
    std::string text;
    FormatString(text, "http=http://%s:%d", host.c_str(), port);
    return text;
}

std::unique_ptr<CInternetSession> CInternetSession::Open(const CAppConfig& options)
{
    CURL* handle = curl_easy_init();
    if (!handle) return nullptr;
    std::unique_ptr<CInternetSession> session(new CInternetSession);
    session->m_handle = handle;
    curl_easy_setopt(handle, CURLOPT_USERAGENT, kInternetUserAgent);
    if (options.m_bUseProxy) {
        session->m_proxyText = FormatProxyText(WideToUtf8Text(options.m_strProxyHost), options.m_nProxyPort);
        if (curl_easy_setopt(handle, CURLOPT_PROXY, session->GetDownloadProxy().c_str()) != CURLE_OK)
            return nullptr;
    }
    return session;
}

std::string CInternetSession::GetDownloadProxy() const
{
    // The library takes the proxy for HTTP without the scheme selector.
    return m_proxyText.size() > 5 ? m_proxyText.substr(5) : std::string();
}

CInternetSession::~CInternetSession()
{
    if (m_handle) curl_easy_cleanup(static_cast<CURL*>(m_handle));
}
