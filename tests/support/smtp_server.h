#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace tawela::test {

// A mail server of the test's own on 127.0.0.1 (smtp_server.py beside this
// file): it keeps what it accepts in a temporary folder. available() is
// false (why() says why) where it cannot run.
class SmtpServer {
public:
    struct Options {
        QStringList refuse;     // recipients answered with 550
        QString user, password; // asks for authentication when set
    };
    explicit SmtpServer(const Options& options);
    SmtpServer() : SmtpServer(Options{}) {}
    ~SmtpServer();
    SmtpServer(const SmtpServer&) = delete;
    SmtpServer& operator=(const SmtpServer&) = delete;

    bool available() const { return m_why.isEmpty(); }
    QString why() const { return m_why; }
    int port() const { return m_port; }

    // One accepted message: the envelope and the data as received.
    struct Received {
        QString from;
        QStringList recipients;
        QByteArray data;
    };
    QList<Received> received() const;

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    int m_port = 0;
    QString m_why;
};

} // namespace tawela::test
