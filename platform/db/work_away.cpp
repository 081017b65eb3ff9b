#include "platform/db/work_away.h"

#include <QCoreApplication>
#include <QHash>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <future>
#include <mutex>
#include <thread>

namespace tawela::platform::db {

namespace {

thread_local bool t_onWorker = false;
thread_local int t_waiting = 0;

// The one working thread and the connections it keeps.
class Worker {
public:
    static Worker& get()
    {
        static Worker w;
        return w;
    }

    ~Worker() { stop(); }

    void post(std::function<void()> job)
    {
        const std::lock_guard lock(m_mutex);
        if (!m_thread.joinable()) {
            m_stop = false;
            m_thread = std::thread([this] { run(); });
            // Connections close while the application and its database
            // drivers still exist.
            if (!m_cleanupAdded) {
                m_cleanupAdded = true;
                qAddPostRoutine([] { Worker::get().stop(); });
            }
        }
        m_jobs.push_back(std::move(job));
        m_changed.notify_all();
    }

    void stop()
    {
        {
            const std::lock_guard lock(m_mutex);
            if (!m_thread.joinable())
                return;
            m_stop = true;
        }
        m_changed.notify_all();
        m_thread.join();
    }

    // On the working thread only.
    std::shared_ptr<Database> twinOf(const std::shared_ptr<Database>& db)
    {
        Twin& twin = m_twins[db->path()];
        // A connection the program opened again gets a new twin: its
        // schema may have been made again in between.
        if (!twin.connection || twin.source.lock() != db) {
            twin.connection.reset();
            twin.connection = Database::openServer(db->server(), OpenMode::ExistingOnly);
            twin.source = db;
        }
        return twin.connection;
    }

private:
    struct Twin {
        std::weak_ptr<Database> source;
        std::shared_ptr<Database> connection;
    };

    void run()
    {
        t_onWorker = true;
        std::unique_lock lock(m_mutex);
        while (true) {
            m_changed.wait(lock, [this] { return m_stop || !m_jobs.empty(); });
            if (m_jobs.empty())
                break;
            std::function<void()> job = std::move(m_jobs.front());
            m_jobs.pop_front();
            lock.unlock();
            // The twins of connections the program has closed go first.
            m_twins.removeIf([](const auto& i) { return i.value().source.expired(); });
            job();
            lock.lock();
        }
        lock.unlock();
        m_twins.clear();
    }

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::function<void()>> m_jobs;
    std::thread m_thread;
    bool m_stop = false;
    bool m_cleanupAdded = false;
    QHash<QString, Twin> m_twins; // by the place they lead to
};

} // namespace

std::shared_ptr<Database> Away::use(const std::shared_ptr<Database>& db) const
{
    if (!m_twins || !db || !db->isServer())
        return db;
    return Worker::get().twinOf(db);
}

void workAway(const std::shared_ptr<Database>& db, const std::function<void(Away&)>& work)
{
    Away away;
    if (!db || !db->isServer() || db->inTransaction() || t_onWorker ||
        !QCoreApplication::instance()) {
        work(away);
        return;
    }
    away.m_twins = true;
    std::promise<void> done;
    std::future<void> finished = done.get_future();
    Worker::get().post([&] {
        try {
            work(away);
            done.set_value();
        } catch (...) {
            done.set_exception(std::current_exception());
        }
    });
    ++t_waiting;
    using namespace std::chrono_literals;
    while (finished.wait_for(20ms) != std::future_status::ready)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
    --t_waiting;
    finished.get();
}

bool workingAway()
{
    return t_waiting > 0;
}

} // namespace tawela::platform::db
