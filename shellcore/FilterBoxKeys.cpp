#include "shellcore/FilterBoxKeys.h"

FilterKeyAction FilterBoxKeyAction(FilterKey key, bool ctrlOrAlt, bool listShown)
{
    if (!ctrlOrAlt) {
        switch (key) {
        case FilterKey::Enter:
            return FilterKeyAction::Apply;
        case FilterKey::Home:
        case FilterKey::End:
            // Moving in an open list picks a filter; in the field it only
            // moves the caret.
            if (listShown)
                return FilterKeyAction::Apply;
            break;
        case FilterKey::PageUp:
        case FilterKey::PageDown:
        case FilterKey::Up:
        case FilterKey::Down:
            // A closed list is not stepped through behind the user's back.
            return listShown ? FilterKeyAction::Apply : FilterKeyAction::Swallow;
        default:
            break;
        }
    }
    if (key == FilterKey::Tab)
        return FilterKeyAction::NextControl;
    if (key == FilterKey::Escape)
        return FilterKeyAction::CloseList;
    return FilterKeyAction::PassOn;
}
