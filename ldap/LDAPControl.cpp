#include <ldap.h>

#include "ldap/LDAPControl.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace arbldap {

// The records and arrays are the program's own (calloc/malloc), so only the
// free functions below may release them: the library's free calls would use
// its own allocator.

LDAPControl::LDAPControl(const char* oid, bool critical, const void* value, size_t length, bool enabled)
    : m_oid(oid ? oid : ""),
      m_value(value && length ? std::string(static_cast<const char*>(value), length) : std::string()),
      m_critical(critical),
      m_enabled(enabled)
{
}

LDAPControl::LDAPControl(const std::string& oid, bool critical, const std::string& value, bool enabled)
    : m_oid(oid), m_value(value), m_critical(critical), m_enabled(enabled)
{
}

bool LDAPControl::operator==(const LDAPControl& other) const
{
    return m_oid == other.m_oid && m_value == other.m_value && m_critical == other.m_critical &&
           m_enabled == other.m_enabled;
}

::ldapcontrol* LDAPControl::ToSDK() const
{
    auto* record = static_cast<::LDAPControl*>(std::calloc(1, sizeof(::LDAPControl)));
    if (!record) throw std::bad_alloc();

    record->ldctl_oid = static_cast<char*>(std::malloc(m_oid.size() + 1));
    if (!record->ldctl_oid) {
        FreeSDKControl(record);
        throw std::bad_alloc();
    }
    std::memcpy(record->ldctl_oid, m_oid.c_str(), m_oid.size() + 1);

    if (!m_value.empty()) {
        record->ldctl_value.bv_val = static_cast<char*>(std::malloc(m_value.size()));
        if (!record->ldctl_value.bv_val) {
            FreeSDKControl(record);
            throw std::bad_alloc();
        }
        std::memcpy(record->ldctl_value.bv_val, m_value.data(), m_value.size());
        record->ldctl_value.bv_len = m_value.size();
    }
    record->ldctl_iscritical = m_critical ? 1 : 0;
    return record;
}

LDAPControlList::LDAPControlList(const ::ldapcontrol* const* controls)
{
    if (!controls) return;
    for (const ::ldapcontrol* const* p = controls; *p; ++p) {
        const ::LDAPControl& c = **p;
        m_controls.emplace_back(c.ldctl_oid, c.ldctl_iscritical != 0, c.ldctl_value.bv_val,
                                static_cast<size_t>(c.ldctl_value.bv_len), true);
    }
}

bool LDAPControlList::RemoveAt(size_t index)
{
    if (index >= m_controls.size()) return false;
    m_controls.erase(m_controls.begin() + static_cast<std::ptrdiff_t>(index));
    return true;
}

::ldapcontrol** LDAPControlList::ToSDKArray() const
{
    if (m_controls.empty()) return nullptr;

    SDKControlArrayPtr array(static_cast<::ldapcontrol**>(
        std::calloc(m_controls.size() + 1, sizeof(::ldapcontrol*))));
    if (!array) throw std::bad_alloc();
    size_t next = 0;
    for (const LDAPControl& control : m_controls)
        if (control.IsEnabled())
            array.get()[next++] = control.ToSDK();  // the slots after it stay null
    return array.release();
}

void FreeSDKControl(::ldapcontrol* control)
{
    if (!control) return;
    std::free(control->ldctl_oid);
    std::free(control->ldctl_value.bv_val);
    std::free(control);
}

void FreeSDKControlArray(::ldapcontrol** controls)
{
    if (!controls) return;
    for (::ldapcontrol** p = controls; *p; ++p)
        FreeSDKControl(*p);
    std::free(controls);
}

} // namespace arbldap
