#pragma once

#include "app/config.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace tawela::tools {

// What was copied of one table, and what the copy read back as.
struct TableCopy {
    QString database; // "main", "customer", "archive"
    QString table;
    qint64 rows = 0;
    QByteArray checksum; // SHA-256 over every value, row by row in key order
};

// Copies the shop's main, customer and archive databases from its files to
// the server (the schemas "<Schema>_main", … are made when missing), or back
// from the server to files at the configured paths. The copy is one
// transaction on the receiving side; before it is committed every table is
// read back and compared with its source (rows and checksum), and any
// difference undoes the whole copy. A receiving side that already holds
// contracts, receipts or customers is never written over.
// Throws DbError, or MigrationError with a Thai message.
QList<TableCopy> copyToServer(const app::AppConfig& files,
                              const platform::db::ServerAddress& server);
QList<TableCopy> copyToFiles(const app::AppConfig& onServer);

// After a move back to files: the server copy marked as left (when, and by
// which computer), so a counter still pointed at it is refused. Throws DbError.
void retireServerCopy(const app::AppConfig& onServer);

class MigrationError : public platform::Error {
public:
    using Error::Error;
};

} // namespace tawela::tools
