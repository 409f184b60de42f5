#include "installer/msi/Session.h"

#include "installer/msi/HandleObjects.h"

namespace msi {

Session::Session() : handle_(AddHandle(std::make_shared<SessionObject>(this))) {}

Session::~Session()
{
    CloseHandle(handle_);
}

void Session::SetProperty(const std::string& name, const std::string& value)
{
    std::lock_guard<std::recursive_mutex> lock(LayerMutex());
    if (value.empty()) properties_.erase(name);
    else properties_[name] = value;
}

std::string Session::Property(const std::string& name) const
{
    std::lock_guard<std::recursive_mutex> lock(LayerMutex());
    auto it = properties_.find(name);
    return it == properties_.end() ? std::string() : it->second;
}

bool Session::HasProperty(const std::string& name) const
{
    std::lock_guard<std::recursive_mutex> lock(LayerMutex());
    return properties_.count(name) > 0;
}

void Session::SetMode(MSIRUNMODE mode, bool on)
{
    std::lock_guard<std::recursive_mutex> lock(LayerMutex());
    modes_[mode] = on;
}

bool Session::Mode(MSIRUNMODE mode) const
{
    std::lock_guard<std::recursive_mutex> lock(LayerMutex());
    auto it = modes_.find(mode);
    return it != modes_.end() && it->second;
}

void Session::SetFeatureState(const std::string& feature, INSTALLSTATE installed, INSTALLSTATE action)
{
    std::lock_guard<std::recursive_mutex> lock(LayerMutex());
    features_[feature] = {installed, action};
}

bool Session::FeatureState(const std::string& feature, INSTALLSTATE* installed, INSTALLSTATE* action) const
{
    std::lock_guard<std::recursive_mutex> lock(LayerMutex());
    auto it = features_.find(feature);
    if (it == features_.end()) return false;
    *installed = it->second.first;
    *action = it->second.second;
    return true;
}

void Session::SetTargetPath(const std::string& directory, const std::wstring& path)
{
    std::lock_guard<std::recursive_mutex> lock(LayerMutex());
    targetPaths_[directory] = path;
}

bool Session::TargetPath(const std::string& directory, std::wstring* path) const
{
    std::lock_guard<std::recursive_mutex> lock(LayerMutex());
    auto it = targetPaths_.find(directory);
    if (it == targetPaths_.end()) return false;
    *path = it->second;
    return true;
}

Database& Session::CreateDatabase()
{
    std::lock_guard<std::recursive_mutex> lock(LayerMutex());
    if (!database_) database_ = std::make_shared<Database>();
    return *database_;
}

void Session::SetActionResult(const std::string& action, UINT result)
{
    std::lock_guard<std::recursive_mutex> lock(LayerMutex());
    actionResults_[action] = result;
}

UINT Session::DoAction(const std::string& action)
{
    std::lock_guard<std::recursive_mutex> lock(LayerMutex());
    actionsDone_.push_back(action);
    auto it = actionResults_.find(action);
    return it == actionResults_.end() ? ERROR_SUCCESS : it->second;
}

} // namespace msi
