#pragma once
// What the controls page does to its control list, without the window: the
// row texts and the merge of a new control into the list.

#include <cstddef>
#include <string>

#include "ldap/LDAPControl.h"

namespace dialogcore {

// The value column: the first 8 bytes at most, each as "%.2X " (so the text
// ends with a blank when there is any byte).
std::string ControlValuePreview(const std::string& value);

struct MergeResult {
    size_t index;  // position of the control in the list
    bool added;    // appended, else an existing one was overwritten
};

// A control whose OID is already listed (exact comparison) overwrites that
// one (OID, value, criticality, enabled flag); else it is appended.
MergeResult MergeControl(arbldap::LDAPControlList& list, const arbldap::LDAPControl& control);

} // namespace dialogcore
