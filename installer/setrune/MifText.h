#pragma once
// The status MIF in text form, for systems without the status library.

#include <string>

#include "installer/msi/Host.h"
#include "installer/setrune/MifRecord.h"

namespace setrune {

// The template with %1% to %8% replaced once each: manufacturer, product,
// version, serial number, "Installation", the time, status, description.
// Lines end with CR LF.
std::string MifText(const MifRecord& record, const std::string& status, const std::string& description,
                    const msi::LocalTime& now);

} // namespace setrune
