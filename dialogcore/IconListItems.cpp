#include "dialogcore/IconListItems.h"

size_t IconListItems::InsertBare(size_t index)
{
    if (index > m_items.size()) index = m_items.size();
    m_items.insert(m_items.begin() + static_cast<std::ptrdiff_t>(index), nullptr);
    if (m_current >= static_cast<int>(index)) ++m_current;
    return index;
}

size_t IconListItems::Insert(size_t index, int32_t check)
{
    index = InsertBare(index);
    IconListItem fields;
    fields.check = m_radio ? 0 : check;
    Update(index, kIconFieldCheck, fields);
    return index;
}

void IconListItems::Delete(size_t index)
{
    if (index >= m_items.size()) return;
    m_items.erase(m_items.begin() + static_cast<std::ptrdiff_t>(index));
    if (m_current == static_cast<int>(index))
        m_current = -1;
    else if (m_current > static_cast<int>(index))
        --m_current;
}

void IconListItems::Clear()
{
    m_items.clear();
    m_current = -1;
}

size_t IconListItems::Move(size_t from, size_t to)
{
    if (from >= m_items.size()) return from;
    if (to >= m_items.size()) to = m_items.size() - 1;
    bool wasCurrent = m_current == static_cast<int>(from);
    std::unique_ptr<IconListItem> record = std::move(m_items[from]);
    Delete(from);
    InsertBare(to);
    m_items[to] = std::move(record);
    if (wasCurrent) m_current = static_cast<int>(to);
    return to;
}

bool IconListItems::Update(size_t index, uint32_t mask, const IconListItem& fields)
{
    if (index >= m_items.size()) return false;
    std::unique_ptr<IconListItem>& record = m_items[index];
    if (!record) record = std::make_unique<IconListItem>();
    if (mask & kIconFieldValue) record->value = fields.value;
    if (mask & kIconFieldImage) record->image = fields.image;
    if (mask & kIconFieldCheck) record->check = fields.check;
    if (mask & kIconFieldFlags) record->flags = fields.flags;
    return true;
}

const IconListItem* IconListItems::Record(size_t index) const
{
    return index < m_items.size() ? m_items[index].get() : nullptr;
}

int32_t IconListItems::GetValue(size_t index) const
{
    const IconListItem* record = Record(index);
    return record ? record->value : -1;
}

int32_t IconListItems::GetImage(size_t index) const
{
    const IconListItem* record = Record(index);
    return record ? record->image : -1;
}

int32_t IconListItems::GetCheck(size_t index) const
{
    const IconListItem* record = Record(index);
    return record ? record->check : -1;
}

bool IconListItems::IsEnabled(size_t index) const
{
    const IconListItem* record = Record(index);
    return !record || !(record->flags & kIconItemDisabled);
}

std::vector<size_t> IconListItems::SelectExclusive(int index)
{
    std::vector<size_t> changed;
    if (index < 0 || static_cast<size_t>(index) >= m_items.size() || !IsEnabled(index) || !m_radio) return changed;
    m_current = index;
    for (size_t i = 0; i < m_items.size(); ++i) {
        bool current = static_cast<int>(i) == m_current;
        if (!current && GetCheck(i) != 1) continue;
        IconListItem fields;
        fields.check = current ? 1 : 0;
        Update(i, kIconFieldCheck, fields);
        changed.push_back(i);
    }
    return changed;
}
