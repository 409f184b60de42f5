#pragma once
// The check that a server's subschema survives our parser and printer: every
// definition parses, prints, and parses again to the same record. The
// definitions may come from schema files or from a live server's subschema
// entry (both fill testsupport::SubschemaDefinitions).

#include "tests/support/SchemaFiles.h"

namespace schematest {

// Adds a gtest failure for every definition that does not round-trip.
void ExpectSubschemaRoundTrips(const testsupport::SubschemaDefinitions& defs);

// Adds a gtest failure for every attribute type or object class on which our
// parser and the client library's disagree about a field.
void ExpectAgreementWithClientLibrary(const testsupport::SubschemaDefinitions& defs);

} // namespace schematest
