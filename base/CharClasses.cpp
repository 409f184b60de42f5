#include "base/CharClasses.h"

#include <array>
#include <map>
#include <memory>
#include <vector>

namespace {

struct Run {
    char16_t first;
    uint8_t flags;
};

const Run kRuns[] = {
#include "base/CharClassRuns.inc"
};

typedef std::array<uint8_t, 256> Page;

// 256 pages chosen by the high byte; pages whose units all share one set of
// flags (CJK, Hangul, private use, surrogates) point at one shared copy.
class CharClassTable {
public:
    CharClassTable()
    {
        std::vector<uint8_t> flat(0x10000);
        const size_t runCount = sizeof(kRuns) / sizeof(kRuns[0]);
        for (size_t r = 0; r < runCount; ++r) {
            size_t end = r + 1 < runCount ? kRuns[r + 1].first : 0x10000;
            for (size_t u = kRuns[r].first; u < end; ++u)
                flat[u] = kRuns[r].flags;
        }
        std::map<uint8_t, const Page*> uniform;
        for (size_t hi = 0; hi < 256; ++hi) {
            auto page = std::make_unique<Page>();
            bool same = true;
            for (size_t lo = 0; lo < 256; ++lo) {
                (*page)[lo] = flat[hi << 8 | lo];
                same = same && (*page)[lo] == (*page)[0];
            }
            if (same) {
                auto it = uniform.find((*page)[0]);
                if (it != uniform.end()) {
                    m_pages[hi] = it->second;
                    continue;
                }
                uniform[(*page)[0]] = page.get();
            }
            m_pages[hi] = page.get();
            m_storage.push_back(std::move(page));
        }
    }

    uint8_t Get(char16_t unit) const { return (*m_pages[unit >> 8])[unit & 0xFF]; }

private:
    std::array<const Page*, 256> m_pages{};
    std::vector<std::unique_ptr<Page>> m_storage;
};

const CharClassTable& Table()
{
    static const CharClassTable table;
    return table;
}

} // namespace

uint8_t GetCharClass(char16_t unit)
{
    return Table().Get(unit);
}

uint8_t GetCodePointClass(char32_t cp)
{
    if (cp <= 0xFFFF)
        return GetCharClass(static_cast<char16_t>(cp));
    if (cp > 0x10FFFF || (cp & 0xFFFE) == 0xFFFE)
        return 0;
    uint32_t plane = cp >> 16;
    if (plane >= 4 && plane <= 13)
        return 0;
    return kCharPrintable;
}
