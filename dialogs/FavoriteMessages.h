#pragma once
// The messages the favourite dialogs answer a refused OK with.

#include <string>

#include "dialogcore/FavoriteRules.h"

class wxWindow;

// Accept: true. A taken name or a DN that does not parse: the message, the
// focus on that edit, false. A DN held by another favourite: the question;
// true only for Yes. Texts are UTF-8.
bool ReportFavoriteCheck(wxWindow& dialog, const dialogcore::FavoriteCheck& check, int nameId, int dnId,
                         const std::string& name, const std::string& dn);
