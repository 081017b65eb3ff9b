#include "contracts/contract.h"

#include <gtest/gtest.h>

using namespace tawela::contracts;

TEST(ContractNumbers, YearMonthAndRun)
{
    EXPECT_EQ(contractNumber(QDate(2025, 5, 14), 12), QStringLiteral("68-05-4-0012"));
    EXPECT_EQ(contractNumber(QDate(2025, 12, 31), 7), QStringLiteral("68-12-4-0007"));
    EXPECT_EQ(contractNumber(QDate(2026, 1, 1), 7), QStringLiteral("69-01-4-0007"));
    EXPECT_EQ(contractNumber(QDate(2026, 1, 1), 9999), QStringLiteral("69-01-4-9999"));
    EXPECT_EQ(contractNumber(QDate(2026, 1, 1), 10000), QStringLiteral("69-01-4-10000"));
    EXPECT_EQ(contractNumber(QDate(2026, 1, 1), 12345), QStringLiteral("69-01-4-12345"));
    EXPECT_EQ(contractNumber(QDate(2026, 1, 1), 0), QStringLiteral("69-01-4-0000"));
}

TEST(ContractNumbers, Receipts)
{
    EXPECT_EQ(receiptNumber(QStringLiteral("R"), 15), QStringLiteral("R15"));
    EXPECT_EQ(receiptNumber(QString(), 15), QStringLiteral("15"));
    EXPECT_EQ(receiptNumber(QStringLiteral("ใบ-"), 7), QStringLiteral("ใบ-7"));
}

TEST(ContractNumbers, ExpenseDescriptionIsCut)
{
    Contract c;
    c.refNo = QStringLiteral("A1");
    c.kuName = QStringLiteral("นายสมชาย");
    c.model = QStringLiteral("แหวนทอง");
    EXPECT_EQ(expenseDescription(c), QStringLiteral("สัญญาเลขที่ A1นายสมชาย  ขายฝาก แหวนทอง"));
    c.model = QString(300, u'ก');
    EXPECT_EQ(expenseDescription(c).size(), 254);
}

TEST(ContractStates, FromTheStatusColumns)
{
    Contract c;
    EXPECT_EQ(stateOf(c), ContractState::Open);
    c.lastLine = 2;
    EXPECT_EQ(stateOf(c), ContractState::Renewed);
    c.pStatus = false;
    EXPECT_EQ(stateOf(c), ContractState::Redeemed);
    c.overDue = true;
    EXPECT_EQ(stateOf(c), ContractState::Forfeited);
    EXPECT_EQ(contractFilterText(ContractFilter::Open), QStringLiteral("สัญญาเปิด"));
    EXPECT_EQ(contractFilterText(ContractFilter::Closed), QStringLiteral("สัญญาปิด"));
    EXPECT_EQ(contractFilterText(ContractFilter::All), QStringLiteral("ทั้งหมด"));
}
