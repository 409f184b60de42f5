#pragma once
// The items of an icon list box without the window: one record per item
// (caller value, image, check state, reserved, flags; bit 0 of the flags =
// disabled), written through a field mask, and the radio-like mode in which
// one enabled item is the current one and the only one checked.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

struct IconListItem {
    int32_t value = 0;
    int32_t image = 0;
    int32_t check = 0;  // 1 = checked
    int32_t reserved = 0;
    int32_t flags = 0;  // bit 0: disabled
};

enum IconListField : uint32_t { kIconFieldValue = 1, kIconFieldImage = 2, kIconFieldCheck = 4, kIconFieldFlags = 8 };
constexpr int32_t kIconItemDisabled = 1;

class IconListItems {
public:
    size_t GetCount() const { return m_items.size(); }
    // A new item with a record at index (clamped to the end); its check
    // state is check, or 0 in radio-like mode. The new index.
    size_t Insert(size_t index, int32_t check);
    // An item without a record (a string added some other way).
    size_t InsertBare(size_t index);
    void Delete(size_t index);
    void Clear();
    // Keeps the whole record; the new index.
    size_t Move(size_t from, size_t to);

    // The one update step: makes a zeroed record when the item has none and
    // writes the fields in mask. False for a bad index.
    bool Update(size_t index, uint32_t mask, const IconListItem& fields);
    // Null when the item has no record.
    const IconListItem* Record(size_t index) const;

    // -1 when the item has no record.
    int32_t GetValue(size_t index) const;
    int32_t GetImage(size_t index) const;
    int32_t GetCheck(size_t index) const;
    // An item without a record counts as enabled.
    bool IsEnabled(size_t index) const;

    void SetRadioMode(bool on) { m_radio = on; }
    bool IsRadioMode() const { return m_radio; }
    int GetCurrentItem() const { return m_current; }
    // Makes an enabled item the current one in radio-like mode; the indexes
    // whose check state was rewritten (to redraw). Nothing otherwise.
    std::vector<size_t> SelectExclusive(int index);

private:
    std::vector<std::unique_ptr<IconListItem>> m_items;
    bool m_radio = false;
    int m_current = -1;
};
