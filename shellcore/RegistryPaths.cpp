#include "shellcore/RegistryPaths.h"

#include "model/profiles/ProfileKeys.h"

const std::wstring g_strCompanyName = L"Vellumar";
const std::wstring g_strAppName = L"Arbolite";
const std::wstring g_strAppKey = L"Software\\Vellumar\\Arbolite\\";
const std::wstring g_strProfilesKey = kProfilesKey;
const std::wstring g_strSettingsKey = L"Software\\Vellumar\\Arbolite\\Settings\\";
const std::wstring g_strDefaultSchemaKey = L"Software\\Vellumar\\Arbolite\\DefaultSchema\\";
const std::wstring g_strTemplatesKey = L"\\Templates\\";
const std::wstring g_strCommonTemplates = L"Common Templates\\";
const std::wstring g_strSearchHistoryKey = L"Software\\Vellumar\\Arbolite\\Settings\\Search History\\";
const std::wstring g_strAttributesKey = L"Attributes\\";
const std::wstring g_strConfirmationsKey = L"Confirmations\\";

const std::wstring g_strAppOptionsValue = L"AppOptions";
const std::wstring g_strLVStateValue = L"LVState";
const std::wstring g_strBuildValue = L"Build";
const std::wstring g_strLangIdValue = L"LangID";
const std::wstring g_strCertificatePathValue = L"CertificatePath";
