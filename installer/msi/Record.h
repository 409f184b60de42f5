#pragma once
// A record: fields 0 to its count, each a value; stream fields keep the
// position the next read starts from.

#include <cstddef>
#include <vector>

#include "installer/msi/Value.h"

namespace msi {

class Record {
public:
    explicit Record(unsigned count) : fields_(count + 1), readPos_(count + 1, 0) {}

    unsigned Count() const { return static_cast<unsigned>(fields_.size() - 1); }
    bool Has(unsigned field) const { return field < fields_.size(); }
    const Value& Get(unsigned field) const { return fields_.at(field); }
    void Set(unsigned field, Value value);
    // Up to size bytes of a stream field from where the last read ended.
    size_t Read(unsigned field, unsigned char* out, size_t size);
    size_t Remaining(unsigned field) const;

private:
    std::vector<Value> fields_;
    std::vector<size_t> readPos_;
};

} // namespace msi
