#include "ldap/LDAPRDN.h"

#include <utility>

#include "ldap/DNSplit.h"

namespace arbldap {

namespace {

int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 0;
}

// What may follow a backslash to stand for itself. The blank is among them
// because Compose writes "\ " for leading and trailing blanks.
bool IsEscapable(char c)
{
    return IsDNSpecialChar(c) || c == '\\' || c == '"' || c == ' ';
}

void AppendHexEscape(std::string& out, unsigned char c)
{
    static const char digits[] = "0123456789ABCDEF";
    out += '\\';
    out += digits[c >> 4];
    out += digits[c & 0x0F];
}

} // namespace

bool IsDNSpecialChar(char c)
{
    switch (c) {
    case ',': case '=': case '+': case '<': case '>': case '#': case ';':
        return true;
    default:
        return false;
    }
}

bool IsHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

unsigned char HexPairValue(char first, char second)
{
    return static_cast<unsigned char>(HexDigitValue(first) * 16 + HexDigitValue(second));
}

LDAPRDN::LDAPRDN(std::string text, std::string type, std::string value)
    : m_text(std::move(text)), m_type(std::move(type)), m_value(std::move(value))
{
}

void LDAPRDN::SetText(const std::string& text)
{
    m_text = text;
    Parse();
}

void LDAPRDN::Parse()
{
    const std::string& t = m_text;
    const size_t equals = t.find('=');
    if (equals == std::string::npos)
        return;
    m_type.assign(t, 0, equals);
    m_value.clear();

    const size_t n = t.size();
    size_t i = equals + 1;
    // Only a value that starts with '#' is the hex (BER) form; a '#' further
    // on is an ordinary character ("C#", "Room #12").
    if (i < n && t[i] == '#') {
        ++i;
        while (i < n && IsHexDigit(t[i])) {
            if (i + 1 >= n || !IsHexDigit(t[i + 1]))
                return;
            m_value += static_cast<char>(HexPairValue(t[i], t[i + 1]));
            i += 2;
        }
    }
    for (; i < n; ++i) {
        const char c = t[i];
        if (c == '"')
            continue;  // quotes only group
        if (c != '\\') {
            m_value += c;
            continue;
        }
        if (i + 1 < n && IsEscapable(t[i + 1])) {
            m_value += t[++i];
        } else if (i + 2 < n && IsHexDigit(t[i + 1]) && IsHexDigit(t[i + 2])) {
            m_value += static_cast<char>(HexPairValue(t[i + 1], t[i + 2]));
            i += 2;
        } else {
            return;
        }
    }
}

void LDAPRDN::Compose()
{
    std::string text;
    text.reserve(m_type.size() + 1 + 2 * m_value.size());
    text = m_type;
    text += '=';
    const size_t n = m_value.size();
    for (size_t i = 0; i < n; ++i) {
        const char c = m_value[i];
        const bool edge = i == 0 || i + 1 == n;
        // A zero byte would cut the text short wherever it is handed on as a
        // C string; other blanks at the edges would be dropped by a DN parser.
        if (c == '\0' || (edge && c != ' ' && IsDNBlank(c))) {
            AppendHexEscape(text, static_cast<unsigned char>(c));
            continue;
        }
        if (IsDNSpecialChar(c) || c == '\\' || c == '"' || (edge && c == ' '))
            text += '\\';
        text += c;
    }
    m_text = std::move(text);
}

} // namespace arbldap
