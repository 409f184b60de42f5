#include "installer/msi/Value.h"

#include <climits>

#include "installer/msi/Msi.h"

namespace msi {

Value Value::Stream(Bytes bytes)
{
    Value v;
    v.kind_ = Kind::Stream;
    v.data_ = std::make_shared<const Bytes>(std::move(bytes));
    return v;
}

const Bytes& Value::Data() const
{
    static const Bytes kEmpty;
    return data_ ? *data_ : kEmpty;
}

std::string Value::AsText() const
{
    switch (kind_) {
    case Kind::Integer: return std::to_string(number_);
    case Kind::Text: return text_;
    default: return "";
    }
}

int Value::AsInteger() const
{
    if (kind_ == Kind::Integer) return number_;
    if (kind_ != Kind::Text || text_.empty()) return MSI_NULL_INTEGER;
    size_t i = 0;
    bool negative = text_[0] == '-';
    if (negative || text_[0] == '+') i = 1;
    if (i == text_.size()) return MSI_NULL_INTEGER;
    long long n = 0;
    for (; i < text_.size(); ++i) {
        char c = text_[i];
        if (c < '0' || c > '9') return MSI_NULL_INTEGER;
        n = n * 10 + (c - '0');
        if (n > INT_MAX) return MSI_NULL_INTEGER;
    }
    return static_cast<int>(negative ? -n : n);
}

} // namespace msi
