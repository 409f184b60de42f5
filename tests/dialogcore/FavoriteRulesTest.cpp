#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "dialogcore/FavoriteRules.h"

using dialogcore::FavoriteRow;
using dialogcore::FavoriteVerdict;

namespace {

CFavoriteList Stored()
{
    CFavoriteList favorites;
    favorites.Add(CFavorite("People", "ou=people,o=lab"));
    favorites.Add(CFavorite("Ada", "uid=ada,ou=people,o=lab"));
    favorites.Add(CFavorite("Smith", "cn=Smith\\, John,o=lab"));
    favorites.Add(CFavorite("Root", ""));
    return favorites;
}

} // namespace

TEST(FavoriteRules, OkButtonsFollowTheTexts)
{
    const struct {
        std::string name, dn;
        bool create, accept;
    } cases[] = {
        {"Ada", "uid=ada", true, true},
        {"", "uid=ada", false, false},
        {"   ", "uid=ada", false, false},
        {" \t Ada", "uid=ada", true, true},
        {"Ada", "", true, false},
        {"Ada", "  ", true, false},
        {"Ada", " uid=ada", true, true},
        {"", "", false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(dialogcore::CanCreateFavorite(c.name), c.create) << "[" << c.name << "]";
        EXPECT_EQ(dialogcore::CanAcceptFavorite(c.name, c.dn), c.accept) << "[" << c.name << "] [" << c.dn << "]";
    }
    EXPECT_EQ(dialogcore::WithoutLeadingBlanks(" \t a b "), "a b ");
}

TEST(FavoriteRules, DNTextsThatAFavouriteMayHold)
{
    const struct {
        std::string dn;
        bool ok;
    } cases[] = {
        {"", true},  // the root DSE
        {"   ", true},
        {"o=lab", true},
        {"cn=Smith\\, John,o=lab", true},
        {"uid=ada, ou=people, o=lab", true},
        {"not a dn", false},
        {"cn=a,,o=lab", false},
        {"=x", false},
        {"cn=Smith\\", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(dialogcore::IsFavoriteDN(c.dn), c.ok) << "[" << c.dn << "]";
}

TEST(FavoriteRules, TheCreateDialogsOk)
{
    const CFavoriteList stored = Stored();
    const struct {
        std::string name, dn;
        FavoriteVerdict verdict;
    } cases[] = {
        {"New", "cn=new,o=lab", FavoriteVerdict::Accept},
        {"Ada", "cn=new,o=lab", FavoriteVerdict::NameTaken},
        {"ADA", "cn=new,o=lab", FavoriteVerdict::NameTaken},
        {"New", "", FavoriteVerdict::Accept},
        {"New", "garbage", FavoriteVerdict::BadDN},
        {"Ada", "garbage", FavoriteVerdict::NameTaken},  // the name is looked at first
        // The create dialog does not ask about a DN held already.
        {"New", "uid=ada,ou=people,o=lab", FavoriteVerdict::Accept},
    };
    for (const auto& c : cases)
        EXPECT_EQ(dialogcore::CheckCreatedFavorite(stored, c.name, c.dn).verdict, c.verdict)
            << c.name << " / " << c.dn;
}

TEST(FavoriteRules, TheAddAndEditDialogsOk)
{
    const CFavoriteList stored = Stored();
    const struct {
        const char* what;
        std::string startName, startDN, name, dn;
        FavoriteVerdict verdict;
        std::string holder;
    } cases[] = {
        {"new, all new", "", "", "New", "cn=new,o=lab", FavoriteVerdict::Accept, ""},
        {"new, stored name", "", "", "Ada", "cn=new,o=lab", FavoriteVerdict::NameTaken, ""},
        {"new, stored name in other case", "", "", "people", "cn=new,o=lab", FavoriteVerdict::NameTaken, ""},
        {"new, stored DN", "", "", "New", "uid=ada,ou=people,o=lab", FavoriteVerdict::DuplicateDN, "Ada"},
        {"new, stored DN written otherwise", "", "", "New", "UID=Ada, OU=People, O=Lab", FavoriteVerdict::DuplicateDN,
         "Ada"},
        {"new, escaped stored DN", "", "", "New", "CN=Smith\\, John,o=lab", FavoriteVerdict::DuplicateDN, "Smith"},
        {"new, escaped stored DN as a server writes it", "", "", "New", "cn=Smith\\2C John,o=lab",
         FavoriteVerdict::DuplicateDN, "Smith"},
        {"edit, the escaped DN respelt", "Smith", "cn=Smith\\, John,o=lab", "Smith", "cn=smith\\2c john,o=lab",
         FavoriteVerdict::Accept, ""},
        {"new, DN that does not parse", "", "", "New", "no dn here", FavoriteVerdict::BadDN, ""},
        {"edit, nothing changed", "Ada", "uid=ada,ou=people,o=lab", "Ada", "uid=ada,ou=people,o=lab",
         FavoriteVerdict::Accept, ""},
        {"edit, only the case of the name", "Ada", "uid=ada,ou=people,o=lab", "ADA", "uid=ada,ou=people,o=lab",
         FavoriteVerdict::Accept, ""},
        {"edit, the DN respelt", "Ada", "uid=ada,ou=people,o=lab", "Ada", "UID=ada, ou=People,o=lab",
         FavoriteVerdict::Accept, ""},
        {"edit, to another stored name", "Ada", "uid=ada,ou=people,o=lab", "People", "uid=ada,ou=people,o=lab",
         FavoriteVerdict::NameTaken, ""},
        {"edit, to another stored DN", "Ada", "uid=ada,ou=people,o=lab", "Ada", "ou=people,o=lab",
         FavoriteVerdict::DuplicateDN, "People"},
        {"edit, to a new name and DN", "Ada", "uid=ada,ou=people,o=lab", "Grace", "uid=grace,o=lab",
         FavoriteVerdict::Accept, ""},
        {"edit, to a DN that does not parse", "Ada", "uid=ada,ou=people,o=lab", "Ada", "uid=ada,,o=lab",
         FavoriteVerdict::BadDN, ""},
    };
    for (const auto& c : cases) {
        dialogcore::FavoriteCheck check =
            dialogcore::CheckEditedFavorite(stored, c.startName, c.startDN, c.name, c.dn);
        EXPECT_EQ(check.verdict, c.verdict) << c.what;
        EXPECT_EQ(check.holder, c.holder) << c.what;
    }
}

TEST(FavoriteRules, RenamingInPlace)
{
    const CFavoriteList stored = Stored();
    const struct {
        std::string from, to;
        bool refused;
    } cases[] = {
        {"Ada", "Grace", false},
        {"Ada", "People", true},
        {"Ada", "people", true},
        {"Ada", "Ada", false},   // unchanged
        {"Ada", "ada", false},   // the row's own name in another case
        {"New row", "Smith", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(dialogcore::IsRenameRefused(stored, c.from, c.to), c.refused) << c.from << " -> " << c.to;
}

TEST(FavoriteRules, TheRowsStoredSkipRowsWithoutADN)
{
    const struct {
        const char* what;
        std::vector<FavoriteRow> rows;
        std::vector<CFavorite> stored;
    } cases[] = {
        {"as read", dialogcore::RowsFromFavorites(Stored()),
         {CFavorite("People", "ou=people,o=lab"), CFavorite("Ada", "uid=ada,ou=people,o=lab"),
          CFavorite("Smith", "cn=Smith\\, John,o=lab"), CFavorite("Root", "")}},
        {"a row without a DN in the middle",
         {{"A", std::string("o=a")}, {"half made", std::nullopt}, {"B", std::string("o=b")}, {"", std::nullopt}},
         {CFavorite("A", "o=a"), CFavorite("B", "o=b")}},
        {"moved rows and the root DSE",
         {{"Root", std::string()}, {"B", std::string("o=b")}, {"A", std::string("o=a")}},
         {CFavorite("Root", ""), CFavorite("B", "o=b"), CFavorite("A", "o=a")}},
        {"nothing", {}, {}},
    };
    for (const auto& c : cases) {
        CFavoriteList expected;
        for (const CFavorite& f : c.stored)
            expected.Add(f);
        EXPECT_EQ(dialogcore::FavoritesFromRows(c.rows), expected) << c.what;
    }
}

TEST(FavoriteRules, TheDNDisplay)
{
    const struct {
        std::optional<std::string> dn;
        std::string shown;
    } cases[] = {
        {std::nullopt, ""},
        {std::string(), "RootDSE"},
        {std::string("o=lab"), "o=lab"},
        {std::string("uid=ada, ou=people, o=lab"), "uid=ada,ou=people,o=lab"},
        {std::string("cn=Smith\\, John,o=lab"), "cn=Smith\\, John,o=lab"},
        {std::string("cn=a\\+b+sn=c,o=lab"), "cn=a\\+b+sn=c,o=lab"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(dialogcore::FavoriteDNDisplay(c.dn), c.shown) << (c.dn ? *c.dn : "(none)");
}
