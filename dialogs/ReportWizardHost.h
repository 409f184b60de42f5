#pragma once
// What the report wizard's pages use of the wizard: the report's format,
// rows and base DN, the connection the LDIF report reads over, and the
// wizard's buttons.

#include <ctime>
#include <string>

#include "dialogcore/ReportWriters.h"
#include "ldap/LDAPConnection.h"

class wxWindow;

class ReportWizardHost {
public:
    virtual ReportFormat GetFormat() const = 0;
    virtual void SetFormat(ReportFormat format) = 0;
    // The base DN, "RootDSE" for an empty one.
    virtual const std::wstring& GetBaseDN() const = 0;
    virtual const ReportRows& GetRows() const = 0;
    virtual size_t GetCellCount() const = 0;
    virtual const arbldap::LDAPConnectionPtr& GetConnection() const = 0;
    // Reads the result list again: headings, then one row per item.
    virtual void PrepareRows() = 0;
    // Back, Next and Finish shown or hidden; Finish enabled or not.
    virtual void SetWizardButtons(bool back, bool next, bool finish, bool finishEnabled) = 0;
    // The wizard's window, the owner of what the pages show.
    virtual wxWindow* GetWindow() = 0;

protected:
    ~ReportWizardHost() = default;
};

// The local date the default name and the title use; tests fix it.
typedef std::tm (*ReportClock)();
ReportClock SetReportClock(ReportClock clock);
std::tm ReportToday();
