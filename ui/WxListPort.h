#pragma once
// The list port over the toolkit's list control. The port keeps every row
// (texts, image, the caller's data, the state bits the control does not
// keep) in its own records in every view. A virtual control (report view)
// shows the rows straight from the records and keeps only selection and
// focus; a plain one holds a copy of each row, with its record as item data.
// Used on the user-interface thread only; rows are added and removed
// through the port.

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <wx/listctrl.h>

#include "platform/ControlPorts.h"
#include "ui/CListViewBase.h"
#include "ui/OverlayImages.h"

namespace ui {

class WxListPort : public platform::ListPort, public IListRowSource {
public:
    // The control must outlive the port.
    explicit WxListPort(wxListCtrl& list);
    ~WxListPort() override;

    typedef std::function<std::wstring(void* data, int column)> TextProvider;
    // Where the texts of text-callback rows come from.
    void SetTextProvider(TextProvider provider);
    typedef std::function<std::wstring(void* data)> LabelProvider;
    // Where a row's label comes from in the icon and list views, which show
    // no other column; an empty label, or none, shows the first column.
    void SetLabelProvider(LabelProvider provider);

    void SetOverlayImage(int overlay, int imageIndex);
    // Around a change of the control's style (virtual or not): the control
    // is emptied first and filled again from the records after, with the
    // same selection and focus.
    void BeginStyleChange();
    void EndStyleChange();
    // The caller's data of a row of the control (for the view's own events).
    void* DataOfRow(long row) const;

    void LockUpdates() override;
    void UnlockUpdates() override;
    void UpdateWindow() override;

    int GetItemCount() const override;
    int InsertItem(int row, platform::ListItem item) override;
    bool DeleteItem(int row) override;
    void DeleteAllItems() override;

    std::wstring GetItemText(int row, int column) const override;
    bool SetItemText(int row, int column, const std::wstring& text) override;
    void* GetItemData(int row) const override;
    bool SetItemData(int row, void* data) override;
    int GetItemImage(int row) const override;
    bool SetItemImage(int row, int image) override;
    uint32_t GetItemState(int row, uint32_t mask) const override;
    bool SetItemState(int row, uint32_t state, uint32_t mask) override;
    std::vector<int> GetSelectedRows() const override;

    int FindItemByData(const void* data, int start = -1) const override;
    bool EnsureVisible(int row) override;
    bool RedrawItems(int first, int last) override;
    void SortItems(const platform::ItemCompare& compare) override;

    wxString RowText(long row, long column) const override;
    int RowImage(long row) const override;

private:
    struct Record {
        void* data = nullptr;
        int image = 0;
        int shown = 0;  // the image with its overlay
        uint32_t state = 0;  // the bits the control does not keep
        bool textCallback = false;        // texts from the provider
        std::vector<std::wstring> texts;  // by column
    };

    bool Virtual() const { return m_list.HasFlag(wxLC_VIRTUAL); }
    Record* RecordOf(int row) const;
    std::wstring TextOf(const Record& r, int column) const;
    // What the control shows of the row in its first column.
    std::wstring ShownText(const Record& r) const;
    // A text-callback row takes the provider's texts as its own.
    void KeepTexts(Record& r);
    bool ValidRow(int row) const { return row >= 0 && row < GetItemCount(); }
    // The control counts its columns only in report view; the port remembers them.
    int ColumnCount() const;
    void ComposeImage(Record& r);
    void ShowImage(int row, const Record& r);
    bool SetOneState(int row, uint32_t state, uint32_t mask);
    long AddControlRow(long row, const Record& r);
    // The selected and focused records, and back onto their rows.
    struct Marks {
        std::vector<const Record*> selected;
        const Record* focused = nullptr;
    };
    // A virtual row's new texts or image on the screen.
    void RefreshRow(int row);
    Marks TakeMarks() const;
    void RestoreMarks(const Marks& marks);

    wxListCtrl& m_list;
    TextProvider m_textProvider;
    LabelProvider m_labelProvider;
    std::vector<std::unique_ptr<Record>> m_rows;
    Marks m_pending;
    mutable int m_columns = 1;
    OverlayImages m_overlays;
    int m_lockDepth = 0;
    bool m_refreshAtUnlock = false;
};

} // namespace ui
