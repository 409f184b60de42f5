#pragma once
// Splitting a DN text into its RDN texts.
//
// The client library can split a DN too, but it hands the RDNs back
// re-escaped (a "\," becomes "\2C", UTF-8 turns into hex escapes), so RDN
// texts from it would not compare equal to the ones a server sends. This
// splitter keeps every RDN exactly as written; the library only judges
// whether the text is a DN at all.

#include <string>
#include <vector>

namespace arbldap {

// True when c is a blank that may surround the RDN separators (space, tab,
// CR, LF: the set the client library skips there).
bool IsDNBlank(char c);

// Splits dn at the ',' and ';' that are neither escaped nor inside a quoted
// value, leaf RDN first. Blanks around the separators and at both ends are
// dropped (the older string form allows them and they carry no meaning); an
// escaped blank stays. Everything else of each RDN text is kept byte for
// byte, multi-valued RDNs ("cn=a+sn=b") included.
//
// The empty text is the empty DN: true with no RDNs. A text that is not a
// DN (an empty RDN, an RDN without '=', a trailing backslash, an unterminated
// quote, a bad attribute type or value, an embedded zero byte) gives false
// and an empty rdns.
bool SplitDN(const std::string& dn, std::vector<std::string>& rdns);

// True when text is exactly one RDN by the same rules; rdn is then its text
// with the surrounding blanks dropped.
bool SplitOneRDN(const std::string& text, std::string& rdn);

// The leaf RDN of a text that SplitDN takes as a DN, cut by the same rules
// without judging the text again; false (rdn empty) when there is none.
bool CutFirstRDN(const std::string& dn, std::string& rdn);

// True for an RDN too plain to need the library's judgement: a type of
// letters, digits and '-' starting with a letter, '=', and a value of
// letters, digits, inner spaces and "_.@-". The library takes every such RDN
// as one; the splits above ask it only about the others.
bool IsPlainRDN(const std::string& rdn);

} // namespace arbldap

class StringList;

namespace arbldap {

// Empties list and appends the RDNs of dn, types kept, leaf first; false
// (list empty) when dn is not a DN or has no RDN.
bool SplitDNToList(const std::string& dn, StringList& list);

} // namespace arbldap
