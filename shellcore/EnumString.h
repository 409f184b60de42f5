#pragma once
// A string enumerator in the shape of COM's IEnumString: the source that
// autocompletion reads proposals from.

#include <cstdint>
#include <string>

#include "base/Unknown.h"

// {00000101-0000-0000-C000-000000000046}
inline const IID IID_IEnumString = {0x00000101u, 0x0000u, 0x0000u, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

class IEnumString : public IUnknown {
public:
    // Copies up to count texts from the cursor on into elements (room for
    // count texts), advancing the cursor; *fetched (when given) receives how
    // many. S_OK when count were copied, S_FALSE when the texts ran out.
    virtual HRESULT Next(uint32_t count, std::wstring* elements, uint32_t* fetched) = 0;
    virtual HRESULT Skip(uint32_t count) = 0;
    virtual HRESULT Reset() = 0;
    // A new enumerator over a copy of the texts, cursor at the first, one
    // reference for the caller.
    virtual HRESULT Clone(IEnumString** clone) = 0;

protected:
    ~IEnumString() = default;
};
