// The node's menus and the command table.

#include <mutex>

#include "model/nodes/CDataObject.h"
#include "model/ports/ResourceText.h"

namespace {

constexpr unsigned kStrDelete = 105;
constexpr unsigned kStrProperties = 124;
constexpr unsigned kStrNewServerProfile = 127;
constexpr unsigned kStrCut = 128;
constexpr unsigned kStrPaste = 129;
constexpr unsigned kStrCopy = 130;
constexpr unsigned kStrRefresh = 133;
constexpr unsigned kStrExportLDIF = 141;

constexpr uint32_t kGrayed = platform::kMenuGrayed | platform::kMenuDisabled;

std::mutex g_commandLock;
CommandList g_commandTable;

void AppendCommands(platform::PopupMenu& menu, const CommandList& commands)
{
    for (const CommandEntry& entry : commands) {
        if (entry.command == 0)
            menu.AppendSeparator();
        else
            menu.AppendItem(entry.command, LoadResourceText(entry.stringId));
    }
}

}  // namespace

void CDataObject::InitCommandImages()
{
    std::lock_guard<std::mutex> lock(g_commandLock);
    g_commandTable = {
        {kCmdCut, kStrCut},
        {kCmdPaste, kStrPaste},
        {kCmdCopy, kStrCopy},
        {kCmdNewServerProfile, kStrNewServerProfile},
        {kCmdDelete, kStrDelete},
        {kCmdExportLDIF, kStrExportLDIF},
        {0, 0},
    };
}

bool CDataObject::IsCommandListed(uint32_t command)
{
    if (command == 0)
        return false;
    std::lock_guard<std::mutex> lock(g_commandLock);
    for (const CommandEntry& entry : g_commandTable)
        if (entry.command == command)
            return true;
    return false;
}

CommandList CDataObject::GetCommandTable()
{
    std::lock_guard<std::mutex> lock(g_commandLock);
    return g_commandTable;
}

std::unique_ptr<platform::PopupMenu> CDataObject::BuildContextMenu()
{
    auto menu = std::make_unique<platform::PopupMenu>();
    menu->AppendItem(kCmdRefresh, LoadResourceText(kStrRefresh));
    menu->AppendSeparator();
    AppendClipboardCommands(*menu, 0);
    menu->AppendSeparator();
    return menu;
}

void CDataObject::AppendPropertiesCommand(platform::PopupMenu& menu)
{
    menu.AppendItem(kCmdProperties, LoadResourceText(kStrProperties));
}

std::unique_ptr<platform::PopupMenu> CDataObject::CreateCommandMenu(bool all)
{
    auto menu = std::make_unique<platform::PopupMenu>();
    CommandList list;
    AppendCommands(*menu, all ? GetCommandTable() : GetCommandList(list));
    return menu;
}

CommandList& CDataObject::GetCommandList(CommandList& list)
{
    GetDefaultCommandList(list);
    return list;
}

void CDataObject::GetDefaultCommandList(CommandList& list)
{
    list = {{kCmdCut, kStrCut}, {kCmdCopy, kStrCopy}, {kCmdPaste, kStrPaste}};
}

void CDataObject::AppendClipboardCommands(platform::PopupMenu& menu, uint32_t flags)
{
    menu.AppendItem(kCmdCut, LoadResourceText(kStrCut), (flags & kClipboardCut) ? platform::kMenuEnabled : kGrayed);
    menu.AppendItem(kCmdCopy, LoadResourceText(kStrCopy),
                    (flags & (kClipboardCut | kClipboardNoCopyPaste)) ? kGrayed : platform::kMenuEnabled);
    menu.AppendItem(kCmdPaste, LoadResourceText(kStrPaste),
                    (flags & kClipboardNoCopyPaste) ? kGrayed : platform::kMenuEnabled);
}
