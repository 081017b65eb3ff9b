#include "platform/ui/thai_date_edit.h"
#include "screenshot.h"

#include <QCalendarWidget>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

using tawela::platform::ThaiDateEdit;

TEST(ThaiDateEdit, ShowsAndTakesBuddhistYears)
{
    ThaiDateEdit edit;
    edit.setDate(QDate(2025, 5, 14));
    edit.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&edit));
    EXPECT_EQ(edit.lineEdit()->text(), QStringLiteral("14/05/2568"));

    QSignalSpy changed(&edit, &ThaiDateEdit::dateChanged);
    edit.lineEdit()->selectAll();
    QTest::keyClicks(edit.lineEdit(), QStringLiteral("1/1/2569"));
    EXPECT_EQ(edit.date(), QDate(2026, 1, 1));
    EXPECT_GE(changed.count(), 1);
    QTest::keyClick(edit.lineEdit(), Qt::Key_Backspace);
    EXPECT_FALSE(edit.date().isValid()); // "1/1/256" is no date yet

    edit.setDate(QDate(2025, 5, 14));
    edit.showCalendar();
    QCalendarWidget* calendar = edit.calendar();
    ASSERT_TRUE(calendar->isVisible());
    auto* year = calendar->findChild<QToolButton*>(QStringLiteral("qt_calendar_yearbutton"));
    ASSERT_NE(year, nullptr);
    EXPECT_EQ(year->text(), QStringLiteral("2568"));
    calendar->showNextMonth();
    calendar->setCurrentPage(2026, 1);
    EXPECT_EQ(year->text(), QStringLiteral("2569"));
    keepScreenshot(calendar, QStringLiteral("calendar"));
    Q_EMIT calendar->clicked(QDate(2026, 1, 15));
    EXPECT_EQ(edit.lineEdit()->text(), QStringLiteral("15/01/2569"));
    EXPECT_FALSE(calendar->isVisible());
}
