#include "contracts/contract_form.h"
#include "temp_home.h"

#include <gtest/gtest.h>

using namespace tawela;
using namespace tawela::contracts;
using Field = ContractForm::Field;

namespace {

Decimal d(const char* t)
{
    return *Decimal::parse(QString::fromLatin1(t));
}

class ContractFormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        t.db->exec(QStringLiteral("INSERT INTO fee_table1 (duration, fee) VALUES (30, 30000), "
                                  "(60, 25000)"));
        app::Settings s = app::loadSettings(t.db);
        s.chumnumRun = 7;
        s.dedugFee = false;
        s.minInteres = d("50");
        s.dInteresRate = QStringLiteral("จริง");
        s.payanOne = QStringLiteral("พยาน'หนึ่ง");
        s.sanyaCfg = QStringLiteral("2");
        app::saveSettings(t.db, s);
        session.employeeName = QStringLiteral("สมศรี");
        session.fakeProductText = QStringLiteral("n/a");
    }

    std::unique_ptr<ContractForm> form()
    {
        auto f = std::make_unique<ContractForm>(
            t.db, session, prompt, [this](const PrintOrder& o) { printed << o.jobs; });
        EXPECT_TRUE(f->open());
        return f;
    }

    void fill(ContractForm& f)
    {
        f.contract.kuName = QStringLiteral("นายสมชาย O'Neil");
        f.contract.kuAddress = QStringLiteral("9 หมู่ 2");
        f.contract.object = QStringLiteral("ทองคำ");
        f.contract.model = QString(300, u'ท');
        f.amountTyped(QStringLiteral("10,000"));
    }

    qint64 count(const char* table)
    {
        return t.db->scalar(QStringLiteral("SELECT count(*) FROM ") + QLatin1String(table))
            .toLongLong();
    }

    test::TempDatabase t;
    app::Session session;
    platform::ScriptedPrompt prompt;
    QList<PrintJob> printed;
};

} // namespace

TEST_F(ContractFormTest, NewContractStartsFromTheSettings)
{
    auto f = form();
    EXPECT_EQ(f->rateList.size(), 5);
    ASSERT_TRUE(f->newContract(QDate(2025, 12, 31)));
    EXPECT_EQ(f->contract.policyNo, QStringLiteral("68-12-4-0007"));
    EXPECT_EQ(f->contract.refNo, f->contract.policyNo);
    EXPECT_EQ(f->recordMode, QStringLiteral("Addnew"));
    EXPECT_EQ(f->operation, OperationMode::NewContract);
    // Days from the table's Period run the days rule.
    EXPECT_EQ(f->contract.totalDay, 30);
    EXPECT_EQ(f->contract.endDate, QDate(2026, 1, 30));
    EXPECT_EQ(f->contract.interes, d("3"));
    EXPECT_EQ(f->contract.interestRate, d("50")); // 0 raised to the minimum
    EXPECT_FALSE(f->commands().newContract);
    EXPECT_TRUE(f->commands().save);
    EXPECT_FALSE(f->commands().renew);
    EXPECT_FALSE(f->commands().list);
    f->fillWitness(1);
    EXPECT_EQ(f->contract.payan1, QStringLiteral("พยาน'หนึ่ง"));
    f->amountTyped(QStringLiteral("10000abc"));
    EXPECT_EQ(f->contract.interestRate, d("300"));
    EXPECT_EQ(f->contract.amount2, d("10300"));
}

TEST_F(ContractFormTest, RequiredFieldsInOrder)
{
    auto f = form();
    ASSERT_TRUE(f->newContract(QDate(2025, 5, 14)));
    EXPECT_EQ(f->save(), Field::Address);
    EXPECT_EQ(prompt.lastText(), QStringLiteral("กรุณาใส่ข้อมูลที่จำเป็น "));
    EXPECT_EQ(prompt.messages().last().title, QStringLiteral("โปรดระวัง"));
    f->contract.kuAddress = QStringLiteral("9 หมู่ 2");
    EXPECT_EQ(f->save(), Field::ProductGroup);
    f->contract.object = QStringLiteral("ทองคำ");
    f->amountTyped(QStringLiteral("0"));
    EXPECT_EQ(f->save(), Field::Amount);
    f->amountTyped(QStringLiteral("1000"));
    f->daysTyped(QStringLiteral("0"));
    EXPECT_EQ(f->save(), Field::Days);
    EXPECT_EQ(count("chumnum"), 0);
}

TEST_F(ContractFormTest, SavedTwiceUsesOneNumberAndOneExpense)
{
    auto f = form();
    ASSERT_TRUE(f->newContract(QDate(2025, 5, 14)));
    fill(*f);
    EXPECT_FALSE(f->save().has_value());
    ASSERT_TRUE(f->saved()) << prompt.lastText().toStdString();
    EXPECT_EQ(prompt.lastText(), QStringLiteral("Data Saved"));
    EXPECT_EQ(f->recordMode, QStringLiteral("Edit"));
    EXPECT_FALSE(f->commands().renew);
    EXPECT_EQ(f->contract.model.size(), 255);
    ASSERT_EQ(printed.size(), 1);
    EXPECT_EQ(printed[0].file, QStringLiteral("sanya2.rpt"));
    EXPECT_EQ(printed[0].selection, QStringLiteral("{chumnum.Policy_no} = '68-05-4-0007'"));

    f->amountTyped(QStringLiteral("12000"));
    f->save();
    EXPECT_TRUE(f->saved());
    EXPECT_EQ(count("chumnum"), 1);
    EXPECT_EQ(count("spending"), 1);
    EXPECT_EQ(app::loadSettings(t.db).chumnumRun, 8);
    EXPECT_EQ(printed.size(), 1); // no second ticket
    EXPECT_EQ(ContractStore(t.db).find(QStringLiteral("68-05-4-0007"))->amount1, d("12000"));
}

TEST_F(ContractFormTest, DuplicateNumberClosesTheScreen)
{
    t.db->exec(QStringLiteral("INSERT INTO chumnum (Policy_no) VALUES ('68-05-4-0007')"));
    auto f = form();
    EXPECT_FALSE(f->newContract(QDate(2025, 5, 14)));
    EXPECT_EQ(prompt.lastText(),
              QStringLiteral("เลขสัญญาซ้ำ กำหนดเลขรันที่ค่าเริ่มต้นใหม่ แล้วจึงเปิดสัญญาใหม่ได้"));
}

TEST_F(ContractFormTest, RightsAndClosedContracts)
{
    session.card = QStringLiteral("ไม่อนุญาต");
    auto f = form();
    EXPECT_FALSE(f->commands().panels);
    EXPECT_FALSE(f->commands().remove);
    ASSERT_TRUE(f->newContract(QDate(2025, 5, 14)));
    EXPECT_TRUE(f->commands().save); // may still save
    fill(*f);
    f->save();
    EXPECT_TRUE(f->saved());
    EXPECT_FALSE(f->commands().panels);

    session.card.clear();
    session.policy = QStringLiteral("อ่านอย่างเดียว");
    session.blacklist = QStringLiteral("ไม่อนุญาต");
    auto readOnly = form();
    EXPECT_FALSE(readOnly->commands().commandBar);
    EXPECT_FALSE(readOnly->commands().interestTable);

    t.db->exec(QStringLiteral("UPDATE chumnum SET P_status = 0, over_due = 1"));
    auto shown = form();
    shown->show(*ContractStore(t.db).find(QStringLiteral("68-05-4-0007")));
    EXPECT_TRUE(shown->closedPanel);
    EXPECT_TRUE(shown->forfeitedPanel);
    EXPECT_FALSE(shown->commands().save);
    EXPECT_FALSE(shown->commands().renew);
    EXPECT_TRUE(shown->commands().documents);
    EXPECT_EQ(shown->contract.interestRate, d("300")); // recomputed as loaded

    shown->addProductGroup(QStringLiteral("พระเครื่อง"));
    shown->addProductGroup(QStringLiteral("พระเครื่อง"));
    EXPECT_EQ(shown->productGroups.count(QStringLiteral("พระเครื่อง")), 1);
    EXPECT_EQ(t.db->scalar(QStringLiteral("SELECT count(*) FROM chumnum_prod_group WHERE "
                                          "prod_group = 'พระเครื่อง'"))
                  .toInt(),
              1);
}
