#pragma once
// Options: the questions the program may ask with a remembered answer. A
// checked row is answered without asking, with the answer chosen below it;
// unchecking forgets the answer. Applying touches only the listed questions.

#include <cstdint>
#include <map>

#include "dialogs/CPropertyPage.h"

class wxChoice;
class wxListCtrl;
class wxListEvent;

class CConfirmationsPage : public CPropertyPage {
public:
    enum { IDD = 397, kIdcList = 1192, kIdcAnswer = 1193, kIdcClear = 1034 };
    static constexpr unsigned kStrTitleColumn = 284, kStrDescriptionColumn = 286;
    // The page's place in the program's help.
    static constexpr unsigned kHelpContext = 21;

    explicit CConfirmationsPage(wxWindow* book);

    bool OnInitDialog() override;
    bool OnApply() override;

    // Clear: every row unchecked.
    void OnClear();
    // As the user does it.
    void CheckRow(long row, bool check);
    void SelectRow(long row);
    void ChooseAnswer(int position);

    wxListCtrl* GetList() const { return m_list; }
    wxChoice* GetAnswerList() const { return m_answer; }

private:
    uint32_t RowId(long row) const;
    long SelectedRow() const;
    void RefillAnswers();
    void OnChecked(long row);

    wxListCtrl* m_list = nullptr;
    wxChoice* m_answer = nullptr;
    std::map<uint32_t, int> m_answers;  // answer index by confirmation
};
