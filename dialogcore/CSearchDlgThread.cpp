#include "dialogcore/CSearchDlgThread.h"

#include <chrono>

#include "base/Utf8.h"
#include "ldap/FormatLDAPError.h"
#include "ldap/LDAPAttribute.h"
#include "ldap/LDAPDN.h"
#include "ldap/LDAPEntry.h"
#include "ldap/LDAPResponse.h"
#include "model/values/FormatDN.h"
#include "platform/Messages.h"

using namespace arbldap;

namespace {

// Rows are handed on in bunches of at most this many, so that the dialog
// sees the first ones while the rest are still being read.
constexpr size_t kBatchRows = 256;

} // namespace

bool SearchRowSink::Add(std::vector<SearchRow>&& rows)
{
    std::lock_guard<std::mutex> lock(m_lock);
    const bool wasEmpty = m_rows.empty();
    if (wasEmpty)
        m_rows = std::move(rows);
    else
        m_rows.insert(m_rows.end(), std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end()));
    return wasEmpty;
}

std::vector<SearchRow> SearchRowSink::Take()
{
    std::lock_guard<std::mutex> lock(m_lock);
    std::vector<SearchRow> rows;
    rows.swap(m_rows);
    return rows;
}

CSearchDlgThread::CSearchDlgThread(LDAPConnectionPtr connection, SearchRequest request, platform::ReceiverId dialog,
                                   std::shared_ptr<SearchRowSink> sink)
    : CLDAPFetchThread(std::move(connection), nullptr),
      m_request(std::move(request)),
      m_columns(SplitAttributeNames(m_request.attributeText)),
      m_dialog(dialog),
      m_sink(std::move(sink))
{
}

CSearchDlgThread::~CSearchDlgThread()
{
    SetConnection(nullptr);
    platform::Post(m_dialog, platform::WM_WORKER_ENDED, 0, 0);
}

void CSearchDlgThread::Stop()
{
    m_stop = true;
    RequestCancel();
}

SearchRow CSearchDlgThread::MakeRow(const LDAPEntry& entry, const SearchColumns& columns,
                                    const std::wstring& notPrintable)
{
    SearchRow row;
    row.dn = entry.GetDN();
    row.cells.resize(columns.GetCount());
    row.cells[0] = Utf8ToWideString(FormatDN(LDAPDN(row.dn)));
    for (const LDAPAttribute& attribute : entry.GetAttributes()) {
        const int column = columns.Find(attribute.GetName());
        if (column > 0)
            row.cells[static_cast<size_t>(column)] = SearchCellText(attribute, notPrintable);
    }
    return row;
}

void CSearchDlgThread::Flush()
{
    if (m_batch.empty())
        return;
    std::vector<SearchRow> batch;
    batch.swap(m_batch);
    if (m_sink && m_sink->Add(std::move(batch)))
        platform::Post(m_dialog, WM_SEARCH_ROWS, 0, 0);
}

void CSearchDlgThread::DoWork()
{
    const std::string base = WideToUtf8Text(SearchBaseFromText(m_request.baseText));
    const StringList attributes = AttributeNamesToRequest(m_request.attributeText);
    const int scope = m_request.scope == SearchScope::OneLevel ? 1 : 2;
    auto lastFlush = std::chrono::steady_clock::now();
    try {
        RunSearch(base, scope, WideToUtf8Text(m_request.filter), attributes, false,
                  [&](std::unique_ptr<LDAPEntryResponse> entry) {
                      if (!entry || m_stop)
                          return;
                      m_batch.push_back(MakeRow(entry->GetEntry(), m_columns, m_request.notPrintableText));
                      const auto now = std::chrono::steady_clock::now();
                      if (m_batch.size() >= kBatchRows || now - lastFlush >= std::chrono::milliseconds(20)) {
                          Flush();
                          lastFlush = now;
                      }
                  });
    } catch (...) {
        Flush();
        throw;
    }
    Flush();
}

void CSearchDlgThread::OnError(LDAPException error)
{
    if (m_stop)
        return;
    platform::Post(m_dialog, WM_SEARCH_ERROR, 0, 0, platform::MakeValuePayload(FormatLDAPError(error)));
}

bool CSearchDlgThread::CheckResult(int)
{
    return true;
}
