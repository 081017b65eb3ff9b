#include "platform/ui/guarded_application.h"
#include "platform/ui/qt_prompt.h"
#include "platform/ui/screen_parts.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
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

TEST(Dialogs, AFileAlreadyThereIsWrittenOverOnlyAfterAThaiQuestion)
{
    QTemporaryDir dir;
    const QString kept = dir.filePath(QStringLiteral("report.pdf"));
    QFile(kept).open(QIODevice::WriteOnly);
    // Each step answers the dialog that is up: the file dialog gets a name
    // and is accepted, the question gets the button named.
    QStringList questions;
    QList<std::function<bool()>> steps; // false: its dialog is not up yet
    auto chooseFile = [](const QString& name) {
        return [name] {
            auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!d || !d->isVisible())
                return false;
            EXPECT_EQ(d->labelText(QFileDialog::Accept), QStringLiteral("บันทึก"));
            // Typed, as a person would: the dialog's list may still be loading.
            d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(name);
            QMetaObject::invokeMethod(d, "accept");
            return true;
        };
    };
    auto answer = [&questions](QMessageBox::StandardButton button) {
        return [&questions, button] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible())
                return false;
            questions << box->text();
            box->button(button)->click();
            return true;
        };
    };
    steps << chooseFile(kept) << answer(QMessageBox::No) << chooseFile(kept)
          << answer(QMessageBox::Yes);
    QTimer driver;
    QObject::connect(&driver, &QTimer::timeout, [&] {
        if (!steps.isEmpty() && steps.first()())
            steps.removeFirst();
    });
    driver.start(50);
    EXPECT_EQ(ui::saveFileName(nullptr, QStringLiteral("บันทึกเป็น PDF"), dir.path(),
                               QStringLiteral("PDF (*.pdf)")),
              kept);
    EXPECT_TRUE(steps.isEmpty());
    ASSERT_EQ(questions.size(), 2);
    EXPECT_EQ(questions[0], QStringLiteral("มีแฟ้ม %1 อยู่แล้ว ต้องการเขียนทับหรือไม่").arg(kept));

    // A new name: no question, the suffix added.
    steps << chooseFile(dir.filePath(QStringLiteral("new")));
    EXPECT_EQ(ui::saveFileName(nullptr, QStringLiteral("บันทึกเป็น PDF"), dir.path(),
                               QStringLiteral("PDF (*.pdf)")),
              dir.filePath(QStringLiteral("new.pdf")));
    EXPECT_EQ(questions.size(), 2);
}
