#pragma once

#include <QSqlDatabase>
#include <QString>

#include <chrono>

namespace tawela::platform::db {

// While it lives, a statement on a server connection has until `limit` to be
// answered; then the connection's socket is shut, so that the call waiting
// for the answer returns with "connection lost" (and the program says the
// server was lost) instead of waiting for ever. Keepalives and
// tcp_user_timeout cannot notice a peer that still acknowledges but never
// answers (a hung server, a relay or firewall that stopped forwarding).
// Does nothing for a connection that is not to a server.
class StatementDeadline {
public:
    StatementDeadline(const QSqlDatabase& db, std::chrono::milliseconds limit);
    ~StatementDeadline();
    StatementDeadline(const StatementDeadline&) = delete;
    StatementDeadline& operator=(const StatementDeadline&) = delete;

    // A statement that must finish quickly (data, not definitions): a
    // schema upgrade may rightly take longer.
    static bool applies(const QString& sql);

private:
    long m_token = 0;
};

} // namespace tawela::platform::db
