#pragma once
// The services the whole program shares, started once after the settings
// check and ended at exit: the message log with its sinks, the SSL client,
// the schema tables and cache, the command table, the directory constants
// and the internet session.

#include <string>

#include "base/CLogStreamBuf.h"

// Starts the services in their order: the log file (emptied) and its sink,
// then outputSink (may be null), the certificate check, the schema tables,
// the clipboard format, the confirmations, the schema cache, the command images, the directory
// constants, the internet session.
void InitGlobalSettings(LogSink outputSink);
// Only when started: removes the file sink, closes the log file and the
// internet session. The output window removes its own sink.
void CloseGlobalSettings();
bool AreGlobalServicesStarted();
class CInternetSession;
// The open internet session; null before start-up, after exit, or when it
// could not be opened.
const CInternetSession* GetInternetSession();

// The certificate folder: "CertificatePath" of the settings key, else the
// program folder; always ending with '/'.
std::string GetCertificateFolder();
// Sets up the SSL client when the folder holds "cacerts.pem" (with client
// authentication when "client.pem" is there too); otherwise logs string 575
// with the missing file's path. True when the SSL client is ready.
bool InitCertificates();
