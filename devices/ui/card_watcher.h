#pragma once

#include "devices/card_reader.h"

#include <QObject>
#include <QThread>
#include <QTimer>

namespace tawela::devices {

// Talks to the reader on a thread of its own, so no screen ever waits.
class CardWorker : public QObject {
    Q_OBJECT
public:
    explicit CardWorker(const std::atomic<bool>& stop) : m_stop(stop) {}
    // Is a card in the reader; when `read` and it is, read it.
    void check(const QString& reader, bool read, bool withPhoto);

Q_SIGNALS:
    void absent();
    void present(int insertions);
    void progress(int percent);
    void textRead(const tawela::devices::IdCard& card);
    void readDone(const tawela::devices::IdCard& card, int insertions);
    void readFailed(const QString& why, int insertions);

private:
    CardReader m_reader;
    const std::atomic<bool>& m_stop;
};

// Watches a reader every `interval`: a card put in is read once, then
// nothing until it is taken out. A read that fails is tried again at the
// next look, but said once a card: a bad card left in is not said again
// until another is put in.
class CardWatcher : public QObject {
    Q_OBJECT
public:
    CardWatcher(int intervalMs, bool withPhoto, QObject* parent = nullptr);
    ~CardWatcher() override;

    void start(const QString& reader);
    void stop();
    bool watching() const { return m_cardTimer.isActive() || m_removalTimer.isActive(); }
    // A card was read and is still in the reader.
    bool waitingForRemoval() const { return m_removalTimer.isActive(); }

Q_SIGNALS:
    // The text of the card being read, its photo still to come.
    void textRead(const tawela::devices::IdCard& card);
    void cardRead(const tawela::devices::IdCard& card);
    void failed(const QString& why);
    void progress(int percent);
    void noCard();
    void check(const QString& reader, bool read, bool withPhoto);

private:
    void look(bool read);

    QThread m_thread;
    std::atomic<bool> m_stopRead{false}; // a read under way ends at its next command
    CardWorker* m_worker;
    QTimer m_cardTimer, m_removalTimer;
    QString m_reader;
    bool m_withPhoto;
    bool m_busy = false;
    int m_insertions = -1;       // of the card read last
    int m_failedInsertions = -1; // of the card whose failure was said
};

} // namespace tawela::devices
