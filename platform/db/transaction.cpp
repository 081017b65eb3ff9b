#include "platform/db/transaction.h"

#include "platform/db/database.h"
#include "platform/db/db_error.h"

#include <QSqlQuery>

namespace tawela::platform::db {

Transaction::Transaction(Database& database) : m_database(database)
{
    if (m_database.m_transactionDepth == 0) {
        // SQLite takes the write lock at once; the server locks row by row
        // (a command that must not interleave locks its counter row).
        m_database.exec(m_database.isServer() ? QStringLiteral("BEGIN")
                                              : QStringLiteral("BEGIN IMMEDIATE"));
    } else {
        m_savepoint = QStringLiteral("sp") + QString::number(m_database.m_transactionDepth);
        m_database.exec(QStringLiteral("SAVEPOINT ") + m_savepoint);
    }
    ++m_database.m_transactionDepth;
}

Transaction::~Transaction()
{
    if (m_done)
        return;
    --m_database.m_transactionDepth;
    // A lost server took the unit with its session: nothing to roll back,
    // and connecting again now would only wait on the lost network.
    if (m_database.m_lost) {
        m_database.forgetTableInfo();
        return;
    }
    try {
        if (m_savepoint.isEmpty()) {
            m_database.exec(QStringLiteral("ROLLBACK"));
        } else {
            m_database.exec(QStringLiteral("ROLLBACK TO ") + m_savepoint);
            m_database.exec(QStringLiteral("RELEASE ") + m_savepoint);
        }
    } catch (const DbError&) {
        // A rollback can only fail when SQLite already rolled back by itself.
    }
    // Tables created inside the unit may be gone again.
    m_database.forgetTableInfo();
}

void Transaction::commit()
{
    if (m_done)
        return;
    if (m_savepoint.isEmpty())
        m_database.exec(QStringLiteral("COMMIT"));
    else
        m_database.exec(QStringLiteral("RELEASE ") + m_savepoint);
    m_done = true;
    --m_database.m_transactionDepth;
}

} // namespace tawela::platform::db
