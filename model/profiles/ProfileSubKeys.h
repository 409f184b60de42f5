#pragma once
// The list sub-keys of a profile's key. Writers rewrite the sub-key whole
// (delete it with everything below, create it empty, fill it) so that no
// stale entry survives; readers take what they find.

#include <memory>
#include <string>

#include "base/StringList.h"
#include "ldap/LDAPControl.h"
#include "model/profiles/CFavoriteList.h"

// One text value per name, named "0000", "0001", ... in list order.
bool WriteNameListKey(const std::wstring& path, const StringList& names);
// Empties names; a missing sub-key leaves it empty.
void ReadNameListKey(const std::wstring& path, StringList& names);

// One sub-key per control, named by its OID, holding "Data", "Critical" and
// "Active". A null list writes an empty sub-key.
bool WriteControlListKey(const std::wstring& path, const arbldap::LDAPControlList* controls);
// Null when the sub-key is missing.
std::unique_ptr<arbldap::LDAPControlList> ReadControlListKey(const std::wstring& path);

// One text value per favourite: named "%.4d : <name>", its data the DN text.
bool WriteFavoriteListKey(const std::wstring& path, const CFavoriteList& favorites);
// Empties favorites; a missing sub-key leaves it empty.
void ReadFavoriteListKey(const std::wstring& path, CFavoriteList& favorites);
