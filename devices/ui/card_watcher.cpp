#include "devices/ui/card_watcher.h"

namespace tawela::devices {

void CardWorker::check(const QString& reader, bool read, bool withPhoto)
{
    int insertions = -1;
    if (!m_reader.cardPresent(reader, &insertions)) {
        Q_EMIT absent();
        return;
    }
    if (!read) {
        Q_EMIT present(insertions);
        return;
    }
    try {
        const IdCard card = m_reader.read(
            reader, [this](int p) { Q_EMIT progress(p); }, withPhoto,
            [this](const IdCard& text) { Q_EMIT textRead(text); }, &m_stop);
        Q_EMIT readDone(card, insertions);
    } catch (const CardError& e) {
        Q_EMIT readFailed(e.description(), insertions);
    } catch (const ReadStopped&) {
        Q_EMIT absent(); // nothing read: the watcher was stopped meanwhile
    }
}

CardWatcher::CardWatcher(int intervalMs, bool withPhoto, QObject* parent)
    : QObject(parent), m_worker(new CardWorker(m_stopRead)), m_withPhoto(withPhoto)
{
    qRegisterMetaType<tawela::devices::IdCard>();
    m_worker->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    connect(this, &CardWatcher::check, m_worker, &CardWorker::check);
    const auto taken = [this] {
        if (m_removalTimer.isActive()) {
            m_removalTimer.stop();
            m_cardTimer.start();
        }
    };
    connect(m_worker, &CardWorker::absent, this, [this, taken] {
        m_busy = false;
        m_failedInsertions = -1;
        taken();
        Q_EMIT noCard();
    });
    // Another card put in since: the one read was taken out meanwhile.
    connect(m_worker, &CardWorker::present, this, [this, taken](int insertions) {
        m_busy = false;
        if (insertions != m_insertions)
            taken();
    });
    connect(m_worker, &CardWorker::progress, this, &CardWatcher::progress);
    connect(m_worker, &CardWorker::textRead, this, [this](const IdCard& card) {
        if (m_cardTimer.isActive())
            Q_EMIT textRead(card);
    });
    connect(m_worker, &CardWorker::readDone, this, [this](const IdCard& card, int insertions) {
        m_busy = false;
        m_insertions = insertions;
        if (!m_cardTimer.isActive())
            return; // stopped meanwhile
        m_cardTimer.stop();
        m_removalTimer.start();
        Q_EMIT cardRead(card);
    });
    connect(m_worker, &CardWorker::readFailed, this, [this](const QString& why, int insertions) {
        m_busy = false;
        if (insertions >= 0 && insertions == m_failedInsertions)
            return; // said already for this card
        m_failedInsertions = insertions;
        Q_EMIT failed(why);
    });
    m_thread.start();
    m_cardTimer.setInterval(intervalMs);
    m_removalTimer.setInterval(intervalMs);
    connect(&m_cardTimer, &QTimer::timeout, this, [this] { look(true); });
    connect(&m_removalTimer, &QTimer::timeout, this, [this] { look(false); });
}

CardWatcher::~CardWatcher()
{
    m_stopRead = true;
    stop();
    m_thread.quit();
    m_thread.wait();
}

void CardWatcher::start(const QString& reader)
{
    m_stopRead = false;
    m_reader = reader;
    m_removalTimer.stop();
    m_cardTimer.start();
}

void CardWatcher::stop()
{
    if (m_busy)
        m_stopRead = true; // the read under way ends at its next command
    m_cardTimer.stop();
    m_removalTimer.stop();
}

void CardWatcher::look(bool read)
{
    if (m_busy)
        return;
    m_busy = true;
    Q_EMIT check(m_reader, read, m_withPhoto);
}

} // namespace tawela::devices
