#pragma once
// Saving a profile that a page edits. The pages shared by the server's
// property sheet and the connection wizard's advanced sheet write into the
// profile object; only a profile that is stored already is saved by them.
// The wizard's new profile is stored by the wizard when it finishes, so a
// cancelled wizard leaves nothing behind.

class CServerProfile;

// The profile's settings key exists.
bool IsProfileStored(const CServerProfile& profile);
// Saves a stored profile; a profile not stored is left to whoever made it.
// False only when a save failed.
bool SaveProfileIfStored(const CServerProfile& profile);
