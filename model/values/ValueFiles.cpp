#include "model/values/ValueFiles.h"

#include <cstdlib>
#include <memory>

#include "base/Base64.h"
#include "platform/FileText.h"
#include "platform/ResourceLibrary.h"
#include "platform/ShellPorts.h"

namespace {

constexpr unsigned kStrReadFailed = 32775;
constexpr unsigned kStrWriteFailed = 32776;

bool IsAlphabet(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' || c == '/';
}

void ShowFileError(unsigned id)
{
    std::wstring text;
    platform::ResourceLibrary::Current().LoadWideString(id, text);
    platform::ShowMessageBox(text, platform::kMbOk | platform::kMbIconError);
}

// The one writer of base64 value files.
bool WriteBase64File(const std::string& path, const std::string& bytes, int lineLength)
{
    std::string text = Base64EncodeString(bytes);
    if (lineLength > 0) {
        const size_t step = static_cast<size_t>(lineLength);
        std::string lines;
        lines.reserve(text.size() + text.size() / step + 1);
        for (size_t pos = 0; pos < text.size(); pos += step) {
            lines.append(text, pos, step);
            lines += '\n';
        }
        text.swap(lines);
    }
    return platform::WriteStringToFile(text, path) == 0;
}

} // namespace

std::string Base64EncodeString(const std::string& bytes)
{
    size_t length = 0;
    std::unique_ptr<char, decltype(&std::free)> encoded(
        Base64Encode(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), &length), &std::free);
    return encoded ? std::string(encoded.get(), length) : std::string();
}

std::string Base64DecodeString(const std::string& text)
{
    if (text.empty() || !IsBase64Text(text))
        return std::string();
    size_t length = 0;
    std::unique_ptr<unsigned char, decltype(&std::free)> decoded(Base64Decode(text.data(), text.size(), &length),
                                                                 &std::free);
    return decoded ? std::string(reinterpret_cast<const char*>(decoded.get()), length) : std::string();
}

bool IsBase64Text(const std::string& text)
{
    if (text.size() % 4 != 0)
        return false;
    size_t padding = 0;
    while (padding < 2 && padding < text.size() && text[text.size() - 1 - padding] == '=')
        ++padding;
    for (size_t i = 0; i + padding < text.size(); ++i)
        if (!IsAlphabet(text[i]))
            return false;
    return true;
}

bool LoadBase64TextFile(const std::string& path, std::string& text)
{
    std::string bytes;
    if (platform::ReadFileToString(path, bytes) != 0) {
        ShowFileError(kStrReadFailed);
        return false;
    }
    text.clear();
    text.reserve(bytes.size());
    for (char c : bytes)
        if (c != '\r' && c != '\n')
            text += c;
    return true;
}

bool SaveBase64TextFile(const std::string& path, const std::string& bytes, bool wrap, int lineLength)
{
    if (WriteBase64File(path, bytes, wrap ? lineLength : 0))
        return true;
    ShowFileError(kStrWriteFailed);
    return false;
}

bool ConvertValueText(const std::string& path, const std::string& bytes, bool limitLines, int limit)
{
    return WriteBase64File(path, bytes, limitLines ? limit : 0);
}
