#pragma once
// The resource library: a folder "arbresource" beside the program holding
// manifest.txt (language id), strings.txt (string table) and resources by type
// and id (for example text/655.txt, jpeg/12.jpg).

#include <map>
#include <mutex>
#include <string>

namespace platform {

class ResourceLibrary {
public:
    // Reads the bundle in folder; false when it has no readable manifest.
    bool Load(const std::string& folder);
    // The bundle beside the program, or in ../share/arbolite/ beside it.
    bool LoadDefault();
    static std::string FindDefaultFolder();

    bool IsLoaded() const;
    unsigned GetLanguageId() const;
    std::string GetFolder() const;

    // The string with that id as UTF-8; false when there is none.
    bool LoadString(unsigned id, std::string& utf8) const;
    // The same string as wide text, converted at its first use only.
    bool LoadWideString(unsigned id, std::wstring& text) const;
    // The raw bytes of resource (type, id); false when missing or empty.
    bool LoadResource(const std::string& type, unsigned id, std::string& bytes) const;

    // The library the program takes its resources from.
    static ResourceLibrary& Current();

private:
    mutable std::mutex m_lock;
    bool m_loaded = false;
    unsigned m_language = 0;
    std::string m_folder;
    std::map<unsigned, std::string> m_strings;
    mutable std::map<unsigned, std::wstring> m_wideStrings;
};

} // namespace platform
