#pragma once
// The log's file sink: "messages.log" in the per-user data folder.

#include <string>

// The file sink: the line and a line end, flushed.
void WriteLogFileLine(const wchar_t* line);

// Opens "messages.log" in the per-user data folder, emptied, and adds the
// file sink. False when the file cannot be opened (the other sinks still work).
bool OpenLogFile();
// Opens the log file at path instead (tests).
bool OpenLogFileAt(const std::string& path);
// Removes the file sink and closes the file.
void CloseLogFile();
