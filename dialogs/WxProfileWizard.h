#pragma once
// The model's profile wizard as the toolkit's dialog: runs the wizard
// modally over the program's main window.

#include "model/ports/ProfileWizard.h"

class WxProfileWizard : public ProfileWizardPort {
public:
    std::unique_ptr<CServerProfile> CreateProfile(const std::wstring& caption, bool& connectAtOnce) override;
};
