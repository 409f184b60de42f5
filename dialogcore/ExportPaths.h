#pragma once
// Where the export dialogs propose their files: the folder the user took
// last time (a settings value), else the documents folder; and the report's
// default name and extension. Paths use '/' as the separator.

#include <ctime>
#include <string>

extern const std::wstring g_strLdifExportPathValue;    // "LDIFExportFilePath"
extern const std::wstring g_strReportWizardPathValue;  // "ReportWizardFilePath"

// The folder stored under valueName in the settings, else the documents
// folder, else the home folder; ends with '/' (empty when none is known).
std::wstring LoadExportFolder(const std::wstring& valueName);
// Stores the folder part of path under valueName.
void StoreExportFolder(const std::wstring& valueName, const std::wstring& path);
// Everything up to and including the last '/'; empty without one.
std::wstring FolderOfPath(const std::wstring& path);

// "%B-%d-%Y(first RDN)" made safe for a file name; the first RDN is baseDN
// up to its first ',', "RootDSE" for an empty one.
std::wstring ReportDefaultName(const std::wstring& baseDN, const std::tm& localDate);
// In the file-name part of path (after its last '/'), the text from the
// last full stop on is dropped, then extension (with its full stop) added.
std::wstring ReplaceExtension(const std::wstring& path, const std::wstring& extension);
