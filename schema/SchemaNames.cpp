#include "schema/SchemaNames.h"

#include "base/NoCase.h"

uint32_t RankedNameLess::RankOf(const std::string& name) const
{
    auto it = m_ranks->find(name);
    return it == m_ranks->end() ? 0 : it->second;
}

bool RankedNameLess::operator()(const std::string& a, const std::string& b) const
{
    // Only equal ranks fall through to the names, so that sorting with this
    // stays a strict weak ordering.
    uint32_t ra = RankOf(a), rb = RankOf(b);
    if (ra != rb)
        return rb < ra;
    return NoCaseLess()(a, b);
}
