#include "base/ArchiveText.h"

#include <ostream>

void ReadStdString(CArchive& ar, std::string& s)
{
    uint32_t n = ar.ReadUInt32();
    ar.ReadBytes(s, n);
}

void WriteStdString(CArchive& ar, const std::string& s)
{
    ar.WriteUInt32(static_cast<uint32_t>(s.size()));
    ar.Write(s.data(), s.size());
}

void ReadGuid(CArchive& ar, GUID& guid)
{
    unsigned char b[16];
    ar.Read(b, 16);
    guid = GuidFromBytes(b);
}

void WriteGuid(CArchive& ar, const GUID& guid)
{
    unsigned char b[16];
    GuidToBytes(guid, b);
    ar.Write(b, 16);
}

std::wostream& WriteGuidText(std::wostream& os, const GUID& guid)
{
    return os << GuidToString(guid);
}
