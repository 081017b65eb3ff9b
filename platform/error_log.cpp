#include "platform/error_log.h"

#include <QDateTime>
#include <QFile>
#include <QMutex>

namespace tawela::platform::error_log {

namespace {

struct State {
    QMutex lock;
    QString folder;
    QString employee;
};

State& state()
{
    static State s;
    return s;
}

} // namespace

void setFolder(const QString& folder)
{
    QMutexLocker hold(&state().lock);
    state().folder = folder;
}

void setEmployee(const QString& code)
{
    QMutexLocker hold(&state().lock);
    state().employee = code;
}

namespace {

// The file's path; the caller holds the lock.
QString pathLocked()
{
    return state().folder.isEmpty() ? QString() : state().folder + QStringLiteral("/tawela.log");
}

} // namespace

QString path()
{
    QMutexLocker hold(&state().lock);
    return pathLocked();
}

void write(const QString& text)
{
    QMutexLocker hold(&state().lock);
    const QString file = pathLocked();
    if (file.isEmpty())
        return;
    if (QFile(file).size() > MaxSize) {
        QFile::remove(file + QStringLiteral(".1"));
        QFile::rename(file, file + QStringLiteral(".1"));
    }
    QFile out(file);
    if (!out.open(QIODevice::Append | QIODevice::Text))
        return; // a log that cannot be written must not hide the failure itself
    QString line = text;
    line.replace(u'\n', u' ');
    out.write((QDateTime::currentDateTime().toString(Qt::ISODate) + u' ' +
               (state().employee.isEmpty() ? QStringLiteral("-") : state().employee) + u' ' +
               line.left(4000) + u'\n')
                  .toUtf8());
}

} // namespace tawela::platform::error_log
