#pragma once

#include <QString>

namespace tawela::platform::db {

class Database;

// Runs a command that writes several rows as one unit: everything between
// construction and commit() is stored whole, or, when the guard is destroyed
// without commit() (an exception on the way), not at all. The outermost guard
// takes the write lock at once, so two copies of the program never interleave
// their read-then-write steps; inner guards nest through savepoints.
class Transaction {
public:
    explicit Transaction(Database& database); // throws DbError (locked, ...)
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void commit(); // throws DbError; the guard is then spent

private:
    Database& m_database;
    QString m_savepoint; // empty for the outermost guard
    bool m_done = false;
};

} // namespace tawela::platform::db
