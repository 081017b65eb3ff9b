#include "platform/prompt.h"
#include "platform/ui/desktop_open.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using tawela::platform::ScriptedPrompt;
using tawela::platform::ui::openInDesktop;

namespace {

// A desktop opener that ends as the real one does: 0 when a viewer took
// the file, 3 when the desktop has no program for its kind.
QString opener(const QTemporaryDir& dir, int exitCode)
{
    const QString path = dir.filePath(QStringLiteral("open-%1").arg(exitCode));
    QFile script(path);
    script.open(QIODevice::WriteOnly);
    script.write("#!/bin/sh\necho \"$1\" >> \"$(dirname \"$0\")/opened\"\nexit " +
                 QByteArray::number(exitCode) + "\n");
    script.close();
    script.setPermissions(script.permissions() | QFileDevice::ExeOwner);
    return path;
}

} // namespace

TEST(DesktopOpen, NothingToOpenTheFileWithIsSaidWithItsPath)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("รายงาน ลูกค้า.pdf"));
    QFile(file).open(QIODevice::WriteOnly);
    ScriptedPrompt prompt;

    openInDesktop(file, prompt, opener(dir, 0));
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return QFile::exists(dir.filePath(QStringLiteral("opened"))); }));
    QTest::qWait(100);
    EXPECT_TRUE(prompt.messages().isEmpty());

    openInDesktop(file, prompt, opener(dir, 3));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !prompt.messages().isEmpty(); }));
    EXPECT_EQ(prompt.lastText(),
              QStringLiteral("เปิดแฟ้ม %1 ไม่ได้: เครื่องนี้ยังไม่มีโปรแกรมที่เปิดแฟ้มชนิดนี้ได้ (.pdf) "
                             "แฟ้มยังอยู่ที่เดิม เปิดเองได้จากโปรแกรมจัดการแฟ้ม")
                  .arg(file));

    prompt.clear();
    openInDesktop(file, prompt, dir.filePath(QStringLiteral("no-such-opener")));
    EXPECT_TRUE(prompt.lastText().contains(QStringLiteral("xdg-utils")));
    prompt.clear();
    openInDesktop(dir.filePath(QStringLiteral("gone.png")), prompt, opener(dir, 0));
    EXPECT_TRUE(prompt.lastText().endsWith(QStringLiteral("ไม่พบแฟ้มนี้")));
}
