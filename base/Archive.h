#pragma once
// Little-endian byte archive: the stored form of strings, lists, DNs, GUIDs and
// the schema cache streams. Readers never trust a count or length: each is
// checked against the bytes that remain before anything is allocated.

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

class CArchiveException : public std::runtime_error {
public:
    explicit CArchiveException(const char* what) : std::runtime_error(what) {}
};

class CArchive {
public:
    enum Mode { store = 0, load = 1 };

    // Storing archive: appends to its own buffer (see GetBuffer).
    CArchive();
    // Loading archive over a copy of the given bytes.
    explicit CArchive(std::string bytes);

    bool IsStoring() const { return m_mode == store; }
    bool IsLoading() const { return m_mode == load; }

    void Write(const void* data, size_t size);
    // Throws CArchiveException when fewer than size bytes remain.
    void Read(void* data, size_t size);
    // Reads size bytes into out (resized); checks first, then allocates.
    void ReadBytes(std::string& out, size_t size);

    void WriteUInt32(uint32_t v);
    uint32_t ReadUInt32();
    void WriteInt32(int32_t v) { WriteUInt32(static_cast<uint32_t>(v)); }
    int32_t ReadInt32() { return static_cast<int32_t>(ReadUInt32()); }
    void WriteUInt16(uint16_t v);
    uint16_t ReadUInt16();
    void WriteByte(uint8_t v) { Write(&v, 1); }
    uint8_t ReadByte();

    // Reads a 32-bit element count and checks that count elements of at least
    // minElementSize bytes each can still follow.
    uint32_t ReadCount(size_t minElementSize);

    size_t Remaining() const { return m_buffer.size() - m_pos; }
    const std::string& GetBuffer() const { return m_buffer; }

    CArchive& operator<<(uint32_t v) { WriteUInt32(v); return *this; }
    CArchive& operator<<(int32_t v) { WriteInt32(v); return *this; }
    CArchive& operator>>(uint32_t& v) { v = ReadUInt32(); return *this; }
    CArchive& operator>>(int32_t& v) { v = ReadInt32(); return *this; }

private:
    Mode m_mode;
    std::string m_buffer;
    size_t m_pos = 0;
};
