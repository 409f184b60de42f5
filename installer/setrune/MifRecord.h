#pragma once
// The record a status MIF is written from, kept between the first and the
// last action of an installation: five zero-terminated fields of 256 bytes
// (MIF file name, manufacturer, product, version, serial number).

#include <cstddef>
#include <string>

namespace setrune {

struct MifRecord {
    static const size_t kFieldSize = 256;
    static const size_t kFields = 5;
    static const size_t kSize = kFieldSize * kFields;

    char fields[kFields][kFieldSize] = {};

    // Texts longer than a field are cut to fit it.
    void Set(size_t field, const std::string& text);
    std::string Get(size_t field) const;
};

// The record's file for a product: in the temporary folder ("C:\" without
// one), the product code with '-', '{' and '}' made '_', then ".TMP".
std::string MifRecordPath(const std::string& productCode);

// Writes all of the record; false (and no file left) when it cannot.
bool WriteMifRecord(const std::string& path, const MifRecord& record);
// Reads all of it; false when the file cannot be opened or is short.
bool ReadMifRecord(const std::string& path, MifRecord* record);

} // namespace setrune
