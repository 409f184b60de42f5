#pragma once
// Where the program keeps its settings: key paths below the user root and
// the value names shared across the shell.

#include <string>

extern const std::wstring g_strCompanyName;        // "Vellumar"
extern const std::wstring g_strAppName;            // "Arbolite"
extern const std::wstring g_strAppKey;             // "Software\Vellumar\Arbolite\"
extern const std::wstring g_strProfilesKey;        // server profiles
extern const std::wstring g_strSettingsKey;        // options, list state, recent items, version stamp
extern const std::wstring g_strDefaultSchemaKey;   // extra schema definitions
extern const std::wstring g_strTemplatesKey;       // "\Templates\" below a profile
extern const std::wstring g_strCommonTemplates;    // "Common Templates\" below the profiles key
extern const std::wstring g_strSearchHistoryKey;   // the search dialog's history
extern const std::wstring g_strAttributesKey;      // "Attributes\" below the search history
extern const std::wstring g_strConfirmationsKey;   // "Confirmations\" below the settings key

// Value names of the settings key.
extern const std::wstring g_strAppOptionsValue;    // "AppOptions"
extern const std::wstring g_strLVStateValue;       // "LVState"
extern const std::wstring g_strBuildValue;         // "Build"
extern const std::wstring g_strLangIdValue;        // "LangID"
extern const std::wstring g_strCertificatePathValue;  // "CertificatePath"
