// Formatting a record: field 0 is the template, [name] a property, [n] field
// n, [\x] the character x; a null template lists the fields as "n: value ".

#include <string>

#include "installer/msi/HandleObjects.h"
#include "installer/msi/Session.h"
#include "installer/msi/TextOut.h"

using namespace msi;

namespace {

bool AllDigits(const std::string& s)
{
    if (s.empty()) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

std::string Format(const Session* session, const Record& record)
{
    const Value& tmpl = record.Get(0);
    std::string out;
    if (tmpl.IsNull()) {
        for (unsigned i = 1; i <= record.Count(); ++i)
            out += std::to_string(i) + ": " + record.Get(i).AsText() + " ";
        return out;
    }
    const std::string text = tmpl.AsText();
    size_t i = 0;
    while (i < text.size()) {
        size_t open = text.find('[', i);
        size_t close = open == std::string::npos ? std::string::npos : text.find(']', open + 1);
        if (close == std::string::npos) {
            out.append(text, i, std::string::npos);
            break;
        }
        out.append(text, i, open - i);
        std::string name = text.substr(open + 1, close - open - 1);
        if (name.size() == 2 && name[0] == '\\') {
            out.push_back(name[1]);
        } else if (AllDigits(name)) {
            unsigned long field = std::stoul(name.substr(0, 6));
            if (field <= record.Count()) out += record.Get(static_cast<unsigned>(field)).AsText();
        } else if (!name.empty() && session) {
            out += session->Property(name);
        } else if (name.empty()) {
            out += "[]";
        }
        i = close + 1;
    }
    return out;
}

} // namespace

extern "C" UINT MsiFormatRecordA(MSIHANDLE hInstall, MSIHANDLE hRecord, char* szResultBuf, DWORD* pcchResultBuf)
{
    std::lock_guard<std::recursive_mutex> lock(LayerMutex());
    const Session* session = nullptr;
    if (hInstall) {
        auto s = Find<SessionObject>(hInstall);
        if (!s) return ERROR_INVALID_HANDLE;
        session = s->session;
    }
    auto rec = Find<RecordObject>(hRecord);
    if (!rec) return ERROR_INVALID_HANDLE;
    return CopyOut(Format(session, rec->record), szResultBuf, pcchResultBuf);
}
