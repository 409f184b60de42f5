#pragma once
// One cell of a table or one field of a record: null, an integer, a text or
// a stream of bytes.

#include <memory>
#include <string>
#include <vector>

namespace msi {

using Bytes = std::vector<unsigned char>;

class Value {
public:
    enum class Kind { Null, Integer, Text, Stream };

    Value() = default;
    Value(int number) : kind_(Kind::Integer), number_(number) {}
    Value(const char* text) : kind_(text ? Kind::Text : Kind::Null), text_(text ? text : "") {}
    Value(std::string text) : kind_(Kind::Text), text_(std::move(text)) {}
    static Value Stream(Bytes bytes);

    Kind kind() const { return kind_; }
    bool IsNull() const { return kind_ == Kind::Null; }
    int Number() const { return number_; }
    const std::string& Text() const { return text_; }
    const Bytes& Data() const;

    // The text the installer shows for it: a number in decimal, "" for null.
    std::string AsText() const;
    // The integer it reads as; MSI_NULL_INTEGER for null and non-numbers.
    int AsInteger() const;

private:
    Kind kind_ = Kind::Null;
    int number_ = 0;
    std::string text_;
    std::shared_ptr<const Bytes> data_;
};

} // namespace msi
