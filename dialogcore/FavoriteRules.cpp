#include "dialogcore/FavoriteRules.h"

#include "base/NoCase.h"
#include "ldap/LDAPDN.h"
#include "model/values/FormatDN.h"

namespace dialogcore {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

bool IsBlankText(const std::string& text) { return WithoutLeadingBlanks(text).empty(); }

} // namespace

std::string WithoutLeadingBlanks(const std::string& text)
{
    size_t first = 0;
    while (first < text.size() && IsBlank(text[first]))
        ++first;
    return text.substr(first);
}

bool CanCreateFavorite(const std::string& name) { return !IsBlankText(name); }

bool CanAcceptFavorite(const std::string& name, const std::string& dn)
{
    return !IsBlankText(name) && !IsBlankText(dn);
}

bool IsFavoriteDN(const std::string& dn)
{
    return IsBlankText(dn) || arbldap::LDAPDN(dn).GetPartCount() > 0;
}

FavoriteCheck CheckCreatedFavorite(const CFavoriteList& stored, const std::string& name, const std::string& dn)
{
    FavoriteCheck check;
    if (stored.Contains(name))
        check.verdict = FavoriteVerdict::NameTaken;
    else if (!IsFavoriteDN(dn))
        check.verdict = FavoriteVerdict::BadDN;
    return check;
}

FavoriteCheck CheckEditedFavorite(const CFavoriteList& stored, const std::string& startName,
                                  const std::string& startDN, const std::string& name, const std::string& dn)
{
    FavoriteCheck check;
    // The stored favourite of the starting name is the one being edited.
    if (stored.Contains(name) && !EqualNoCase(name, startName)) {
        check.verdict = FavoriteVerdict::NameTaken;
        return check;
    }
    if (!IsFavoriteDN(dn)) {
        check.verdict = FavoriteVerdict::BadDN;
        return check;
    }
    const arbldap::LDAPDN value(dn);
    if (!arbldap::SameDNValue(value, arbldap::LDAPDN(startDN)) && stored.FindByValue(value, check.holder))
        check.verdict = FavoriteVerdict::DuplicateDN;
    return check;
}

bool IsRenameRefused(const CFavoriteList& stored, const std::string& oldName, const std::string& newName)
{
    return !EqualNoCase(oldName, newName) && stored.Contains(newName);
}

CFavoriteList FavoritesFromRows(const std::vector<FavoriteRow>& rows)
{
    CFavoriteList favorites;
    for (const FavoriteRow& row : rows)
        if (row.dn)
            favorites.Add(CFavorite(row.name, *row.dn));
    return favorites;
}

std::vector<FavoriteRow> RowsFromFavorites(const CFavoriteList& favorites)
{
    std::vector<FavoriteRow> rows;
    for (const CFavorite& favorite : favorites)
        rows.push_back(FavoriteRow{favorite.GetText(), favorite.GetValue()});
    return rows;
}

std::string FavoriteDNDisplay(const std::optional<std::string>& dn)
{
    if (!dn)
        return std::string();
    const arbldap::LDAPDN value(*dn);
    return value.GetPartCount() ? FormatDN(value) : std::string("RootDSE");
}

} // namespace dialogcore
