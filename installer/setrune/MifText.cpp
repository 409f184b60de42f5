#include "installer/setrune/MifText.h"

#include <cstdio>

namespace setrune {
namespace {

const char* const kTemplate[] = {
    "START COMPONENT",
    "  NAME = \"WORKSTATION\"",
    "  START GROUP",
    "    NAME = \"ComponentID\"",
    "    ID = 1",
    "    CLASS = \"DMTF|ComponentID|1.0\"",
    "    START ATTRIBUTE",
    "      NAME = \"Manufacturer\"",
    "      ID = 1",
    "      ACCESS = READ-ONLY",
    "      STORAGE = SPECIFIC",
    "      TYPE = STRING(255)",
    "      VALUE = \"%1%\"",
    "    END ATTRIBUTE",
    "    START ATTRIBUTE",
    "      NAME = \"Product\"",
    "      ID = 2",
    "      ACCESS = READ-ONLY",
    "      STORAGE = SPECIFIC",
    "      TYPE = STRING(255)",
    "      VALUE = \"%2%\"",
    "    END ATTRIBUTE",
    "    START ATTRIBUTE",
    "      NAME = \"Version\"",
    "      ID = 3",
    "      ACCESS = READ-ONLY",
    "      STORAGE = SPECIFIC",
    "      TYPE = STRING(255)",
    "      VALUE = \"%3%\"",
    "    END ATTRIBUTE",
    "    START ATTRIBUTE",
    "      NAME = \"Serial Number\"",
    "      ID = 4",
    "      ACCESS = READ-ONLY",
    "      STORAGE = SPECIFIC",
    "      TYPE = STRING(255)",
    "      VALUE = \"%4%\"",
    "    END ATTRIBUTE",
    "    START ATTRIBUTE",
    "      NAME = \"%5%\"",
    "      ID = 5",
    "      ACCESS = READ-ONLY",
    "      STORAGE = SPECIFIC",
    "      TYPE = STRING(255)",
    "      VALUE = \"%6%\"",
    "    END ATTRIBUTE",
    "  END GROUP",
    "  START GROUP",
    "    NAME = \"%5%Status\"",
    "    ID = 2",
    "    CLASS = \"MICROSOFT|JOBSTATUS|1.0\"",
    "    START ATTRIBUTE",
    "      NAME = \"Status\"",
    "      ID = 1",
    "      ACCESS = READ-ONLY",
    "      STORAGE = SPECIFIC",
    "      TYPE = STRING(255)",
    "      VALUE = \"%7%\"",
    "    END ATTRIBUTE",
    "    START ATTRIBUTE",
    "      NAME = \"Description\"",
    "      ID = 2",
    "      ACCESS = READ-ONLY",
    "      STORAGE = SPECIFIC",
    "      TYPE = STRING(255)",
    "      VALUE = \"%8%\"",
    "    END ATTRIBUTE",
    "  END GROUP",
    "END COMPONENT",
};

} // namespace

std::string MifText(const MifRecord& record, const std::string& status, const std::string& description,
                    const msi::LocalTime& now)
{
    char time[64];
    std::snprintf(time, sizeof time, "%02d/%02d/%02d %d:%02d", now.month, now.day, now.year % 100, now.hour,
                  now.minute);
    const std::string values[8] = {record.Get(1), record.Get(2), record.Get(3), record.Get(4),
                                   "Installation", time,         status,        description};
    std::string out;
    for (const char* line : kTemplate) {
        // One pass over the template line: a value that holds a placeholder
        // is written as it is.
        for (const char* p = line; *p;) {
            if (p[0] == '%' && p[1] >= '1' && p[1] <= '8' && p[2] == '%') {
                out += values[p[1] - '1'];
                p += 3;
            } else {
                out += *p++;
            }
        }
        out += "\r\n";
    }
    return out;
}

} // namespace setrune
