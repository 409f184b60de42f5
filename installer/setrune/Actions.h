#pragma once
// The custom actions the library exports, and nothing else: each takes the
// handle of the running installation and returns an error code.

#include "installer/msi/Msi.h"

#define SETRUNE_ACTION extern "C" __attribute__((visibility("default"))) UINT

SETRUNE_ACTION OlvaneRegComPlus(MSIHANDLE hInstall);
SETRUNE_ACTION DetectMDAC(MSIHANDLE hInstall);
SETRUNE_ACTION DisplayHelpContext(MSIHANDLE hInstall);
SETRUNE_ACTION ForceReboot(MSIHANDLE hInstall);
SETRUNE_ACTION InstallDCOM(MSIHANDLE hInstall);
SETRUNE_ACTION InstallMDAC(MSIHANDLE hInstall);
SETRUNE_ACTION ModifySourceList(MSIHANDLE hInstall);
SETRUNE_ACTION RemoveSingleFileMSI(MSIHANDLE hInstall);
SETRUNE_ACTION StatusMifCommit(MSIHANDLE hInstall);
SETRUNE_ACTION StatusMifInit(MSIHANDLE hInstall);
SETRUNE_ACTION UpgradeCheck(MSIHANDLE hInstall);
SETRUNE_ACTION UpgradeCheckEx(MSIHANDLE hInstall);
SETRUNE_ACTION getIeVersion(MSIHANDLE hInstall);
