#pragma once
// What the favourite dialogs decide, without the windows: when OK may be
// pressed, what OK refuses or asks, which rows the manager stores and what
// its DN display shows. Texts are UTF-8; names compare ignoring ASCII case,
// DNs as DN values.

#include <optional>
#include <string>
#include <vector>

#include "model/profiles/CFavoriteList.h"

namespace dialogcore {

// The text without its leading blanks.
std::string WithoutLeadingBlanks(const std::string& text);

// The create dialog's OK: a name that is not only blanks.
bool CanCreateFavorite(const std::string& name);
// The add and edit dialog's OK: a name and a DN that are not only blanks.
bool CanAcceptFavorite(const std::string& name, const std::string& dn);

// Whether a favourite may hold the text as its DN: a DN that parses, or
// nothing at all (the root DSE). A text that does not parse would silently
// become the root DSE.
bool IsFavoriteDN(const std::string& dn);

enum class FavoriteVerdict {
    Accept,
    NameTaken,     // a stored favourite has the name (string 674), focus on the name
    BadDN,         // the DN does not parse, focus on the DN
    DuplicateDN,   // a stored favourite holds the DN: ask (string 673)
};

struct FavoriteCheck {
    FavoriteVerdict verdict = FavoriteVerdict::Accept;
    std::string holder;  // DuplicateDN: the name of the favourite holding the DN
};

// The create dialog's OK against the stored favourites.
FavoriteCheck CheckCreatedFavorite(const CFavoriteList& stored, const std::string& name, const std::string& dn);

// The add and edit dialog's OK. The starting name and DN are what the
// dialog opened with (empty for a new favourite): keeping them is no clash.
FavoriteCheck CheckEditedFavorite(const CFavoriteList& stored, const std::string& startName,
                                  const std::string& startDN, const std::string& name, const std::string& dn);

// Renaming a row in place from oldName: refused when a stored favourite
// other than the row's own already has the name.
bool IsRenameRefused(const CFavoriteList& stored, const std::string& oldName, const std::string& newName);

// One row of the manager: a name and, once it has one, a DN. The empty text
// as DN is the root DSE; no DN at all is a row still being made.
struct FavoriteRow {
    std::string name;
    std::optional<std::string> dn;
};

// The favourites OK stores, in row order: every row that has a DN.
CFavoriteList FavoritesFromRows(const std::vector<FavoriteRow>& rows);
// The manager's rows for the stored favourites, in their order.
std::vector<FavoriteRow> RowsFromFavorites(const CFavoriteList& favorites);

// The DN display for a row: the DN composed again from its parts,
// "RootDSE" for the empty DN, nothing for a row without a DN.
std::string FavoriteDNDisplay(const std::optional<std::string>& dn);

} // namespace dialogcore
