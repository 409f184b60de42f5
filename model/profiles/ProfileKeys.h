#pragma once
// The settings key below which every server profile has its own key.

constexpr const wchar_t* kProfilesKey = L"Software\\Vellumar\\Arbolite\\Profiles\\";
