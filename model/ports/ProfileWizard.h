#pragma once
// The wizard that makes a new connection profile, as the model sees it: it
// runs modally on the user-interface thread and hands back the new profile,
// or nothing when it was cancelled. The program installs the toolkit's
// wizard, tests script one. Without one installed the wizard counts as
// cancelled.

#include <memory>
#include <string>

class CServerProfile;

class ProfileWizardPort {
public:
    virtual ~ProfileWizardPort() = default;
    // The new profile; connectAtOnce tells the state of the wizard's
    // connect-at-once box. Null when cancelled.
    virtual std::unique_ptr<CServerProfile> CreateProfile(const std::wstring& caption, bool& connectAtOnce) = 0;
};

// The process-wide wizard; the setter returns the previous one.
std::shared_ptr<ProfileWizardPort> SetProfileWizardPort(std::shared_ptr<ProfileWizardPort> port);
std::shared_ptr<ProfileWizardPort> GetProfileWizardPort();
