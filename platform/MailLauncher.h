#pragma once
// Handing a file to the desktop's mail program: xdg-email, started without
// a shell with the subject and the file as an attachment, and not waited for.

#include <string>

namespace platform {

// Whether a program of that name is found along PATH (executable).
bool IsProgramInPath(const std::string& name);

// Starts "xdg-email --subject SUBJECT --attach PATH" (UTF-8; the path is
// made absolute). False when it could not be started.
bool SendMailWithAttachment(const std::string& subject, const std::string& path);

} // namespace platform
