#pragma once
// Storing a profile's favourites where a person changed them.

class CServerProfile;

constexpr unsigned kStrFavoritesNotSaved = 754;

// Stores the favourites; when the settings refuse them, a message says so
// (the favourites in memory stay as they are until the program ends).
bool SaveFavoritesOrSay(const CServerProfile& profile);
