#pragma once
// What the certificate page lists: one row a field, with the text of the
// list (never a line break in it) and the text of the details pane, and
// the text forms the rows are made of.

#include <string>
#include <vector>

class CX509Certificate;

struct CertificateRow {
    unsigned label;          // the string id of the field's name
    std::wstring text;       // the list's value column
    std::string details;     // UTF-8, shown when the row is selected
    bool fixedWidth = false; // details in the fixed-width face
    int image = 0;           // 0 a field, 1 an extension
};

// The text without the separator and line breaks, cut into pieces of n
// characters (the last may be shorter) with the separator between them.
std::wstring GroupText(const std::wstring& text, size_t n, wchar_t separator);
// A name's RDNs one a line, backslashes removed; "N/A" stays.
std::wstring NameLines(const std::wstring& name);
// Fingerprint texts ("<digest> - <hex>\n" each) as "<digest>:<hex in groups
// of four>" lines; "N/A" when none is there.
std::wstring FingerprintLines(const std::wstring& fingerprints, wchar_t separator);

// The fifteen rows of the certificate, in the page's order.
std::vector<CertificateRow> MakeCertificateRows(const CX509Certificate& certificate);
