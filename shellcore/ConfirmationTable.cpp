#include "shellcore/ConfirmationTable.h"

#include "model/ports/ResourceText.h"
#include "platform/RegistryKey.h"
#include "shellcore/RegistryPaths.h"
#include "shellcore/RememberedAnswers.h"

namespace {

constexpr uint32_t kConfirmationNumber = 5;
constexpr uint32_t kConfirmationKind = kSetYesNo;
constexpr unsigned kStrConfirmationTitle = 207;
constexpr unsigned kStrConfirmationDescription = 193;

std::map<uint32_t, ConfirmationEntry>& Table()
{
    static std::map<uint32_t, ConfirmationEntry> table;
    return table;
}

} // namespace

const std::map<uint32_t, ConfirmationEntry>& GetConfirmations()
{
    return Table();
}

void AddConfirmation(uint32_t id, const ConfirmationEntry& entry)
{
    Table()[id] = entry;
}

void RegisterConfirmations()
{
    AddConfirmation(kConfirmationNumber, {LoadResourceText(kStrConfirmationDescription),
                                          LoadResourceText(kStrConfirmationTitle), kConfirmationKind});
}

std::vector<unsigned> ConfirmationAnswerTexts(uint32_t kind)
{
    return ButtonTextIds(static_cast<int>(kind));
}

std::map<uint32_t, int> ReadListedAnswers()
{
    std::map<uint32_t, int> answers;
    for (const auto& [id, entry] : Table()) {
        int position = ReadRememberedAnswer(static_cast<int>(id));
        if (position > 0) answers[id] = position - 1;
    }
    return answers;
}

void WriteListedAnswers(const std::map<uint32_t, int>& checked)
{
    const std::wstring store = g_strSettingsKey + g_strConfirmationsKey;
    platform::RegistryKey key(platform::RegRoot::CurrentUser, false);
    if (!key.Open(store) && !key.CreateKey(store)) return;
    for (const auto& [id, entry] : Table()) {
        auto answer = checked.find(id);
        if (answer != checked.end())
            key.Write(std::to_wstring(id), static_cast<uint32_t>(answer->second + 1));
        else
            key.DeleteValue(std::to_wstring(id));
    }
}
