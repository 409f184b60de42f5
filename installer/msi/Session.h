#pragma once
// One running installation as a test sets it up: properties, run modes,
// feature states, target folders and the database. Custom actions reach it
// through Handle(), which lives as long as the session.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "installer/msi/Database.h"
#include "installer/msi/Msi.h"

namespace msi {

class Session {
public:
    Session();
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    MSIHANDLE Handle() const { return handle_; }

    // An empty value removes the property.
    void SetProperty(const std::string& name, const std::string& value);
    std::string Property(const std::string& name) const;
    bool HasProperty(const std::string& name) const;

    void SetMode(MSIRUNMODE mode, bool on);
    bool Mode(MSIRUNMODE mode) const;

    void SetFeatureState(const std::string& feature, INSTALLSTATE installed, INSTALLSTATE action);
    bool FeatureState(const std::string& feature, INSTALLSTATE* installed, INSTALLSTATE* action) const;

    void SetTargetPath(const std::string& directory, const std::wstring& path);
    bool TargetPath(const std::string& directory, std::wstring* path) const;

    // Created on first use; without it the installation has no database.
    Database& CreateDatabase();
    std::shared_ptr<Database> GetDatabase() const { return database_; }

    // What MsiDoAction returns for an action (ERROR_SUCCESS unless set), and
    // the actions it was asked for, in order.
    void SetActionResult(const std::string& action, UINT result);
    UINT DoAction(const std::string& action);
    const std::vector<std::string>& ActionsDone() const { return actionsDone_; }

private:
    MSIHANDLE handle_ = 0;
    std::map<std::string, std::string> properties_;
    std::map<MSIRUNMODE, bool> modes_;
    std::map<std::string, std::pair<INSTALLSTATE, INSTALLSTATE>> features_;
    std::map<std::string, std::wstring> targetPaths_;
    std::shared_ptr<Database> database_;
    std::map<std::string, UINT> actionResults_;
    std::vector<std::string> actionsDone_;
};

} // namespace msi
