#pragma once
// Key names of the entry templates. Names shown to the user may hold any
// character, but a '\' in a key name would split it into nested keys: it is
// stored as U+F05C instead and turned back when read.

#include <string>

// The key below "Software\Vellumar\Arbolite\Profiles\" that holds the
// templates every server shares.
constexpr const wchar_t* kCommonTemplatesKey = L"Common Templates\\";
// The sub-key of a profile's key that holds the server's own templates.
constexpr const wchar_t* kTemplatesSubKey = L"\\Templates\\";

std::wstring EncodeTemplateKeyName(const std::wstring& name);
std::wstring DecodeTemplateKeyName(const std::wstring& keyName);
// parent and child with one '\' between them.
std::wstring JoinKeyPath(const std::wstring& parent, const std::wstring& child);
