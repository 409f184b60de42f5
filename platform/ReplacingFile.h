#pragma once
// A file written under a temporary name in the folder of its final path and
// renamed over that path only when the writing has come to its end: a
// failed or stopped writer leaves whatever stood under the name untouched,
// and never a half-written file. Writes are buffered.

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

class ReplacingFile {
public:
    ReplacingFile() = default;
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;
    // An open file that was not committed is removed.
    ~ReplacingFile();

    // Creates the temporary file beside path (UTF-8). False when the folder
    // cannot take it, or a file that stands under path may not be written.
    bool Open(const std::string& path);
    bool IsOpen() const { return m_fd >= 0; }
    // False once any write failed (later writes are dropped).
    bool Write(std::string_view bytes);
    // Writes the rest, gives the file the mode of the one it replaces (or
    // the usual mode of a new file) and renames it to the path. False, with
    // the temporary file removed, when any of it failed.
    bool Commit();
    // Removes the temporary file; the path keeps what it had.
    void Discard();

    const std::string& GetPath() const { return m_path; }
    const std::string& GetTemporaryPath() const { return m_temporary; }

private:
    bool Flush();

    int m_fd = -1;
    bool m_failed = false;
    std::string m_path;
    std::string m_temporary;
    std::string m_buffer;
};

} // namespace platform
