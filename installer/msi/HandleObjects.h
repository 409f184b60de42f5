#pragma once
// What the handles of the installer layer stand for.

#include <memory>

#include "installer/msi/Database.h"
#include "installer/msi/Handles.h"
#include "installer/msi/Query.h"
#include "installer/msi/Record.h"

namespace msi {

class Session;

struct SessionObject : HandleObject {
    explicit SessionObject(Session* s) : session(s) {}
    Session* session;
};

struct DatabaseObject : HandleObject {
    explicit DatabaseObject(std::shared_ptr<Database> db) : database(std::move(db)) {}
    std::shared_ptr<Database> database;
};

struct ViewObject : HandleObject {
    std::shared_ptr<Database> database;  // keeps the tables alive
    View view;
};

struct RecordObject : HandleObject {
    explicit RecordObject(Record r) : record(std::move(r)) {}
    Record record;
};

} // namespace msi
