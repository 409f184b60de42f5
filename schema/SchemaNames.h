#pragma once
// Orderings of schema names (attribute, class and extension names). Names
// compare with ASCII letters folded; OIDs are compared byte by byte elsewhere.

#include <cstdint>
#include <map>
#include <string>

#include "base/NoCase.h"

// Puts a name with a higher rank first (a name without one ranks 0); names of
// equal rank in NoCaseLess order. Ranks are looked up exactly.
class RankedNameLess {
public:
    typedef std::map<std::string, uint32_t> RankMap;

    explicit RankedNameLess(const RankMap& ranks) : m_ranks(&ranks) {}
    bool operator()(const std::string& a, const std::string& b) const;

private:
    uint32_t RankOf(const std::string& name) const;

    const RankMap* m_ranks;
};
