#include "base/Archive.h"

#include <cstring>

CArchive::CArchive() : m_mode(store) {}

CArchive::CArchive(std::string bytes) : m_mode(load), m_buffer(std::move(bytes)) {}

void CArchive::Write(const void* data, size_t size)
{
    if (m_mode != store)
        throw CArchiveException("archive is not open for writing");
    if (size)
        m_buffer.append(static_cast<const char*>(data), size);
}

void CArchive::Read(void* data, size_t size)
{
    if (m_mode != load)
        throw CArchiveException("archive is not open for reading");
    if (size > Remaining())
        throw CArchiveException("unexpected end of archive");
    if (size)
        std::memcpy(data, m_buffer.data() + m_pos, size);
    m_pos += size;
}

void CArchive::ReadBytes(std::string& out, size_t size)
{
    if (m_mode != load)
        throw CArchiveException("archive is not open for reading");
    if (size > Remaining())
        throw CArchiveException("unexpected end of archive");
    out.assign(m_buffer, m_pos, size);
    m_pos += size;
}

void CArchive::WriteUInt32(uint32_t v)
{
    unsigned char b[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                          static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
    Write(b, 4);
}

uint32_t CArchive::ReadUInt32()
{
    unsigned char b[4];
    Read(b, 4);
    return uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
}

void CArchive::WriteUInt16(uint16_t v)
{
    unsigned char b[2] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8)};
    Write(b, 2);
}

uint16_t CArchive::ReadUInt16()
{
    unsigned char b[2];
    Read(b, 2);
    return static_cast<uint16_t>(b[0] | b[1] << 8);
}

uint8_t CArchive::ReadByte()
{
    uint8_t v;
    Read(&v, 1);
    return v;
}

uint32_t CArchive::ReadCount(size_t minElementSize)
{
    uint32_t n = ReadUInt32();
    if (minElementSize && n > Remaining() / minElementSize)
        throw CArchiveException("archive count exceeds the data that follows");
    return n;
}
