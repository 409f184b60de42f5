#pragma once
// The rules of the binary value file dialog without its window: which of
// the line-limit controls are enabled, whether the limit applies, and which
// limit texts are taken.

#include <string>

namespace binfile {

enum class Form { Load, Save };
enum Format { kRawBytes = 0, kBase64Text = 1 };

constexpr int kMinLimit = 1;
constexpr int kMaxLimit = 32767;
constexpr int kDefaultLimit = 76;

// The line-limit check box: only the save form, only for base64.
bool IsLimitCheckEnabled(Form form, int format);
// The limit edit and spin, and whether the limit applies: the check box
// enabled and on.
bool IsLimitOn(Form form, int format, bool checked);

// A limit text as the dialog takes it: decimal digits only (blanks around
// them allowed), from kMinLimit to kMaxLimit. False for an empty text, a
// sign, anything that is not a number, 0 and anything over kMaxLimit.
bool ParseLimit(const std::wstring& text, int& limit);
// What the user is told when a limit text is refused.
std::wstring LimitRangeMessage();

} // namespace binfile
