#pragma once
// What a value-converter plug-in and the program agree on. A plug-in is a
// shared library that exports ArbolitePluginCreate; it needs this header,
// base/Unknown.h and base/Guid.h (and base/HResult.h, which they include),
// and links nothing of the program.
//
// The interfaces are abstract classes on IUnknown with no virtual destructor,
// no overloads and no data, so that their vtables hold exactly the methods in
// the order below after QueryInterface, AddRef and Release. Every method
// returns an HRESULT (failure = negative) and lets no exception out. Texts are
// null-terminated wchar_t strings. Whatever a plug-in hands out (texts, list
// nodes, result bytes) is allocated with malloc and freed by the program with
// free.

#include <cstdint>
#include <cstring>

#include "base/Guid.h"
#include "base/Unknown.h"

// {8D086663-5935-4C73-B1F9-7415E83D6F1E}
inline const IID IID_IPluginInfo = {0x8d086663u, 0x5935u, 0x4c73u, {0xb1, 0xf9, 0x74, 0x15, 0xe8, 0x3d, 0x6f, 0x1e}};
// {F72C5D3A-A5B4-47C5-A949-BE67B0FA8FD5}
inline const IID IID_IPluginValueConverter = {0xf72c5d3au, 0xa5b4u, 0x47c5u,
                                              {0xa9, 0x49, 0xbe, 0x67, 0xb0, 0xfa, 0x8f, 0xd5}};
// {827AFEFD-FC9F-4678-9F16-591706809863}
inline const IID IID_IPluginExtension = {0x827afefdu, 0xfc9fu, 0x4678u, {0x9f, 0x16, 0x59, 0x17, 0x06, 0x80, 0x98, 0x63}};

// Compares two IIDs without the program's GUID functions, which a plug-in
// does not link.
inline bool IsSamePluginIid(const IID& a, const IID& b)
{
    return a.Data1 == b.Data1 && a.Data2 == b.Data2 && a.Data3 == b.Data3 &&
           std::memcmp(a.Data4, b.Data4, sizeof a.Data4) == 0;
}

// One node of a list of texts; the last node's next is null.
struct PluginStringNode {
    wchar_t* text;
    PluginStringNode* next;
};

// A value to convert: its bytes (no terminator), their count and the
// attribute's name as the directory sent it (options included).
struct PluginValue {
    const unsigned char* bytes;
    uint32_t length;
    const wchar_t* attributeName;
};

// What a plug-in says about itself: a description, a second text and its
// author's mail address; any may be null.
struct PluginInfoTexts {
    wchar_t* description;
    wchar_t* text2;
    wchar_t* mail;
};

// Required of every plug-in.
class IPluginInfo : public IUnknown {
public:
    // Slot 3: the three texts.
    virtual HRESULT GetInfo(PluginInfoTexts* info) = 0;
    // Slot 4: the attribute names handled (a null first node for none).
    virtual HRESULT GetAttributeNames(PluginStringNode** first) = 0;
    // Slot 5: the attribute syntax OIDs handled.
    virtual HRESULT GetSyntaxOids(PluginStringNode** first) = 0;

protected:
    ~IPluginInfo() = default;
};

// Turns a value into the bytes the program shows (UTF-8 text).
class IPluginValueConverter : public IUnknown {
public:
    // Slot 3: *result gets length bytes, or null for no result.
    virtual HRESULT Convert(const PluginValue* value, unsigned char** result, uint32_t* length) = 0;

protected:
    ~IPluginValueConverter() = default;
};

// Optional; the program only asks whether it is there.
class IPluginExtension : public IUnknown {
protected:
    ~IPluginExtension() = default;
};

// The one export: for the ProgID the library was registered under, the
// plug-in's CLSID and a new object with one reference.
extern "C" {
typedef HRESULT (*ArbolitePluginCreateFunction)(const char* progId, GUID* clsid, IUnknown** object);
}
constexpr const char* kPluginEntryName = "ArbolitePluginCreate";
