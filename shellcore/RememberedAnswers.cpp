#include "shellcore/RememberedAnswers.h"

#include <algorithm>
#include <string>

#include "platform/RegistryKey.h"
#include "shellcore/RegistryPaths.h"

using platform::RegistryKey;
using platform::RegRoot;

namespace {

struct SetInfo {
    int results[3];
    std::vector<unsigned> texts;
};

const SetInfo* FindSet(int buttonSet)
{
    static const SetInfo kSets[] = {
        {{kIdOk, 0, 0}, {144}},
        {{kIdOk, kIdCancel, 0}, {144, 146}},
        {{kIdAbort, kIdRetry, kIdIgnore}, {135, 137, 140}},
        {{kIdYes, kIdNo, kIdCancel}, {148, 151, 146}},
        {{kIdYes, kIdNo, 0}, {148, 151}},
        {{kIdRetry, kIdCancel, 0}, {137, 146}},
    };
    return buttonSet >= 0 && buttonSet < 6 ? &kSets[buttonSet] : nullptr;
}

std::wstring StoreKey()
{
    return g_strSettingsKey + g_strConfirmationsKey;
}

} // namespace

int ButtonCount(int buttonSet)
{
    const SetInfo* set = FindSet(buttonSet);
    return set ? static_cast<int>(set->texts.size()) : 0;
}

int ResultForButton(int buttonSet, int position)
{
    const SetInfo* set = FindSet(buttonSet);
    return set && position >= 1 && position <= 3 ? set->results[position - 1] : 0;
}

std::vector<unsigned> ButtonTextIds(int buttonSet)
{
    const SetInfo* set = FindSet(buttonSet);
    return set ? set->texts : std::vector<unsigned>();
}

int ReadRememberedAnswer(int confirmation)
{
    RegistryKey key(RegRoot::CurrentUser, true);
    uint32_t position = 0;
    if (!key.Open(StoreKey()) || !key.Read(std::to_wstring(confirmation), position)) return -1;
    return position >= 1 && position <= 3 ? static_cast<int>(position) : -1;
}

void RememberAnswer(int confirmation, int position)
{
    RegistryKey key(RegRoot::CurrentUser, false);
    if (key.Open(StoreKey()) || key.CreateKey(StoreKey()))
        key.Write(std::to_wstring(confirmation), static_cast<uint32_t>(position));
}

int RememberedResult(uint32_t style, int confirmation)
{
    const int position = ReadRememberedAnswer(confirmation);
    if (position < 0) return 0;
    return ResultForButton(static_cast<int>(style & kMbTypeMask), position);
}

int TextLeft(int iconWidth)
{
    return iconWidth > 0 ? 24 + iconWidth : 12;
}

int LimitedTextWidth(int fullWidth, int screenWidth)
{
    return std::min(fullWidth, screenWidth * 2 / 3);
}

CheckBoxLayout ComputeCheckBoxLayout(const CheckBoxLayoutInput& in)
{
    CheckBoxLayout out;
    out.text.left = TextLeft(in.iconWidth);
    out.text.top = 12;
    out.text.right = out.text.left + in.textWidth + 5;
    out.text.bottom = out.text.top + in.textHeight;

    out.check.left = out.text.left;
    out.check.top = out.text.bottom + 12;
    out.check.right = out.check.left + in.checkWidth;
    out.check.bottom = out.check.top + in.checkHeight;

    int width = std::max(out.text.right, out.check.right) + 12;
    const int n = std::max(1, in.buttons);
    int x = std::max(12, (width - (n * in.buttonWidth + (n - 1) * 12)) / 2);
    for (int i = 0; i < n; ++i) {
        Rect b;
        b.left = x;
        b.top = out.check.bottom + 12;
        b.right = x + in.buttonWidth;
        b.bottom = b.top + in.buttonHeight;
        out.buttons.push_back(b);
        x += in.buttonWidth + 6;
    }
    const int lastRight = out.buttons.back().right;
    if (width < lastRight + 24) width = lastRight + 18;
    out.width = width;
    out.height = out.check.bottom + in.buttonHeight + 48;
    return out;
}
