#pragma once
// The list port over the toolkit's list control in report view. Each row
// carries a record of the port (the caller's item data and the state bits
// the control does not keep); the control's own item data is that record.
// Used on the user-interface thread only; rows are added and removed
// through the port.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include <wx/listctrl.h>

#include "platform/ControlPorts.h"
#include "ui/OverlayImages.h"

namespace ui {

class WxListPort : public platform::ListPort {
public:
    // The control must outlive the port.
    explicit WxListPort(wxListCtrl& list);
    ~WxListPort() override;

    void SetOverlayImage(int overlay, int imageIndex);
    // The control keeps the texts of columns past the first only in report
    // view; the port keeps them in every view and shows them again here,
    // once the control is back in report view.
    void ShowSubItemTexts();
    // The caller's data of a row of the control (for the view's own events).
    void* DataOfRow(long row) const;

    void LockUpdates() override;
    void UnlockUpdates() override;
    void UpdateWindow() override;

    int GetItemCount() const override;
    int InsertItem(int row, const platform::ListItem& item) override;
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

private:
    struct Record {
        void* data = nullptr;
        int image = 0;
        uint32_t state = 0;  // the bits the control does not keep
        std::vector<std::wstring> texts;  // columns 1 and on
    };

    Record* RecordOf(int row) const;
    bool ValidRow(int row) const { return row >= 0 && row < GetItemCount(); }
    void ShowImage(int row, const Record& r);
    bool SetOneState(int row, uint32_t state, uint32_t mask);

    wxListCtrl& m_list;
    std::map<Record*, std::unique_ptr<Record>> m_records;
    OverlayImages m_overlays;
    int m_lockDepth = 0;
};

} // namespace ui
