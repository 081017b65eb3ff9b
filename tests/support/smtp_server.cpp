#include "smtp_server.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tawela::test {

SmtpServer::SmtpServer(const Options& options)
{
    const QString python = QStringLiteral("/usr/bin/python3");
    const QString script = QStringLiteral(TAWELA_TEST_SUPPORT_DIR "/smtp_server.py");
    if (!QFileInfo::exists(python) || !QFileInfo::exists(script)) {
        m_why = QStringLiteral("python3 or the test mail server script is missing");
        return;
    }
    QStringList args{script, m_dir.path()};
    for (const QString& r : options.refuse)
        args << QStringLiteral("--refuse") << r;
    if (!options.user.isEmpty())
        args << QStringLiteral("--user") << options.user << QStringLiteral("--password")
             << options.password;
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    m_process.start(python, args);
    if (!m_process.waitForStarted(5000)) {
        m_why = QStringLiteral("the test mail server did not start");
        return;
    }
    QByteArray line;
    while (!line.endsWith('\n') && m_process.waitForReadyRead(10000))
        line += m_process.readAllStandardOutput();
    if (!line.startsWith("PORT ")) {
        m_why = QStringLiteral("the test mail server did not listen: %1")
                    .arg(QString::fromUtf8(m_process.readAllStandardError()));
        return;
    }
    m_port = line.mid(5).trimmed().toInt();
}

SmtpServer::~SmtpServer()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.terminate();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
        m_process.waitForFinished(1000);
    }
}

QList<SmtpServer::Received> SmtpServer::received() const
{
    QList<Received> out;
    for (int n = 1;; ++n) {
        QFile data(m_dir.filePath(QStringLiteral("%1.eml").arg(n)));
        QFile envelope(m_dir.filePath(QStringLiteral("%1.env").arg(n)));
        if (!data.open(QIODevice::ReadOnly) || !envelope.open(QIODevice::ReadOnly))
            break;
        QStringList lines = QString::fromUtf8(envelope.readAll()).split(u'\n', Qt::SkipEmptyParts);
        Received r;
        r.from = lines.value(0);
        r.recipients = lines.mid(1);
        r.data = data.readAll();
        out << r;
    }
    return out;
}

} // namespace tawela::test
