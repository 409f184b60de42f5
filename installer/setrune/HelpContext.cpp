// DisplayHelpContext: one topic of the package's help file.

#include <string>

#include "installer/msi/Host.h"
#include "installer/setrune/Actions.h"
#include "installer/setrune/Paths.h"
#include "installer/setrune/Properties.h"

SETRUNE_ACTION DisplayHelpContext(MSIHANDLE hInstall)
{
    std::string file, context;
    if (setrune::GetProperty(hInstall, "OlvaneHelpFilePath", 260, &file) && !file.empty() &&
        setrune::GetProperty(hInstall, "OlvaneHelpContext", 256, &context))
        setrune::TheHost().WinHelp(file, HELP_CONTEXT, static_cast<unsigned long>(setrune::ToLong(context)));
    return ERROR_SUCCESS;
}
