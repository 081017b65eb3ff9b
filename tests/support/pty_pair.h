#pragma once

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSerialPort>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

namespace tawela::test {

// Two pseudo-terminals joined by socat: what the program writes to
// `deviceName` in folder() arrives at the other end, read with readPeer().
class PtyPair {
public:
    explicit PtyPair(const QString& deviceName = QStringLiteral("ttyUSB0"))
    {
        const QString device = m_dir.filePath(deviceName);
        m_peerPath = m_dir.filePath(QStringLiteral("peer"));
        m_socat.start(QStringLiteral("socat"),
                      {QStringLiteral("pty,raw,echo=0,link=") + device,
                       QStringLiteral("pty,raw,echo=0,link=") + m_peerPath});
        for (int i = 0; i < 100 && !(QFileInfo::exists(device) && QFileInfo::exists(m_peerPath));
             ++i)
            QThread::msleep(50);
        m_peer.setPortName(m_peerPath);
        m_ready = QFileInfo::exists(device) && m_peer.open(QIODevice::ReadOnly);
    }
    ~PtyPair()
    {
        m_peer.close();
        m_socat.kill();
        m_socat.waitForFinished(3000);
    }
    bool ready() const { return m_ready; }
    QString folder() const { return m_dir.path(); }

    // What arrived at the other end: `size` bytes, or what came in three seconds.
    QByteArray readPeer(qsizetype size)
    {
        QByteArray got;
        while (got.size() < size && m_peer.waitForReadyRead(3000))
            got += m_peer.readAll();
        // Anything beyond what was expected shows up too.
        if (m_peer.waitForReadyRead(200))
            got += m_peer.readAll();
        return got;
    }

private:
    QTemporaryDir m_dir;
    QString m_peerPath;
    QProcess m_socat;
    QSerialPort m_peer;
    bool m_ready = false;
};

} // namespace tawela::test
