// The session's entry points: properties, modes, actions, features, folders
// and the database.

#include <string>

#include "installer/msi/HandleObjects.h"
#include "installer/msi/Session.h"
#include "installer/msi/TextOut.h"

using namespace msi;

namespace {

Session* SessionOf(MSIHANDLE h)
{
    auto object = Find<SessionObject>(h);
    return object ? object->session : nullptr;
}

} // namespace

extern "C" {

UINT MsiGetPropertyA(MSIHANDLE hInstall, const char* szName, char* szValueBuf, DWORD* pcchValueBuf)
{
    std::lock_guard<std::recursive_mutex> lock(LayerMutex());
    Session* s = SessionOf(hInstall);
    if (!s) return ERROR_INVALID_HANDLE;
    if (!szName) return ERROR_INVALID_PARAMETER;
    return CopyOut(s->Property(szName), szValueBuf, pcchValueBuf);
}

UINT MsiSetPropertyA(MSIHANDLE hInstall, const char* szName, const char* szValue)
{
    std::lock_guard<std::recursive_mutex> lock(LayerMutex());
    Session* s = SessionOf(hInstall);
    if (!s) return ERROR_INVALID_HANDLE;
    if (!szName || !*szName) return ERROR_INVALID_PARAMETER;
    s->SetProperty(szName, szValue ? szValue : "");
    return ERROR_SUCCESS;
}

BOOL MsiGetMode(MSIHANDLE hInstall, MSIRUNMODE eRunMode)
{
    std::lock_guard<std::recursive_mutex> lock(LayerMutex());
    Session* s = SessionOf(hInstall);
    return s && s->Mode(eRunMode) ? TRUE : FALSE;
}

UINT MsiSetMode(MSIHANDLE hInstall, MSIRUNMODE eRunMode, BOOL fState)
{
    std::lock_guard<std::recursive_mutex> lock(LayerMutex());
    Session* s = SessionOf(hInstall);
    if (!s) return ERROR_INVALID_HANDLE;
    // Only the reboot modes can be set by an action.
    if (eRunMode != MSIRUNMODE_REBOOTATEND && eRunMode != MSIRUNMODE_REBOOTNOW) return ERROR_ACCESS_DENIED;
    s->SetMode(eRunMode, fState != FALSE);
    return ERROR_SUCCESS;
}

UINT MsiDoActionA(MSIHANDLE hInstall, const char* szAction)
{
    std::lock_guard<std::recursive_mutex> lock(LayerMutex());
    Session* s = SessionOf(hInstall);
    if (!s) return ERROR_INVALID_HANDLE;
    if (!szAction) return ERROR_INVALID_PARAMETER;
    return s->DoAction(szAction);
}

UINT MsiGetFeatureStateA(MSIHANDLE hInstall, const char* szFeature, INSTALLSTATE* piInstalled,
                         INSTALLSTATE* piAction)
{
    std::lock_guard<std::recursive_mutex> lock(LayerMutex());
    Session* s = SessionOf(hInstall);
    if (!s) return ERROR_INVALID_HANDLE;
    if (!szFeature || !piInstalled || !piAction) return ERROR_INVALID_PARAMETER;
    return s->FeatureState(szFeature, piInstalled, piAction) ? ERROR_SUCCESS : ERROR_UNKNOWN_FEATURE;
}

UINT MsiGetTargetPathW(MSIHANDLE hInstall, const wchar_t* szFolder, wchar_t* szPathBuf, DWORD* pcchPathBuf)
{
    std::lock_guard<std::recursive_mutex> lock(LayerMutex());
    Session* s = SessionOf(hInstall);
    if (!s) return ERROR_INVALID_HANDLE;
    if (!szFolder) return ERROR_INVALID_PARAMETER;
    // Directory keys are identifiers: plain ASCII.
    std::string key;
    for (const wchar_t* p = szFolder; *p; ++p) {
        if (*p > 0x7f) return ERROR_DIRECTORY;
        key.push_back(static_cast<char>(*p));
    }
    std::wstring path;
    if (!s->TargetPath(key, &path)) return ERROR_DIRECTORY;
    return CopyOut(path, szPathBuf, pcchPathBuf);
}

MSIHANDLE MsiGetActiveDatabase(MSIHANDLE hInstall)
{
    std::lock_guard<std::recursive_mutex> lock(LayerMutex());
    Session* s = SessionOf(hInstall);
    // Deferred actions have no database.
    if (!s || !s->GetDatabase() || s->Mode(MSIRUNMODE_SCHEDULED)) return 0;
    return AddHandle(std::make_shared<DatabaseObject>(s->GetDatabase()));
}

} // extern "C"
