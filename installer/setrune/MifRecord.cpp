#include "installer/setrune/MifRecord.h"

#include <algorithm>
#include <cstring>

#include "installer/msi/Host.h"
#include "installer/setrune/Paths.h"

namespace setrune {

void MifRecord::Set(size_t field, const std::string& text)
{
    std::memset(fields[field], 0, kFieldSize);
    std::memcpy(fields[field], text.data(), std::min(text.size(), kFieldSize - 1));
}

std::string MifRecord::Get(size_t field) const
{
    return std::string(fields[field], strnlen(fields[field], kFieldSize - 1));
}

std::string MifRecordPath(const std::string& productCode)
{
    std::string folder = TheHost().TempFolder();
    if (folder.empty()) folder = "C:\\";
    std::string name = productCode;
    for (char& c : name)
        if (c == '-' || c == '{' || c == '}') c = '_';
    return JoinPath(folder, name + ".TMP");
}

bool WriteMifRecord(const std::string& path, const MifRecord& record)
{
    msi::Host& host = TheHost();
    auto file = host.OpenFile(path, msi::OpenMode::CreateAlways);
    if (!file) return false;
    bool written = file->Write(record.fields, MifRecord::kSize);
    file.reset();
    if (!written) host.DeleteFile(path);
    return written;
}

bool ReadMifRecord(const std::string& path, MifRecord* record)
{
    auto file = TheHost().OpenFile(path, msi::OpenMode::OpenExisting);
    size_t got = 0;
    return file && file->Read(record->fields, MifRecord::kSize, &got) && got == MifRecord::kSize;
}

} // namespace setrune
