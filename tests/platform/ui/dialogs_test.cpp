#include "platform/ui/guarded_application.h"
#include "platform/ui/qt_prompt.h"

#include <QDialogButtonBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <stdexcept>

using namespace tawela::platform;

TEST(Dialogs, QtsButtonsAreNamedInThai)
{
    QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel |
                             QDialogButtonBox::Save | QDialogButtonBox::Close);
    EXPECT_EQ(buttons.button(QDialogButtonBox::Ok)->text(), QStringLiteral("ตกลง"));
    EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("ยกเลิก"));
    EXPECT_EQ(buttons.button(QDialogButtonBox::Save)->text(), QStringLiteral("บันทึก"));
    EXPECT_EQ(buttons.button(QDialogButtonBox::Close)->text(), QStringLiteral("ปิด"));

    QStringList seen;
    QTimer::singleShot(0, [&seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        for (QAbstractButton* b : box->buttons())
            seen << b->text();
        box->button(QMessageBox::No)->click();
    });
    QtPrompt prompt;
    EXPECT_FALSE(prompt.askYesNo(QStringLiteral("ต้องการต่อดอกหรือไม่ ?")));
    seen.sort();
    EXPECT_EQ(seen, (QStringList{QStringLiteral("ใช่"), QStringLiteral("ไม่ใช่")}));
}

TEST(Dialogs, AnExceptionLeavingAHandlerIsReportedAndTheProgramGoesOn)
{
    static QStringList reported;
    GuardedApplication::setFailureReporter([](const QString& what) { reported << what; });
    // Handlers run from the event loop: a click, a timer.
    QPushButton button;
    QObject::connect(&button, &QPushButton::clicked,
                     [] { throw std::overflow_error("decimal overflow"); });
    button.show();
    QTest::mouseClick(&button, Qt::LeftButton);
    QTimer::singleShot(0, [] { throw std::runtime_error("timer"); });
    QTest::qWait(20);
    GuardedApplication::setFailureReporter(nullptr);
    ASSERT_EQ(reported.size(), 2);
    EXPECT_EQ(reported[0], QStringLiteral("decimal overflow"));
    EXPECT_EQ(reported[1], QStringLiteral("timer"));
    EXPECT_TRUE(GuardedApplication::failureText(reported[0])
                    .startsWith(QStringLiteral("เกิดข้อผิดพลาดที่ไม่คาดคิด")));
}
