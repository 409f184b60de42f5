#pragma once
// The search dialog's worker: one search over the connection of the node
// the dialog was opened on, holding a counted reference to it. It touches
// no window: each found entry becomes a row (DN and cell texts) that it
// leaves in the dialog's row sink, posting WM_SEARCH_ROWS only when the
// sink was empty, so the dialog takes what has come in one go. A failure
// the user did not cause comes as WM_SEARCH_ERROR; its very last act, after
// it let the connection go, is WM_WORKER_ENDED.

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "dialogcore/SearchDialogRules.h"
#include "jobs/CLDAPFetchThread.h"
#include "platform/Dispatcher.h"

// To the dialog: rows wait in the sink (no payload).
constexpr platform::MessageId WM_SEARCH_ROWS = 0x8D3;
// To the dialog: the search failed; payload std::wstring, "[ERROR %d] %s".
constexpr platform::MessageId WM_SEARCH_ERROR = 0x8D4;

// One found entry as the result list shows it.
struct SearchRow {
    std::string dn;                 // as the server sent it
    std::vector<std::wstring> cells;  // one per column, the first the DN shown
};

// Rows on their way from the worker to the dialog; either side may go first.
class SearchRowSink {
public:
    // True when the sink was empty: the caller then tells the dialog.
    bool Add(std::vector<SearchRow>&& rows);
    std::vector<SearchRow> Take();

private:
    std::mutex m_lock;
    std::vector<SearchRow> m_rows;
};

// What the dialog hands its worker: a copy of its inputs.
struct SearchRequest {
    std::wstring baseText;        // as typed; "RootDSE" is the empty DN
    std::wstring filter;
    std::wstring attributeText;   // the columns' names, comma-separated
    SearchScope scope = SearchScope::Subtree;
    std::wstring notPrintableText;  // the cell of values that are not text
};

class CSearchDlgThread : public CLDAPFetchThread {
public:
    CSearchDlgThread(arbldap::LDAPConnectionPtr connection, SearchRequest request, platform::ReceiverId dialog,
                     std::shared_ptr<SearchRowSink> sink);
    ~CSearchDlgThread() override;

    // Ends the search at its next safe point (the wait for the server ends
    // within a poll slice); any thread, returns at once.
    void Stop();
    bool IsStopped() const { return m_stop.load(); }

    void DoWork() override;
    void OnError(arbldap::LDAPException error) override;
    bool CheckResult(int resultCode) override;

    // The row of one entry for these columns.
    static SearchRow MakeRow(const arbldap::LDAPEntry& entry, const SearchColumns& columns,
                             const std::wstring& notPrintable);

private:
    void Flush();

    SearchRequest m_request;
    SearchColumns m_columns;
    platform::ReceiverId m_dialog;
    std::shared_ptr<SearchRowSink> m_sink;
    std::vector<SearchRow> m_batch;
    std::atomic<bool> m_stop{false};
};
