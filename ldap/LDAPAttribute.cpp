#include "ldap/LDAPAttribute.h"

#include <ldap.h>

#include <cstring>
#include <memory>
#include <ostream>

#include "base/CharClasses.h"
#include "base/Utf8.h"
#include "base/ArchiveText.h"
#include "base/Archive.h"

namespace arbldap {

namespace {

// Reads one UTF-8 character of p[0..n) (n > 0) into cp; returns the bytes it
// takes, or 0 for a sequence that is not UTF-8 (stray or truncated bytes,
// overlong forms, surrogates, beyond U+10FFFF).
size_t StepUtf8(const unsigned char* p, size_t n, char32_t& cp)
{
    unsigned char c = p[0];
    if (c < 0x80) {
        cp = c;
        return 1;
    }
    size_t len;
    char32_t min;
    if ((c & 0xE0) == 0xC0) { len = 2; cp = c & 0x1F; min = 0x80; }
    else if ((c & 0xF0) == 0xE0) { len = 3; cp = c & 0x0F; min = 0x800; }
    else if ((c & 0xF8) == 0xF0) { len = 4; cp = c & 0x07; min = 0x10000; }
    else return 0;
    if (len > n) return 0;
    for (size_t i = 1; i < len; ++i) {
        if ((p[i] & 0xC0) != 0x80) return 0;
        cp = cp << 6 | (p[i] & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return len;
}

// Flags of the character at which the scan of one value stops: the first one
// that is not printable, or the last one of the value. An empty value is read
// as its terminating zero.
uint8_t StoppingCharClass(std::string_view value)
{
    const auto* p = reinterpret_cast<const unsigned char*>(value.data());
    const size_t n = value.size();
    if (n == 0)
        return GetCodePointClass(0);
    uint8_t flags = 0;
    for (size_t i = 0; i < n;) {
        char32_t cp;
        size_t len = StepUtf8(p + i, n - i, cp);
        if (len == 0)
            return 0;
        flags = GetCodePointClass(cp);
        if (!(flags & kCharPrintable))
            break;
        i += len;
    }
    return flags;
}

char* CopyText(std::string_view s)
{
    std::unique_ptr<char[]> copy(new char[s.size() + 1]);
    if (!s.empty())
        std::memcpy(copy.get(), s.data(), s.size());
    copy[s.size()] = '\0';
    return copy.release();
}

} // namespace

LDAPAttribute::LDAPAttribute(const std::string& name, const std::string& value) : m_values(name)
{
    m_values.Add(value);
}

LDAPAttribute::LDAPAttribute(const std::string& name, const StringList& values) : m_values(name)
{
    for (const std::string& value : values)
        m_values.Add(value);
}

LDAPAttribute::LDAPAttribute(const char* name, char** values) : m_values(name ? name : "")
{
    SetValues(values);
}

LDAPAttribute::LDAPAttribute(const char* name, berval** values) : m_values(name ? name : "")
{
    SetBerValues(values);
}

std::string LDAPAttribute::GetBaseName() const
{
    std::string_view name = m_values.Name();
    return std::string(name.substr(0, name.find(';')));
}

int LDAPAttribute::AddBerValue(const berval* value)
{
    if (!value)
        return -1;
    if (value->bv_len && !value->bv_val)
        return -1;
    m_values.Add(std::string_view(value->bv_val, value->bv_len));
    return 0;
}

int LDAPAttribute::SetValues(const StringList& values)
{
    m_values.ClearValues();
    for (const std::string& value : values)
        m_values.Add(value);
    return 0;
}

int LDAPAttribute::SetValues(char** values)
{
    if (values) {
        m_values.ClearValues();
        for (char** p = values; *p; ++p)
            m_values.Add(*p);
    }
    return 0;
}

int LDAPAttribute::SetBerValues(berval** values)
{
    if (!values)
        return 0;
    m_values.ClearValues();
    for (berval** p = values; *p; ++p)
        if (AddBerValue(*p) != 0)
            return -1;
    return 0;
}

berval** LDAPAttribute::ToBerValArray() const
{
    if (m_values.IsEmpty())
        return nullptr;
    // Zero-filled, so a failure part-way frees just what was built.
    std::unique_ptr<berval*[]> array(new berval*[m_values.GetCount() + 1]());
    try {
        size_t i = 0;
        for (std::string_view value : m_values) {
            auto bv = std::make_unique<berval>();
            bv->bv_len = value.size();
            bv->bv_val = CopyText(value);
            array[i++] = bv.release();
        }
    } catch (...) {
        FreeBerValArray(array.release());
        throw;
    }
    return array.release();
}

void LDAPAttribute::FreeBerValArray(berval** array)
{
    if (!array)
        return;
    for (berval** p = array; *p; ++p) {
        delete[] (*p)->bv_val;
        delete *p;
    }
    delete[] array;
}

LDAPMod* LDAPAttribute::ToLDAPMod() const
{
    auto mod = std::make_unique<LDAPMod>();
    mod->mod_op = LDAP_MOD_BVALUES | LDAP_MOD_ADD;
    mod->mod_type = CopyText(m_values.Name());
    try {
        mod->mod_bvalues = ToBerValArray();
    } catch (...) {
        delete[] mod->mod_type;
        throw;
    }
    return mod.release();
}

void LDAPAttribute::FreeLDAPMod(LDAPMod* mod)
{
    if (!mod)
        return;
    delete[] mod->mod_type;
    FreeBerValArray(mod->mod_bvalues);
    delete mod;
}

bool LDAPAttribute::IsNotPrintable() const
{
    for (std::string_view value : m_values) {
        // A value passes on its first unprintable character when that is
        // white space: multi-line text stays text.
        if (!(StoppingCharClass(value) & (kCharPrintable | kCharSpace)))
            return true;
    }
    return false;
}

std::wostream& DumpAttribute(std::wostream& os, const LDAPAttribute& attribute)
{
    os << Utf8ToWideString(attribute.GetName()) << L"\n";
    if (attribute.IsNotPrintable()) {
        os << L"NOT_PRINTABLE";
        return os;
    }
    for (std::string_view value : attribute.GetValues())
        os << L"   " << Utf8ToWideString(std::string(value)) << L"\n";
    return os;
}

CArchive& WriteAttribute(CArchive& ar, const LDAPAttribute& attribute)
{
    WriteStdString(ar, attribute.GetName());
    return WriteStringList(ar, attribute.GetValues());
}

CArchive& ReadAttribute(CArchive& ar, LDAPAttribute& attribute)
{
    std::string name;
    StringList values;
    ReadStdString(ar, name);
    ReadStringList(ar, values);
    attribute.SetName(name);
    attribute.SetValues(values);
    return ar;
}

} // namespace arbldap
