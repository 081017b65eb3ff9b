#pragma once

#include "platform/db/table_info.h"
#include "platform/error.h"

#include <QSqlError>
#include <QString>

#include <stdexcept>

namespace tawela::platform::db {

// Error numbers follow the ones a shop's staff know from the old program, so a
// message read out over the telephone still means the same thing.
namespace error_number {
constexpr int General = -2147467259;
constexpr int TypeMismatch = 13;
constexpr int NoCurrentRecord = 3021;
constexpr int DuplicateKey = 3022;
constexpr int FileNotFound = 3024;
constexpr int DiskFull = 3026;
constexpr int WrongPassword = 3031;
constexpr int InvalidPath = 3044;
constexpr int CannotOpen = 3051;
constexpr int TableNotFound = 3078;
constexpr int Locked = 3218;
constexpr int ItemNotFound = 3265;
constexpr int UnrecognizedFormat = 3343;
constexpr int ReadOnly = 3027;
constexpr int ChangedElsewhere = 3197; // another copy changed the row after it was read
constexpr int ServerLost = 3151;       // the database server cannot be reached
} // namespace error_number

// A failure of the database layer: a number and a Thai description.
class DbError : public Error {
public:
    DbError(int number, const QString& description);

    int number() const { return m_number; }
    // "Error : " + number + " " + description, as start-up shows it.
    QString message() const;

    // Translates a failed statement of the SQLite or the PostgreSQL driver.
    // The context (the statement, or the file or server being opened) is
    // written to the error log; a file's name is also named in the description.
    static DbError fromSql(const QSqlError& error, const QString& context = QString(),
                           bool contextIsFile = false, Backend backend = Backend::Sqlite);

private:
    int m_number;
};

// "The server cannot be reached", naming it.
QString serverLostText(const QString& server);

} // namespace tawela::platform::db
