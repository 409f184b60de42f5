#include "model/ports/ProfileWizard.h"

#include <utility>

#include "base/Installed.h"

namespace {

Installed<std::shared_ptr<ProfileWizardPort>> g_wizard;

}  // namespace

std::shared_ptr<ProfileWizardPort> SetProfileWizardPort(std::shared_ptr<ProfileWizardPort> port)
{
    return g_wizard.Set(std::move(port));
}

std::shared_ptr<ProfileWizardPort> GetProfileWizardPort()
{
    return g_wizard.Get();
}
