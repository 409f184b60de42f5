#pragma once
// The tips file "Tips.tip": 8-bit text read line by line. A line is a tip
// unless it begins with a space, a tab, a line feed (an empty line) or ';'
// (a comment). Lines are read 999 bytes at a time, so a longer line gives
// several tips; a tip keeps its line end.

#include <cstdio>
#include <memory>
#include <string>

class CTipsFile {
public:
    bool Open(const std::string& path);
    bool IsOpen() const { return m_file != nullptr; }
    void Close() { m_file.reset(); }

    // The file's change time as ctime text without trailing white space;
    // empty when it cannot be read.
    std::string GetChangeTimeText() const;

    bool Seek(long offset);
    long Tell() const;

    enum class Result { Tip, NoTip, SeekFailed };
    // Reads lines until one is a tip; at the end of the file goes back to its
    // start and reads on. A file without any tip gives NoTip after one pass
    // over it from the position it started at.
    Result ReadNextTip(std::string& tip);

    static bool IsTipLine(const std::string& line);

private:
    struct Closer {
        void operator()(FILE* f) const { std::fclose(f); }
    };
    std::unique_ptr<FILE, Closer> m_file;
    std::string m_path;
};

// Where the tips file is: beside the program, else in ../share/arbolite/
// beside it. The program folder's path when neither exists.
std::string FindTipsFile();
