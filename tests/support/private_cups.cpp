#include "private_cups.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <cups/cups.h>

namespace tawela::test {

namespace {

void write(const QString& path, const QString& text)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(text.toUtf8());
}

const char* const Ppd = "/usr/share/ppd/cupsfilters/Generic-PDF_Printer-PDF.ppd";

} // namespace

PrivateCups::PrivateCups()
{
    const QString cupsd = QStringLiteral("/usr/sbin/cupsd");
    if (!QFileInfo::exists(cupsd) || !QFileInfo::exists(QString::fromLatin1(Ppd))) {
        m_why = QStringLiteral("cupsd or the generic PDF printer driver is not installed");
        return;
    }
    const QString d = m_dir.path();
    // The filters run as the print system's own user: they must reach the files.
    QFile::setPermissions(d, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                 QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                 QFileDevice::ExeOther | QFileDevice::ReadGroup |
                                 QFileDevice::ExeGroup);
    for (const char* sub : {"spool", "cache", "state", "log", "out"})
        QDir(d).mkpath(QLatin1String(sub));
    QFile::setPermissions(d + QStringLiteral("/out"), QFileDevice::Permissions(0x7777));
    m_socket = d + QStringLiteral("/cups.sock");
    write(d + QStringLiteral("/cupsd.conf"),
          QStringLiteral("Listen %1\nLogLevel warn\nWebInterface No\nBrowsing Off\n"
                         "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                         "<Policy default>\n  <Limit All>\n    Order deny,allow\n    Allow all\n"
                         "  </Limit>\n</Policy>\n")
              .arg(m_socket));
    write(d + QStringLiteral("/cups-files.conf"),
          QStringLiteral("FileDevice Yes\nServerRoot %1\nRequestRoot %1/spool\nCacheDir %1/cache\n"
                         "StateDir %1/state\nTempDir %1/spool\nErrorLog %1/log/error_log\n"
                         "AccessLog %1/log/access_log\nPageLog %1/log/page_log\n"
                         "ServerBin /usr/lib/cups\nDataDir /usr/share/cups\n")
              .arg(d));
    m_cupsd.start(cupsd,
                  {QStringLiteral("-f"), QStringLiteral("-c"), d + QStringLiteral("/cupsd.conf"),
                   QStringLiteral("-s"), d + QStringLiteral("/cups-files.conf")});
    if (!m_cupsd.waitForStarted(5000)) {
        m_why = QStringLiteral("cupsd did not start");
        return;
    }
    QElapsedTimer waited;
    waited.start();
    while (!QFileInfo::exists(m_socket) && waited.elapsed() < 10000 &&
           m_cupsd.state() == QProcess::Running)
        QThread::msleep(50);
    if (!QFileInfo::exists(m_socket)) {
        m_why = QStringLiteral("cupsd did not listen: ") +
                QString::fromLocal8Bit(m_cupsd.readAllStandardError());
        return;
    }
    // From here on this process prints to the private system only.
    qputenv("CUPS_SERVER", m_socket.toLocal8Bit());
    cupsSetServer(m_socket.toLocal8Bit().constData());
}

PrivateCups::~PrivateCups()
{
    if (m_cupsd.state() == QProcess::Running) {
        m_cupsd.terminate();
        if (!m_cupsd.waitForFinished(5000))
            m_cupsd.kill();
        m_cupsd.waitForFinished(2000);
    }
}

bool PrivateCups::run(const QString& program, const QStringList& args) const
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("CUPS_SERVER"), m_socket);
    p.setProcessEnvironment(env);
    p.start(program, args);
    return p.waitForFinished(20000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

bool PrivateCups::addQueue(const QString& name)
{
    return run(QStringLiteral("lpadmin"),
               {QStringLiteral("-p"), name, QStringLiteral("-E"), QStringLiteral("-v"),
                QStringLiteral("file://") + outputOf(name), QStringLiteral("-P"),
                QString::fromLatin1(Ppd)});
}

bool PrivateCups::reject(const QString& name)
{
    return run(QStringLiteral("cupsreject"), {name});
}

QString PrivateCups::outputOf(const QString& name) const
{
    return m_dir.path() + QStringLiteral("/out/") + name + QStringLiteral(".pdf");
}

QStringList PrivateCups::finishedJobs(const QString& name, int count) const
{
    QStringList titles;
    QElapsedTimer waited;
    waited.start();
    do {
        titles.clear();
        cups_job_t* jobs = nullptr;
        const int n = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, name.toUtf8().constData(), 0,
                                   CUPS_WHICHJOBS_COMPLETED);
        for (int i = 0; i < n; ++i)
            titles << QString::fromUtf8(jobs[i].title);
        cupsFreeJobs(n, jobs);
        if (titles.size() >= count)
            break;
        QThread::msleep(100);
    } while (waited.elapsed() < 15000);
    return titles;
}

} // namespace tawela::test
