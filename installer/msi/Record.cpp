#include "installer/msi/Record.h"

#include <algorithm>
#include <cstring>

namespace msi {

void Record::Set(unsigned field, Value value)
{
    fields_.at(field) = std::move(value);
    readPos_.at(field) = 0;
}

size_t Record::Remaining(unsigned field) const
{
    const Bytes& data = fields_.at(field).Data();
    return data.size() - std::min(readPos_.at(field), data.size());
}

size_t Record::Read(unsigned field, unsigned char* out, size_t size)
{
    size_t n = std::min(size, Remaining(field));
    if (n) std::memcpy(out, fields_[field].Data().data() + readPos_[field], n);
    readPos_[field] += n;
    return n;
}

} // namespace msi
