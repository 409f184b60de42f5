#pragma once
// Starting the LDIF export of an entry's subtree. The export job, with a
// session of its own for the node's server, is the dialogs' side; the
// program installs its starter, tests a recording one.

#include <functional>
#include <memory>
#include <string>

class CEntryObject;
class CProgressDlg;

struct LdifExportRequest {
    int scope = 2;  // 2 subtree, 1 one level, 0 base
    int output = 1;
    std::wstring path;
    bool firstOption = false;
    bool secondOption = false;
    std::string filter;  // UTF-8
};

// Makes the export job and starts it as the node's job; the job owns the
// progress window from then on.
typedef std::function<void(CEntryObject& node, const LdifExportRequest& request,
                           std::unique_ptr<CProgressDlg> progress)>
    LdifExportRunner;

// Returns the previous runner.
LdifExportRunner SetLdifExportRunner(LdifExportRunner runner);
// Without a runner nothing is exported and the window is dropped.
void RunLdifExport(CEntryObject& node, const LdifExportRequest& request, std::unique_ptr<CProgressDlg> progress);
