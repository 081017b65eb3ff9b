#include "platform/ui/desktop_open.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>

namespace tawela::platform::ui {

QString notOpenedText(const QString& file, const QString& why)
{
    return QStringLiteral("เปิดแฟ้ม %1 ไม่ได้: %2").arg(QDir::toNativeSeparators(file), why);
}

void openInDesktop(const QString& file, Prompt& say, const QString& opener)
{
    if (!QFileInfo::exists(file)) {
        say.error(notOpenedText(file, QStringLiteral("ไม่พบแฟ้มนี้")));
        return;
    }
    const QString program = QStandardPaths::findExecutable(opener);
    if (program.isEmpty()) {
        say.error(
            notOpenedText(file, QStringLiteral("เครื่องนี้ไม่มีคำสั่ง %1 สำหรับเปิดแฟ้ม (ให้ติดตั้งชุด xdg-utils) "
                                               "แฟ้มยังอยู่ที่เดิม เปิดเองได้จากโปรแกรมจัดการแฟ้ม")
                                    .arg(opener)));
        return;
    }
    // The opener outlives the screen that asked: it belongs to the program
    // and goes when it ends. It ends at once when a viewer took the file;
    // some desktops keep it until the viewer closes.
    auto* process = new QProcess(QCoreApplication::instance());
    process->setProgram(program);
    process->setArguments({file});
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setProcessChannelMode(QProcess::SeparateChannels);
    Prompt* prompt = &say;
    QObject::connect(
        process, &QProcess::finished, process,
        [process, file, prompt](int code, QProcess::ExitStatus status) {
            process->deleteLater();
            if (status == QProcess::NormalExit && code == 0)
                return;
            // xdg-open: 3 no program for the kind, 4 the program failed.
            const QString why =
                code == 3 || code == 4
                    ? QStringLiteral("เครื่องนี้ยังไม่มีโปรแกรมที่เปิดแฟ้มชนิดนี้ได้ (.%1) "
                                     "แฟ้มยังอยู่ที่เดิม เปิดเองได้จากโปรแกรมจัดการแฟ้ม")
                          .arg(QFileInfo(file).suffix())
                    : QStringLiteral("โปรแกรมเปิดแฟ้มจบการทำงานด้วยรหัส %1 %2")
                          .arg(code)
                          .arg(QString::fromLocal8Bit(process->readAllStandardError()).trimmed());
            prompt->error(notOpenedText(file, why.trimmed()));
        });
    QObject::connect(process, &QProcess::errorOccurred, process,
                     [process, file, prompt](QProcess::ProcessError error) {
                         if (error != QProcess::FailedToStart)
                             return;
                         process->deleteLater();
                         prompt->error(
                             notOpenedText(file, QStringLiteral("เริ่มโปรแกรมเปิดแฟ้มไม่ได้ (") +
                                                     process->errorString() + u')'));
                     });
    process->start();
}

} // namespace tawela::platform::ui
