#include "dialogcore/ControlListEdit.h"

#include <algorithm>
#include <cstdio>

namespace dialogcore {

std::string ControlValuePreview(const std::string& value)
{
    std::string text;
    const size_t count = std::min<size_t>(value.size(), 8);
    for (size_t i = 0; i < count; ++i) {
        char cell[4];
        std::snprintf(cell, sizeof cell, "%.2X ", static_cast<unsigned char>(value[i]));
        text += cell;
    }
    return text;
}

MergeResult MergeControl(arbldap::LDAPControlList& list, const arbldap::LDAPControl& control)
{
    for (size_t i = 0; i < list.GetCount(); ++i)
        if (list.GetAt(i).GetOID() == control.GetOID()) {
            list.GetAt(i) = control;
            return {i, false};
        }
    list.Add(control);
    return {list.GetCount() - 1, true};
}

} // namespace dialogcore
