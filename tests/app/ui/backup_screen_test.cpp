#include "admin/ui/backup_screen.h"
#include "admin/ui/company_screen.h"
#include "admin/ui/staff_screen.h"
#include "app/connections.h"
#include "platform/password_hash.h"
#include "screenshot.h"
#include "temp_home.h"
#include "typing.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

using namespace tawela;

TEST(BackupScreen, ABackupToAChosenFolderRunsOffTheScreenAndIsSaid)
{
    test::TempHome home;
    const app::AppConfig config = home.setUp();
    app::Connections connections;
    connections.open(config);
    if (connections.main()->isServer())
        GTEST_SKIP() << "files only";
    QTemporaryDir target;
    platform::ScriptedPrompt prompt;
    admin::BackupScreen screen(std::make_unique<admin::BackupForm>(
        connections.main(), app::shopFiles(config), app::backupDatabaseCheck(), prompt));
    screen.setAttribute(Qt::WA_DeleteOnClose, false);
    screen.setFolderChooser([&](const QString&) { return target.path(); });
    screen.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&screen));
    EXPECT_EQ(screen.findChild<QLabel*>(QStringLiteral("lblLastBackup"))->text(),
              QStringLiteral("ยังไม่เคยสำรองข้อมูล"));
    QTest::mouseClick(screen.findChild<QPushButton*>(QStringLiteral("cmdBrowse")), Qt::LeftButton);
    EXPECT_EQ(screen.findChild<QLineEdit*>(QStringLiteral("txtPath"))->text(),
              QDir::toNativeSeparators(target.path()));
    keepScreenshot(&screen, QStringLiteral("Backup"));
    QTest::mouseClick(screen.findChild<QPushButton*>(QStringLiteral("cmdBackup")), Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !screen.running(); }, 30000));
    EXPECT_EQ(prompt.lastText().trimmed(), QStringLiteral("สำรองข้อมูลสมบูรณ์"));
    EXPECT_TRUE(QFileInfo::exists(target.filePath(QStringLiteral("Morlind.mdb"))));
    EXPECT_FALSE(screen.findChild<QPushButton*>(QStringLiteral("cmdRestore"))->isVisible());

    // With the "Restore" right the same folder can be put back.
    auto form = std::make_unique<admin::BackupForm>(connections.main(), app::shopFiles(config),
                                                    app::backupDatabaseCheck(), prompt);
    form->restoreAllowed = true;
    admin::BackupScreen restoring(std::move(form));
    restoring.setAttribute(Qt::WA_DeleteOnClose, false);
    restoring.setFolderChooser([&](const QString&) { return target.path(); });
    bool restarted = false;
    restoring.setAfterRestore([&] { restarted = true; });
    restoring.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&restoring));
    keepScreenshot(&restoring, QStringLiteral("Backup_restore"));
    prompt.queueAnswer(platform::PromptAnswer::Yes);
    QTest::mouseClick(restoring.findChild<QPushButton*>(QStringLiteral("cmdRestore")),
                      Qt::LeftButton);
    // The set is read and copied off the screen; the swap waits for the
    // program to let go of its databases.
    EXPECT_TRUE(QTest::qWaitFor([&] { return restarted; }, 30000))
        << prompt.lastText().toStdString();
    EXPECT_TRUE(prompt.lastText().startsWith(QStringLiteral("ตรวจและเตรียมชุดสำรองเรียบร้อย")));
    connections.close();
    EXPECT_TRUE(admin::finishInterruptedRestore(home.path())
                    .startsWith(QStringLiteral("เรียกคืนข้อมูลจากชุดสำรองเสร็จแล้ว")));
    EXPECT_FALSE(QFileInfo::exists(home.file(admin::RestoreMarkName)));
}

TEST(CompanyScreen, TypedDetailsAreStoredAndEnterMovesDown)
{
    test::TempDatabase main{app::DatabaseRole::Main};
    test::TempDatabase customer{app::DatabaseRole::Customer};
    platform::ScriptedPrompt prompt;
    admin::CompanyScreen screen(std::make_unique<admin::CompanyForm>(main.db, customer.db, prompt));
    screen.setAttribute(Qt::WA_DeleteOnClose, false);
    screen.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&screen));
    auto* name = screen.findChild<QLineEdit*>(QStringLiteral("txtName"));
    name->setFocus();
    name->selectAll();
    test::typeText(name, QStringLiteral("ร้านใหม่"));
    QTest::keyClick(name, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(),
              screen.findChild<QLineEdit*>(QStringLiteral("txtOwner")));
    keepScreenshot(&screen, QStringLiteral("Company"));
    QTest::mouseClick(screen.findChild<QPushButton*>(QStringLiteral("cmdSave")), Qt::LeftButton);
    EXPECT_FALSE(screen.isVisible());
    EXPECT_EQ(
        customer.db->scalar(QStringLiteral("SELECT company_name FROM config_setting")).toString(),
        QStringLiteral("ร้านใหม่"));
}

TEST(StaffScreen, AnEmployeeAddedWithAPasswordThatIsNeverShown)
{
    test::TempDatabase main{app::DatabaseRole::Main};
    admin::Employee boss;
    boss.code = QStringLiteral("A01");
    boss.name = QStringLiteral("สมศรี");
    boss.password = QStringLiteral("x");
    boss.tool = admin::rightText(admin::Right::Allowed);
    admin::StaffStore(main.db).add(boss);
    platform::ScriptedPrompt prompt;
    admin::StaffScreen screen(std::make_unique<admin::StaffForm>(main.db, prompt));
    screen.setAttribute(Qt::WA_DeleteOnClose, false);
    screen.resize(1100, 560);
    screen.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&screen));
    auto* grid = screen.findChild<QTableWidget*>(QStringLiteral("grdStaff"));
    ASSERT_EQ(grid->rowCount(), 1);
    for (int c = 0; c < grid->columnCount(); ++c)
        EXPECT_NE(grid->horizontalHeaderItem(c)->text(), QStringLiteral("รหัสผ่าน"));
    QTest::mouseClick(screen.findChild<QPushButton*>(QStringLiteral("cmdAdd")), Qt::LeftButton);
    EXPECT_FALSE(screen.findChild<QPushButton*>(QStringLiteral("cmdDelete"))->isEnabled());
    test::typeText(screen.findChild<QLineEdit*>(QStringLiteral("txtEN")), QStringLiteral("B02"));
    test::typeText(screen.findChild<QLineEdit*>(QStringLiteral("txtName")), QStringLiteral("มานะ"));
    auto* password = screen.findChild<QLineEdit*>(QStringLiteral("txtPassword"));
    test::typeText(password, QStringLiteral("secret"));
    keepScreenshot(&screen, QStringLiteral("set_level"));
    QTest::mouseClick(screen.findChild<QPushButton*>(QStringLiteral("cmdSave")), Qt::LeftButton);
    EXPECT_EQ(prompt.lastText(), QStringLiteral("ข้อมูลจัดเก็บ เรียบร้อย"));
    EXPECT_EQ(grid->rowCount(), 2);
    EXPECT_TRUE(password->text().isEmpty());
    EXPECT_TRUE(platform::password_hash::isHash(
        admin::StaffStore(main.db).find(QStringLiteral("B02"))->password));
}
