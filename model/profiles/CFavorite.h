#pragma once
// One favourite DN of a server: the name shown in the favourites menu and
// dialog, and the DN text (both UTF-8).

#include <string>

class CFavorite {
public:
    CFavorite() = default;
    CFavorite(std::string name, std::string dn) : m_name(std::move(name)), m_dn(std::move(dn)) {}
    CFavorite(const CFavorite&) = default;
    CFavorite& operator=(const CFavorite&) = default;
    virtual ~CFavorite() = default;

    const std::string& GetText() const { return m_name; }
    const std::string& GetValue() const { return m_dn; }

    bool operator==(const CFavorite& other) const { return m_name == other.m_name && m_dn == other.m_dn; }
    bool operator!=(const CFavorite& other) const { return !(*this == other); }

private:
    std::string m_name;
    std::string m_dn;
};
