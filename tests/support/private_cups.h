#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace tawela::test {

// A print system of the test's own: a cupsd in a temporary folder on a
// socket of its own, with queues that write what they print to files. The
// program in the test process talks to it alone, never to the computer's
// printers. available() is false (why() says why) where no cupsd can run.
class PrivateCups {
public:
    PrivateCups();
    ~PrivateCups();
    PrivateCups(const PrivateCups&) = delete;
    PrivateCups& operator=(const PrivateCups&) = delete;

    bool available() const { return m_why.isEmpty(); }
    QString why() const { return m_why; }

    // A PDF printer queue whose jobs land in outputOf(name).
    bool addQueue(const QString& name);
    // The queue stops accepting jobs (cupsreject).
    bool reject(const QString& name);
    QString outputOf(const QString& name) const;
    // The names of the jobs the queue finished, waiting up to a few seconds
    // for `count` of them.
    QStringList finishedJobs(const QString& name, int count) const;

private:
    bool run(const QString& program, const QStringList& args) const;

    QTemporaryDir m_dir;
    QProcess m_cupsd;
    QString m_socket;
    QString m_why;
};

} // namespace tawela::test
