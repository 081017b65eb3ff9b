#include "platform/db/statement_deadline.h"

#include <QSqlDriver>
#include <QVariant>

#include <libpq-fe.h>
#include <sys/socket.h>

#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

namespace tawela::platform::db {

namespace {

using Clock = std::chrono::steady_clock;

// One thread for the whole program: sleeps until the nearest deadline.
class Watch {
public:
    ~Watch()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_changed.notify_all();
        if (m_thread.joinable())
            m_thread.join();
    }

    long arm(int socket, Clock::time_point deadline)
    {
        const std::lock_guard lock(m_mutex);
        if (!m_thread.joinable())
            m_thread = std::thread([this] { run(); });
        const long token = ++m_next;
        m_armed.emplace(token, Entry{socket, deadline});
        m_changed.notify_all();
        return token;
    }

    void disarm(long token)
    {
        const std::lock_guard lock(m_mutex);
        m_armed.erase(token);
    }

private:
    struct Entry {
        int socket;
        Clock::time_point deadline;
    };

    void run()
    {
        std::unique_lock lock(m_mutex);
        while (!m_stop) {
            if (m_armed.empty()) {
                m_changed.wait(lock);
                continue;
            }
            auto nearest = m_armed.begin();
            for (auto i = m_armed.begin(); i != m_armed.end(); ++i)
                if (i->second.deadline < nearest->second.deadline)
                    nearest = i;
            if (Clock::now() < nearest->second.deadline) {
                m_changed.wait_until(lock, nearest->second.deadline);
                continue;
            }
            // The call waiting on it returns with the connection lost.
            ::shutdown(nearest->second.socket, SHUT_RDWR);
            m_armed.erase(nearest);
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::map<long, Entry> m_armed;
    std::thread m_thread;
    long m_next = 0;
    bool m_stop = false;
};

Watch& watch()
{
    static Watch w;
    return w;
}

int socketOf(const QSqlDatabase& db)
{
    if (!db.driver())
        return -1;
    const QVariant handle = db.driver()->handle();
    // Qt names the handle by libpq's struct.
    if (!handle.isValid() ||
        (qstrcmp(handle.typeName(), "PGconn*") != 0 && qstrcmp(handle.typeName(), "pg_conn*") != 0))
        return -1;
    PGconn* connection = *static_cast<PGconn* const*>(handle.constData());
    return connection ? PQsocket(connection) : -1;
}

} // namespace

StatementDeadline::StatementDeadline(const QSqlDatabase& db, std::chrono::milliseconds limit)
{
    const int socket = socketOf(db);
    if (socket >= 0)
        m_token = watch().arm(socket, Clock::now() + limit);
}

StatementDeadline::~StatementDeadline()
{
    if (m_token)
        watch().disarm(m_token);
}

bool StatementDeadline::applies(const QString& sql)
{
    const QString head = sql.trimmed().section(u' ', 0, 0).toUpper();
    static const QStringList data = {QStringLiteral("SELECT"),  QStringLiteral("INSERT"),
                                     QStringLiteral("UPDATE"),  QStringLiteral("DELETE"),
                                     QStringLiteral("WITH"),    QStringLiteral("COMMIT"),
                                     QStringLiteral("BEGIN"),   QStringLiteral("SAVEPOINT"),
                                     QStringLiteral("RELEASE"), QStringLiteral("ROLLBACK")};
    return data.contains(head);
}

} // namespace tawela::platform::db
