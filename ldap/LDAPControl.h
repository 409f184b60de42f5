#pragma once
// LDAP controls as the program keeps them (edited, stored with a profile, read
// from the root DSE), and their conversion to the library's NULL-terminated
// control arrays.

#include <cstddef>
#include <memory>
#include <string>
#include <vector>
#include "ldap/SdkTypes.h"

namespace arbldap {

class LDAPControl {
public:
    // The value is kept only when value is not null and length is not 0.
    LDAPControl(const char* oid, bool critical, const void* value, size_t length, bool enabled);
    LDAPControl(const std::string& oid, bool critical, const std::string& value, bool enabled);
    LDAPControl(const LDAPControl&) = default;
    LDAPControl(LDAPControl&&) = default;
    LDAPControl& operator=(const LDAPControl&) = default;
    LDAPControl& operator=(LDAPControl&&) = default;
    ~LDAPControl() = default;

    std::string GetOID() const { return m_oid; }
    bool IsCritical() const { return m_critical; }
    // The value bytes, any bytes, possibly empty.
    std::string GetValue() const { return m_value; }
    bool IsEnabled() const { return m_enabled; }
    void SetEnabled(bool enabled) { m_enabled = enabled; }

    // A new library record: zero-terminated OID copy, value copy (null
    // pointer and length 0 for an empty value), criticality 1 or 0.
    // Free it with FreeSDKControl. Throws std::bad_alloc.
    ::ldapcontrol* ToSDK() const;

    bool operator==(const LDAPControl& other) const;
    bool operator!=(const LDAPControl& other) const { return !(*this == other); }

private:
    std::string m_oid;
    std::string m_value;
    bool m_critical;
    bool m_enabled;
};

class LDAPControlList {
public:
    typedef std::vector<LDAPControl>::iterator iterator;
    typedef std::vector<LDAPControl>::const_iterator const_iterator;

    LDAPControlList() = default;
    // One enabled control per record of a NULL-terminated library array
    // (null gives an empty list); critical when the record's byte is not 0.
    explicit LDAPControlList(const ::ldapcontrol* const* controls);
    LDAPControlList(const LDAPControlList&) = default;
    LDAPControlList(LDAPControlList&&) = default;
    LDAPControlList& operator=(const LDAPControlList&) = default;
    LDAPControlList& operator=(LDAPControlList&&) = default;
    ~LDAPControlList() = default;

    void Add(const LDAPControl& control) { m_controls.push_back(control); }
    // Removes the control at index; false when there is none there.
    bool RemoveAt(size_t index);
    iterator Remove(const_iterator position) { return m_controls.erase(position); }

    size_t GetCount() const { return m_controls.size(); }
    bool IsEmpty() const { return m_controls.empty(); }
    // Throws std::out_of_range for a bad index.
    LDAPControl& GetAt(size_t index) { return m_controls.at(index); }
    const LDAPControl& GetAt(size_t index) const { return m_controls.at(index); }

    iterator begin() { return m_controls.begin(); }
    iterator end() { return m_controls.end(); }
    const_iterator begin() const { return m_controls.begin(); }
    const_iterator end() const { return m_controls.end(); }

    // Null for an empty list; else count + 1 slots holding the records of the
    // enabled controls in order, the rest null (only the terminator when no
    // control is enabled). Free it only with FreeSDKControlArray.
    // Throws std::bad_alloc.
    ::ldapcontrol** ToSDKArray() const;

    bool operator==(const LDAPControlList& other) const { return m_controls == other.m_controls; }
    bool operator!=(const LDAPControlList& other) const { return m_controls != other.m_controls; }

private:
    std::vector<LDAPControl> m_controls;
};

// Frees a record made by LDAPControl::ToSDK; null does nothing.
void FreeSDKControl(::ldapcontrol* control);
// Frees every record of an array made by ToSDKArray, then the array; null
// does nothing. Never hand these arrays to ldap_controls_free.
void FreeSDKControlArray(::ldapcontrol** controls);

struct SDKControlArrayDeleter {
    void operator()(::ldapcontrol** controls) const { FreeSDKControlArray(controls); }
};
// Owner of an array from ToSDKArray, for callers that hold it across a send.
typedef std::unique_ptr<::ldapcontrol*, SDKControlArrayDeleter> SDKControlArrayPtr;

} // namespace arbldap
