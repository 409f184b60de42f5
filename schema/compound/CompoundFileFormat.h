#pragma once
// What a compound storage file is: its SQLite layout, the rules for element
// names and open modes, the check that tells a store from any other file, and
// the making of a new store. Internal to the compound storage.

#include <cstdint>
#include <string>

#include "schema/compound/CompoundStorage.h"

struct sqlite3;

namespace platform {

// The root storage's element id.
constexpr int64_t kCompoundRootId = 1;
// Streams are kept in chunks so that a small write touches one row, not the whole stream.
constexpr uint64_t kCompoundChunk = 4096;
constexpr int kCompoundBusyTimeoutMs = 2000;

// The lookup and sort form of an element name.
std::string FoldElementName(const std::string& name);
bool ValidElementName(const std::string& name);

bool ValidStorageMode(uint32_t mode);
bool WritableMode(uint32_t mode);
// A share mode that keeps other holders out.
bool ExcludingMode(uint32_t mode);

// An SQLite result as a storage result; otherwise for the codes without a match.
HRESULT StorageResult(int rc, HRESULT otherwise);

// Settings every connection needs before its first read.
void ConfigureConnection(sqlite3* db, bool exclusive);

// S_OK when the open database is one of our stores, else why not.
HRESULT CheckStoreFile(sqlite3* db);

// Writes an empty store, with the old bytes in "CONTENTS" when given, into a
// new temporary file beside path; its name in temp.
HRESULT BuildNewStoreFile(const std::string& path, const std::string* contents, std::string& temp);

} // namespace platform
