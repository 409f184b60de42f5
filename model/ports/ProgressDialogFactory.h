#pragma once
// Where nodes get their progress windows from: the program installs the
// toolkit's window, tests a headless one.

#include <functional>
#include <memory>

#include "jobs/CProgressDlg.h"

typedef std::function<std::unique_ptr<CProgressDlg>()> ProgressDialogFactory;

// Returns the previous factory.
ProgressDialogFactory SetProgressDialogFactory(ProgressDialogFactory factory);
// A new window object (not yet created); null without a factory.
std::unique_ptr<CProgressDlg> MakeProgressDialog();
