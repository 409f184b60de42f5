#include "platform/StringResource.h"

#include "platform/ResourceLibrary.h"

bool LoadStringResource(unsigned int id, std::string& out)
{
    if (!platform::ResourceLibrary::Current().LoadString(id, out)) {
        out.clear();
        return false;
    }
    return true;
}

bool LoadStringResource(unsigned int id, std::wstring& out)
{
    if (!platform::ResourceLibrary::Current().LoadWideString(id, out)) {
        out.clear();
        return false;
    }
    return true;
}
