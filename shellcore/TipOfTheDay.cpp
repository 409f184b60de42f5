#include "shellcore/TipOfTheDay.h"

#include "base/Utf8.h"
#include "model/ports/ResourceText.h"
#include "platform/RegistryKey.h"
#include "platform/ShellPorts.h"

const wchar_t* const kTipSectionKey = L"Software\\Vellumar\\Arbolite\\Tip";

namespace {

bool ReadProfileInt(const wchar_t* name, uint32_t& value)
{
    platform::RegistryKey key(platform::RegRoot::CurrentUser, true);
    return key.Open(kTipSectionKey) && key.Read(name, value);
}

bool ReadProfileText(const wchar_t* name, std::wstring& value)
{
    platform::RegistryKey key(platform::RegRoot::CurrentUser, true);
    return key.Open(kTipSectionKey) && key.Read(name, value);
}

template <class T>
void WriteProfile(const wchar_t* name, const T& value)
{
    platform::RegistryKey key(platform::RegRoot::CurrentUser, false);
    if (key.CreateKey(kTipSectionKey))
        key.Write(name, value);
}

} // namespace

bool CTipOfTheDay::ReadShowAtStartup()
{
    uint32_t startup = 0;
    return !ReadProfileInt(L"StartUp", startup) || startup == 0;
}

CTipOfTheDay::CTipOfTheDay(const std::string& tipsPath)
{
    m_startup = ReadShowAtStartup();
    uint32_t position = 0;
    if (!ReadProfileInt(L"FilePos", position))
        position = 0;
    if (!m_file.Open(tipsPath)) {
        m_tip = LoadResourceText(kStrTipsFileMissing);
        return;
    }
    // A replaced file starts again from its first tip.
    std::wstring stamp = Utf8ToWideString(m_file.GetChangeTimeText());
    std::wstring stored;
    if (!ReadProfileText(L"TimeStamp", stored) || stored != stamp) {
        position = 0;
        WriteProfile(L"TimeStamp", stamp);
    }
    if (!m_file.Seek(static_cast<long>(position))) {
        platform::ShowMessageBox(LoadResourceText(kStrTipsSeekFailed), platform::kMbOk);
        return;
    }
    Read();
}

CTipOfTheDay::~CTipOfTheDay()
{
    if (m_file.IsOpen()) {
        long position = m_file.Tell();
        if (position >= 0)
            WriteProfile(L"FilePos", static_cast<uint32_t>(position));
    }
}

void CTipOfTheDay::NextTip()
{
    if (m_file.IsOpen())
        Read();
}

void CTipOfTheDay::Read()
{
    std::string tip;
    switch (m_file.ReadNextTip(tip)) {
    case CTipsFile::Result::Tip:
        m_tip = Utf8ToWideString(tip);
        break;
    case CTipsFile::Result::SeekFailed:
        platform::ShowMessageBox(LoadResourceText(kStrTipsSeekFailed), platform::kMbOk);
        break;
    case CTipsFile::Result::NoTip:
        m_tip.clear();
        break;
    }
}

void CTipOfTheDay::StoreStartupSwitch()
{
    StoreShowAtStartup(m_startup);
}

void CTipOfTheDay::StoreShowAtStartup(bool show)
{
    WriteProfile(L"StartUp", static_cast<uint32_t>(show ? 0 : 1));
}
