// The favourite dialogs as a person meets them: the new-favourite dialog
// behind the node dialogs, the add and edit dialog, and the manager with
// its list; what OK stored is read back by a fresh process of this program.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

#include <wx/bmpbuttn.h>
#include <wx/listctrl.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include "base/Guid.h"
#include "base/Utf8.h"
#include "dialogs/CAddNewFavoriteDlg.h"
#include "dialogs/CCreateFavoriteDlg.h"
#include "dialogs/CFavoritesManagerDlg.h"
#include "dialogs/WxNodeDialogs.h"
#include "model/ports/FavoritesSaving.h"
#include "model/ports/ResourceText.h"
#include "model/profiles/CServerProfile.h"
#include "platform/ResourceLibrary.h"
#include "platform/ShellPorts.h"
#include "shellcore/CRecentItemsList.h"
#include "tests/dialogs/DialogsFixture.h"
#include "tests/support/HeadlessShell.h"
#include "tests/support/RefusingSettings.h"
#include "tests/support/TempHome.h"
#include "tests/support/gui/ModalDialogs.h"
#include "tests/support/gui/UiTestSupport.h"

namespace {

using uitest::Modals;
using uitest::OnNextDialog;
using uitest::WhenShown;

constexpr unsigned kStrHeld = 673;
constexpr unsigned kStrTaken = 674;
constexpr unsigned kStrNotADN = 752;
const char* const kProfileVariable = "ARB_FAVORITES_PROFILE";

// What pressing OK with the texts typed did; the dialog is cancelled when
// it stayed open.
struct OkAttempt {
    bool okEnabled = false;
    bool stayedOpen = false;
    int focus = 0;  // the id of the window with the focus afterwards
};

template <class Dialog>
OkAttempt TryOk(Dialog& dialog, const wxString& name, const wxString& dn)
{
    OkAttempt attempt;
    uitest::TextOf(dialog, Dialog::kIdcName).SetValue(name);
    uitest::TextOf(dialog, Dialog::kIdcDN).SetValue(dn);
    attempt.okEnabled = dialog.IsOkEnabled();
    if (attempt.okEnabled)
        uitest::Click(dialog, wxID_OK);
    uitest::RunFor(50);
    attempt.stayedOpen = dialog.IsModal();
    wxWindow* focused = wxWindow::FindFocus();
    attempt.focus = focused ? focused->GetId() : 0;
    if (attempt.stayedOpen)
        dialog.EndModal(wxID_CANCEL);
    return attempt;
}

std::vector<CFavorite> Favorites(const CFavoriteList& list) { return std::vector<CFavorite>(list.begin(), list.end()); }

std::string Describe(const std::vector<CFavorite>& favorites)
{
    std::string text;
    for (const CFavorite& f : favorites)
        text += "[" + f.GetText() + " = " + f.GetValue() + "] ";
    return text;
}

class FavoriteDialogsTest : public dialogtest::DialogsFixture {
protected:
    void SetUp() override
    {
        DialogsFixture::SetUp();
        shell = std::make_unique<platform::HeadlessShell>();
        stored.Add(CFavorite("People", "ou=people,o=lab"));
        stored.Add(CFavorite("Ada", "uid=ada,ou=people,o=lab"));
        stored.Add(CFavorite("Smith", "cn=Smith\\, John,ou=people,o=lab"));
        stored.Add(CFavorite("Root", ""));
    }
    void TearDown() override
    {
        shell.reset();
        DialogsFixture::TearDown();
    }

    std::vector<std::wstring> Asked() const
    {
        std::vector<std::wstring> texts;
        for (const auto& asked : shell->MessageBox().asked)
            texts.push_back(asked.text);
        return texts;
    }

    // A stored profile holding the favourites.
    CServerProfile SavedProfile()
    {
        CServerProfile profile;
        profile.SetProfileName(L"Laboratory");
        profile.SetFavorites(stored);
        EXPECT_TRUE(profile.SaveProfile());
        return profile;
    }

    // The profile's favourites as a fresh process of this program loads them.
    std::vector<CFavorite> ReadInFreshProcess(const CServerProfile& profile)
    {
        setenv(kProfileVariable, WideToUtf8Text(GuidToString(profile.GetId())).c_str(), 1);
        const std::string command = "/proc/" + std::to_string(getpid()) +
                                    "/exe --gtest_also_run_disabled_tests "
                                    "--gtest_filter=FavoritesReader.DISABLED_PrintsTheStoredFavourites 2>/dev/null";
        std::vector<CFavorite> favorites;
        FILE* pipe = popen(command.c_str(), "r");
        EXPECT_NE(pipe, nullptr);
        if (!pipe) return favorites;
        char line[4096];
        bool loaded = false;
        while (fgets(line, sizeof line, pipe)) {
            std::string text(line);
            if (!text.empty() && text.back() == '\n') text.pop_back();
            if (text == "loaded") loaded = true;
            if (text.rfind("favourite\t", 0) != 0) continue;
            text = text.substr(10);
            const size_t tab = text.find('\t');
            favorites.emplace_back(text.substr(0, tab), tab == std::string::npos ? "" : text.substr(tab + 1));
        }
        EXPECT_EQ(pclose(pipe), 0);
        EXPECT_TRUE(loaded) << "the fresh process did not load the profile";
        unsetenv(kProfileVariable);
        return favorites;
    }

    std::unique_ptr<platform::HeadlessShell> shell;
    CFavoriteList stored;
};

// Not run in the suite: the fresh process the tests above start.
TEST(FavoritesReader, DISABLED_PrintsTheStoredFavourites)
{
    const char* id = getenv(kProfileVariable);
    ASSERT_NE(id, nullptr);
    CServerProfile profile;
    ASSERT_TRUE(profile.SetIdFromString(Utf8ToWideString(id)));
    ASSERT_TRUE(profile.LoadProfile());
    printf("loaded\n");
    for (const CFavorite& f : profile.GetFavorites())
        printf("favourite\t%s\t%s\n", f.GetText().c_str(), f.GetValue().c_str());
    fflush(stdout);
}

TEST_F(FavoriteDialogsTest, TheNewFavouriteDialogRefusesTakenNamesAndDNsThatDoNotParse)
{
    const struct {
        const char* what;
        std::string name, dn;  // typed
        bool okEnabled;
        bool closed;
        unsigned message;      // 0: none
        int focus;             // the edit with the focus after a refusal
    } cases[] = {
        {"a new name", "Grace", "uid=grace,ou=people,o=lab", true, true, 0, 0},
        {"the root DSE", "Top", "", true, true, 0, 0},
        {"a DN held already is not asked about", "Ada again", "uid=ada,ou=people,o=lab", true, true, 0, 0},
        {"a stored name", "ada", "uid=grace,o=lab", true, false, kStrTaken, CCreateFavoriteDlg::kIdcName},
        {"a DN that does not parse", "Grace", "grace", true, false, kStrNotADN, CCreateFavoriteDlg::kIdcDN},
        {"blanks only", "   ", "uid=grace,o=lab", false, false, 0, 0},
    };
    WxNodeDialogs dialogs;
    ASSERT_TRUE(dialogs.HasDialog(NodeDialog::Favorite));
    for (const auto& c : cases) {
        shell->MessageBox().asked.clear();
        bool proposed = false;
        OkAttempt attempt;
        WhenShown<CCreateFavoriteDlg>([&](CCreateFavoriteDlg& dialog) {
            proposed = uitest::TextOf(dialog, CCreateFavoriteDlg::kIdcName).GetValue() == "proposed" &&
                       uitest::TextOf(dialog, CCreateFavoriteDlg::kIdcDN).GetValue() == "o=lab";
            attempt = TryOk(dialog, wxString::FromUTF8(c.name), wxString::FromUTF8(c.dn));
        });
        std::string name = "proposed", value = "o=lab";
        const bool ok = dialogs.EditFavorite(stored, name, value);
        EXPECT_TRUE(proposed) << c.what;
        EXPECT_EQ(attempt.okEnabled, c.okEnabled) << c.what;
        EXPECT_EQ(ok, c.closed) << c.what;
        EXPECT_EQ(attempt.stayedOpen, !c.closed) << c.what;
        if (c.closed) {
            EXPECT_EQ(name, c.name) << c.what;
            EXPECT_EQ(value, c.dn) << c.what;
        }
        if (c.message) {
            ASSERT_EQ(Asked().size(), 1u) << c.what;
            EXPECT_EQ(Asked()[0], FormatResourceText(c.message, {Utf8ToWideString(c.message == kStrTaken ? c.name : c.dn)}))
                << c.what;
            EXPECT_EQ(attempt.focus, c.focus) << c.what;
        } else {
            EXPECT_TRUE(Asked().empty()) << c.what;
        }
    }
}

TEST_F(FavoriteDialogsTest, TheAddAndEditDialogChecksNamesAndDNsAgainstTheStartingOnes)
{
    const struct {
        const char* what;
        std::wstring startName, startDN, name, dn;
        int answer;  // to a question, 0 for none
        const wchar_t* holder;  // named in the question
        bool okEnabled;
        bool closed;
        unsigned message;
        int focus;
    } cases[] = {
        {"new", L"", L"", L"Grace", L"uid=grace,o=lab", 0, L"", true, true, 0, 0},
        {"new without a DN", L"", L"", L"Grace", L" ", 0, L"", false, false, 0, 0},
        {"new without a name", L"", L"", L"", L"uid=grace,o=lab", 0, L"", false, false, 0, 0},
        {"new with a stored name", L"", L"", L"PEOPLE", L"uid=grace,o=lab", 0, L"", true, false, kStrTaken,
         CAddNewFavoriteDlg::kIdcName},
        {"new with a stored DN, Yes", L"", L"", L"Ada 2", L"UID=ada, ou=people, o=lab", platform::kIdYes, L"Ada", true, true,
         kStrHeld, 0},
        {"new with a stored DN, No", L"", L"", L"Ada 2", L"uid=ada,ou=people,o=lab", platform::kIdNo, L"Ada", true, false,
         kStrHeld, 0},
        {"new with an escaped stored DN", L"", L"", L"John", L"cn=Smith\\, John,ou=people,o=lab", platform::kIdNo, L"Smith", true,
         false, kStrHeld, 0},
        {"new with a DN that does not parse", L"", L"", L"Grace", L"cn=Smith\\", 0, L"", true, false, kStrNotADN,
         CAddNewFavoriteDlg::kIdcDN},
        {"edit without a change", L"Ada", L"uid=ada,ou=people,o=lab", L"Ada", L"uid=ada,ou=people,o=lab", 0, L"", true,
         true, 0, 0},
        {"edit to another stored name", L"Ada", L"uid=ada,ou=people,o=lab", L"Smith", L"uid=ada,ou=people,o=lab", 0,
         L"", true, false, kStrTaken, CAddNewFavoriteDlg::kIdcName},
        {"edit to another stored DN, Yes", L"Ada", L"uid=ada,ou=people,o=lab", L"Ada", L"ou=people,o=lab",
         platform::kIdYes, L"People", true, true, kStrHeld, 0},
    };
    for (const auto& c : cases) {
        shell->MessageBox().asked.clear();
        if (c.answer)
            shell->MessageBox().Answer(c.answer);
        OkAttempt attempt;
        WhenShown<CAddNewFavoriteDlg>([&](CAddNewFavoriteDlg& dialog) { attempt = TryOk(dialog, c.name, c.dn); });
        CAddNewFavoriteDlg dialog(stored, L"", L"Add", nullptr);
        dialog.m_name = c.startName;
        dialog.m_dn = c.startDN;
        const int result = dialog.DoModal();
        EXPECT_EQ(attempt.okEnabled, c.okEnabled) << c.what;
        EXPECT_EQ(result == wxID_OK, c.closed) << c.what;
        EXPECT_EQ(attempt.stayedOpen, !c.closed) << c.what;
        if (c.message) {
            ASSERT_EQ(Asked().size(), 1u) << c.what;
            const std::wstring argument = c.message == kStrTaken ? c.name : c.message == kStrNotADN ? c.dn : c.holder;
            EXPECT_EQ(Asked()[0], FormatResourceText(c.message, {argument})) << c.what;
            if (c.focus) {
                EXPECT_EQ(attempt.focus, c.focus) << c.what;
            }
        } else {
            EXPECT_TRUE(Asked().empty()) << c.what;
        }
        if (c.closed) {
            EXPECT_EQ(dialog.m_name, c.name) << c.what;
            EXPECT_EQ(dialog.m_dn, c.dn) << c.what;
        }
    }
}

TEST_F(FavoriteDialogsTest, TheEditDialogShowsItsLabelAndCaptionAndRecordsTheDN)
{
    WhenShown<CAddNewFavoriteDlg>([&](CAddNewFavoriteDlg& dialog) {
        EXPECT_EQ(dialog.GetTitle(), LoadResourceText(223));
        EXPECT_EQ(uitest::LabelOf(dialog, CAddNewFavoriteDlg::kIdcLabel), LoadResourceText(225));
        EXPECT_EQ(uitest::TextOf(dialog, CAddNewFavoriteDlg::kIdcName).GetValue(), "Ada");
        EXPECT_EQ(uitest::TextOf(dialog, CAddNewFavoriteDlg::kIdcDN).GetValue(), "uid=ada,ou=people,o=lab");
        uitest::TextOf(dialog, CAddNewFavoriteDlg::kIdcDN).SetValue("uid=ada,ou=staff,o=lab");
        uitest::Screenshot(dialog, "favorite-edit");
        uitest::Click(dialog, wxID_OK);
    });
    CAddNewFavoriteDlg dialog(stored, LoadResourceText(225), LoadResourceText(223), nullptr);
    dialog.m_name = L"Ada";
    dialog.m_dn = L"uid=ada,ou=people,o=lab";
    ASSERT_EQ(dialog.DoModal(), wxID_OK);
    EXPECT_TRUE(Asked().empty());

    CRecentItemsList recent(platform::RegRoot::CurrentUser, g_strRecentDNsKey);
    std::vector<std::wstring> texts;
    recent.GetRecentStrings(texts, -1);
    EXPECT_EQ(texts, std::vector<std::wstring>{L"uid=ada,ou=staff,o=lab"});
}

class FavoritesManagerTest : public FavoriteDialogsTest {
protected:
    std::vector<std::string> Rows(CFavoritesManagerDlg& dialog)
    {
        std::vector<std::string> rows;
        for (int i = 0; i < dialog.GetList()->GetCount(); ++i)
            rows.push_back(dialog.GetList()->GetItemText(i).utf8_string());
        return rows;
    }
    std::string Shown(CFavoritesManagerDlg& dialog) { return dialog.GetDNDisplay()->GetValue().utf8_string(); }
    int Row(CFavoritesManagerDlg& dialog, const std::string& name)
    {
        for (int i = 0; i < dialog.GetList()->GetCount(); ++i)
            if (dialog.GetList()->GetItemText(i).utf8_string() == name)
                return i;
        return -1;
    }
    // The key pressed in the list, or in the open rename's editor.
    void Press(CFavoritesManagerDlg& dialog, int key, int modifiers = wxMOD_NONE)
    {
        wxWindow* target = dialog.GetList()->GetListCtrl()->GetEditControl();
        if (!target)
            target = dialog.GetList()->GetListCtrl();
        // Without a window manager the keyboard goes where the pointer is.
        wxUIActionSimulator keys;
        const wxRect area = target->GetScreenRect();
        keys.MouseMove(area.GetPosition() + wxPoint(area.width / 2, area.height / 2));
        target->SetFocus();
        EXPECT_TRUE(uitest::RunUntil([&] { return target->HasFocus(); }, 3000))
            << "focus on " << (wxWindow::FindFocus() ? typeid(*wxWindow::FindFocus()).name() : "nothing");
        keys.Char(key, modifiers);
        uitest::RunFor(150);
    }
    void Select(CFavoritesManagerDlg& dialog, const std::string& name)
    {
        const int row = Row(dialog, name);
        ASSERT_GE(row, 0) << name;
        dialog.GetList()->SelectItem(row);
        uitest::RunFor(50);
    }
    void ClickListButton(CFavoritesManagerDlg& dialog, size_t index)
    {
        wxBitmapButton* button = dialog.GetList()->GetButton(index);
        ASSERT_NE(button, nullptr);
        wxCommandEvent click(wxEVT_BUTTON, button->GetId());
        click.SetEventObject(button);
        button->GetEventHandler()->ProcessEvent(click);
        uitest::RunFor(50);
    }
};

TEST_F(FavoritesManagerTest, EveryChangeThenOkStoresTheRowsInTheirOrder)
{
    CServerProfile profile = SavedProfile();
    bool reached = false;
    WhenShown<CFavoritesManagerDlg>([&](CFavoritesManagerDlg& dialog) {
        EXPECT_EQ(Rows(dialog), (std::vector<std::string>{"People", "Ada", "Smith", "Root"}));
        // The buttons: images 13 by 12, tooltips with their keys.
        const std::vector<std::wstring> tips = {LoadResourceText(16017) + L" (Insert)", LoadResourceText(103) + L" (F2)",
                                                LoadResourceText(16020) + L" (Delete)",
                                                LoadResourceText(16021) + L" (Alt+Up)",
                                                LoadResourceText(16022) + L" (Alt+Down)"};
        ASSERT_EQ(dialog.GetList()->GetButtonCount(), tips.size());
        for (size_t i = 0; i < tips.size(); ++i) {
            EXPECT_EQ(dialog.GetList()->GetButton(i)->GetToolTipText().ToStdWstring(), tips[i]);
            EXPECT_EQ(dialog.GetList()->GetButton(i)->GetBitmapLabel().GetSize(), wxSize(13, 12)) << i;
        }
        // The DN display follows the selection.
        EXPECT_EQ(Shown(dialog), "ou=people,o=lab");
        Select(dialog, "Smith");
        EXPECT_EQ(Shown(dialog), "cn=Smith\\, John,ou=people,o=lab");
        Select(dialog, "Root");
        EXPECT_EQ(Shown(dialog), "RootDSE");
        uitest::Screenshot(dialog, "favorites-manager");

        // Insert: the add dialog; the new row is selected.
        bool added = false;
        auto adding = std::make_unique<OnNextDialog<CAddNewFavoriteDlg>>([&](CAddNewFavoriteDlg& add) {
            EXPECT_EQ(add.GetTitle(), LoadResourceText(221));
            uitest::TextOf(add, CAddNewFavoriteDlg::kIdcName).SetValue("Grace");
            uitest::TextOf(add, CAddNewFavoriteDlg::kIdcDN).SetValue("uid=grace,ou=people,o=lab");
            uitest::Screenshot(add, "favorite-add");
            uitest::Click(add, wxID_OK);
            added = true;
        });
        Press(dialog, WXK_INSERT);
        EXPECT_TRUE(uitest::RunUntil([&] { return added && Row(dialog, "Grace") == 4; }, 10000));
        EXPECT_EQ(dialog.GetList()->GetSelItem(), 4);
        EXPECT_EQ(Shown(dialog), "uid=grace,ou=people,o=lab");

        // F2: the edit dialog with the row's name and DN.
        Select(dialog, "Ada");
        bool edited = false;
        OnNextDialog<CAddNewFavoriteDlg> editing([&](CAddNewFavoriteDlg& edit) {
            EXPECT_EQ(edit.GetTitle(), LoadResourceText(223));
            EXPECT_EQ(uitest::TextOf(edit, CAddNewFavoriteDlg::kIdcName).GetValue(), "Ada");
            EXPECT_EQ(uitest::TextOf(edit, CAddNewFavoriteDlg::kIdcDN).GetValue(), "uid=ada,ou=people,o=lab");
            uitest::TextOf(edit, CAddNewFavoriteDlg::kIdcName).SetValue("Ada L.");
            uitest::TextOf(edit, CAddNewFavoriteDlg::kIdcDN).SetValue("uid=ada,ou=staff,o=lab");
            uitest::Click(edit, wxID_OK);
            edited = true;
        });
        Press(dialog, WXK_F2);
        EXPECT_TRUE(uitest::RunUntil([&] { return edited && Row(dialog, "Ada L.") == 1; }, 10000));
        EXPECT_EQ(Shown(dialog), "uid=ada,ou=staff,o=lab");

        // Opening the empty last row adds too.
        OnNextDialog<CAddNewFavoriteDlg> addingFromTheRow([&](CAddNewFavoriteDlg& add) {
            uitest::TextOf(add, CAddNewFavoriteDlg::kIdcName).SetValue("Top");
            uitest::TextOf(add, CAddNewFavoriteDlg::kIdcDN).SetValue("o=lab");
            uitest::Click(add, wxID_OK);
        });
        dialog.GetList()->SelectItem(dialog.GetList()->GetNewItemRow());
        Press(dialog, WXK_RETURN);
        EXPECT_TRUE(uitest::RunUntil([&] { return Row(dialog, "Top") == 5; }, 10000));

        // Rename in place: a stored name is refused and the old one kept.
        dialog.GetList()->BeginRename(Row(dialog, "Grace"));
        wxTextCtrl* editor = dialog.GetList()->GetListCtrl()->GetEditControl();
        ASSERT_NE(editor, nullptr);
        editor->SetValue("people");
        Press(dialog, WXK_RETURN);
        EXPECT_EQ(Row(dialog, "Grace"), 4);
        ASSERT_EQ(Asked().size(), 1u);
        EXPECT_EQ(Asked()[0], FormatResourceText(kStrTaken, {L"people"}));
        dialog.GetList()->BeginRename(Row(dialog, "Grace"));
        editor = dialog.GetList()->GetListCtrl()->GetEditControl();
        ASSERT_NE(editor, nullptr);
        editor->SetValue("Grace H.");
        Press(dialog, WXK_RETURN);
        EXPECT_EQ(Row(dialog, "Grace H."), 4);

        // Delete by its key and by its button.
        Select(dialog, "Root");
        Press(dialog, WXK_DELETE);
        Select(dialog, "Smith");
        ClickListButton(dialog, 2);
        EXPECT_EQ(Rows(dialog), (std::vector<std::string>{"People", "Ada L.", "Grace H.", "Top"}));

        // Move up and down by their keys and their buttons.
        Select(dialog, "Grace H.");
        Press(dialog, WXK_UP, wxMOD_ALT);
        Press(dialog, WXK_UP, wxMOD_ALT);
        EXPECT_EQ(Rows(dialog), (std::vector<std::string>{"Grace H.", "People", "Ada L.", "Top"}));
        EXPECT_EQ(Shown(dialog), "uid=grace,ou=people,o=lab");
        Select(dialog, "People");
        Press(dialog, WXK_DOWN, wxMOD_ALT);
        Select(dialog, "Top");
        ClickListButton(dialog, 3);
        Select(dialog, "Grace H.");
        ClickListButton(dialog, 4);
        EXPECT_EQ(Rows(dialog), (std::vector<std::string>{"Ada L.", "Grace H.", "Top", "People"}));
        EXPECT_EQ(Shown(dialog), "uid=grace,ou=people,o=lab");
        uitest::Screenshot(dialog, "favorites-manager-changed");
        reached = true;
        uitest::Click(dialog, wxID_OK);
    });
    CFavoritesManagerDlg dialog(profile, nullptr);
    EXPECT_EQ(dialog.DoModal(), wxID_OK);
    EXPECT_TRUE(reached);

    const std::vector<CFavorite> expected = {CFavorite("Ada L.", "uid=ada,ou=staff,o=lab"),
                                             CFavorite("Grace H.", "uid=grace,ou=people,o=lab"),
                                             CFavorite("Top", "o=lab"), CFavorite("People", "ou=people,o=lab")};
    EXPECT_EQ(Favorites(profile.GetFavorites()), expected) << Describe(Favorites(profile.GetFavorites()));
    const std::vector<CFavorite> read = ReadInFreshProcess(profile);
    EXPECT_EQ(read, expected) << Describe(read);
}

// Settings that refuse the favourites (a trigger stands in for a full disk):
// a message says so, and the stored list stays whole as it was.
TEST_F(FavoritesManagerTest, FavouritesTheSettingsRefuseAreReportedAndTheStoredListStays)
{
    CServerProfile profile = SavedProfile();
    ASSERT_TRUE(testsupport::RefuseSettingsValues(UserFile(), "0001 : %"));
    WhenShown<CFavoritesManagerDlg>([&](CFavoritesManagerDlg& dialog) {
        Select(dialog, "Ada");
        Press(dialog, WXK_DELETE);
        uitest::Click(dialog, wxID_OK);
    });
    CFavoritesManagerDlg dialog(profile, nullptr);
    EXPECT_EQ(dialog.DoModal(), wxID_OK);
    EXPECT_EQ(Asked(), std::vector<std::wstring>{LoadResourceText(kStrFavoritesNotSaved)});
    EXPECT_EQ(profile.GetFavorites().GetCount(), 3u) << "kept in memory";
    const std::vector<CFavorite> read = ReadInFreshProcess(profile);
    EXPECT_EQ(read, Favorites(stored)) << Describe(read);
}

TEST_F(FavoritesManagerTest, CancelChangesNothing)
{
    CServerProfile profile = SavedProfile();
    WhenShown<CFavoritesManagerDlg>([&](CFavoritesManagerDlg& dialog) {
        Select(dialog, "Ada");
        Press(dialog, WXK_DELETE);
        Select(dialog, "Root");
        Press(dialog, WXK_UP, wxMOD_ALT);
        EXPECT_EQ(Rows(dialog), (std::vector<std::string>{"People", "Root", "Smith"}));
        uitest::Click(dialog, wxID_CANCEL);
    });
    CFavoritesManagerDlg dialog(profile, nullptr);
    EXPECT_EQ(dialog.DoModal(), wxID_CANCEL);
    EXPECT_EQ(Favorites(profile.GetFavorites()), Favorites(stored));
    const std::vector<CFavorite> read = ReadInFreshProcess(profile);
    EXPECT_EQ(read, Favorites(stored)) << Describe(read);
}

} // namespace
