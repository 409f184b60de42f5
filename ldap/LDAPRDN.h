#pragma once
// One relative distinguished name: its text as it stands inside a DN
// (type=value, escaped) with the attribute type and the unescaped value.

#include <string>

namespace arbldap {

class LDAPRDN {
public:
    LDAPRDN() = default;
    // The three strings as they are, without parsing or composing (stored
    // forms are taken back this way).
    LDAPRDN(std::string text, std::string type, std::string value);

    // Assigns the text, then parses it.
    void SetText(const std::string& text);
    // Sets type and value from the text. A text without '=' leaves both as
    // they are; a malformed escape ends the value where it stands.
    void Parse();
    // Sets the text from type and value, escaping the value.
    void Compose();

    void SetType(const std::string& type) { m_type = type; }
    void SetValue(const std::string& value) { m_value = value; }

    const std::string& GetText() const { return m_text; }
    const std::string& GetType() const { return m_type; }
    // The unescaped value bytes.
    const std::string& GetValue() const { return m_value; }

private:
    std::string m_text;
    std::string m_type;
    std::string m_value;
};

// The seven characters that are escaped wherever they stand in a value:
// , = + < > # ;
bool IsDNSpecialChar(char c);
// 0-9, a-f, A-F.
bool IsHexDigit(char c);
// 16 times the first digit's value plus the second's; a byte that is not a
// hex digit counts as 0.
unsigned char HexPairValue(char first, char second);

} // namespace arbldap
