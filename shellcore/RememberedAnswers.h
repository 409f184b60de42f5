#pragma once
// The message box whose answer can be remembered, without its window: the
// "Confirmations" store, the button sets with their result codes, and the
// arithmetic of the box's layout.
//
// Store: below the settings key, "Confirmations\", one DWORD per
// confirmation, named by its number in decimal, holding the position (1, 2
// or 3) of the remembered button.

#include <cstdint>
#include <vector>

// Message-box style fields.
constexpr uint32_t kMbTypeMask = 0x000F;
constexpr uint32_t kMbIconMask = 0x00F0;
constexpr uint32_t kMbDefMask = 0x0F00;
constexpr uint32_t kMbModeMask = 0xF000;

// Button sets.
enum ButtonSet : int { kSetOk = 0, kSetOkCancel = 1, kSetAbortRetryIgnore = 2, kSetYesNoCancel = 3, kSetYesNo = 4, kSetRetryCancel = 5 };

// Result codes.
constexpr int kIdOk = 1, kIdCancel = 2, kIdAbort = 3, kIdRetry = 4, kIdIgnore = 5, kIdYes = 6, kIdNo = 7;

// Control ids of the box.
constexpr int kIdcIcon = 1146, kIdcMessage = 1147, kIdcFirst = 1148, kIdcSecond = 1149, kIdcThird = 1027,
              kIdcCheck = 1145;

// Buttons of the set (0 for an unknown set).
int ButtonCount(int buttonSet);
// The result code of the button at position 1-3; 0 when the set has none there.
int ResultForButton(int buttonSet, int position);
// String ids of the set's button texts, first to last.
std::vector<unsigned> ButtonTextIds(int buttonSet);

// The remembered position of the confirmation, 1-3; -1 (ask) for a missing
// or unreadable value or any other number.
int ReadRememberedAnswer(int confirmation);
// Writes the position, making the store key when needed; a failed write is
// not reported.
void RememberAnswer(int confirmation, int position);
// The result code to give without asking, or 0 when the box must be shown.
// A remembered position that the style's button set does not have asks.
int RememberedResult(uint32_t style, int confirmation);

// The layout, in pixels.
struct CheckBoxLayoutInput {
    int iconWidth = 0;   // 0: no icon
    int textWidth = 0;   // of the message as laid out
    int textHeight = 0;
    int checkWidth = 0;  // the check box's own size
    int checkHeight = 0;
    int buttonWidth = 0;
    int buttonHeight = 0;
    int buttons = 1;
};
struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};
struct CheckBoxLayout {
    Rect text;
    Rect check;
    std::vector<Rect> buttons;
    int width = 0;
    int height = 0;
};
// The left margin of the text: 12 without an icon, else 24 plus its width.
int TextLeft(int iconWidth);
// The widest the message may be before it is wrapped: two thirds of the screen.
int LimitedTextWidth(int fullWidth, int screenWidth);
CheckBoxLayout ComputeCheckBoxLayout(const CheckBoxLayoutInput& in);
