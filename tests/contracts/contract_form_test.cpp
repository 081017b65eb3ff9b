#include "contracts/contract_form.h"
#include "shop_builder.h"
#include "temp_home.h"
#include "test_server.h"

#include <gtest/gtest.h>

using namespace tawela;
using namespace tawela::contracts;
using Field = ContractForm::Field;

using test::d;

namespace {

class ContractFormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::rateRows(t.db, "fee_table1", {{30, "3"}, {60, "2.5"}});
        admin::Settings s = admin::loadSettings(t.db);
        s.chumnumRun = 7;
        s.dedugFee = false;
        s.minInteres = d("50");
        s.dInteresRate = QStringLiteral("จริง");
        s.payanOne = QStringLiteral("พยาน'หนึ่ง");
        s.sanyaCfg = QStringLiteral("2");
        admin::saveSettings(t.db, s);
        session.employeeName = QStringLiteral("สมศรี");
        session.fakeProductText = QStringLiteral("n/a");
    }

    std::unique_ptr<ContractForm> form()
    {
        auto f = std::make_unique<ContractForm>(t.db, session, prompt,
                                                [this](const PrintOrder& o) { printed << o.jobs; });
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
    admin::Session session;
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
    EXPECT_EQ(f->recordMode(), QStringLiteral("Addnew"));
    EXPECT_EQ(f->operation, OperationMode::NewContract);
    // Days from the table's Period run the days rule.
    EXPECT_EQ(f->contract.days, 30);
    EXPECT_EQ(f->contract.dueDate, QDate(2026, 1, 30));
    EXPECT_EQ(f->contract.rate, d("3"));
    EXPECT_EQ(f->contract.interest, d("50")); // 0 raised to the minimum
    EXPECT_FALSE(f->commands().newContract);
    EXPECT_TRUE(f->commands().save);
    EXPECT_FALSE(f->commands().renew);
    EXPECT_FALSE(f->commands().list);
    f->fillWitness(1);
    EXPECT_EQ(f->contract.witness1, QStringLiteral("พยาน'หนึ่ง"));
    f->amountTyped(QStringLiteral("10000abc"));
    EXPECT_EQ(f->contract.interest, d("300"));
    EXPECT_EQ(f->contract.redemption, d("10300"));
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
    EXPECT_EQ(f->recordMode(), QStringLiteral("Edit"));
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
    EXPECT_EQ(admin::loadSettings(t.db).chumnumRun, 8);
    EXPECT_EQ(printed.size(), 1); // no second ticket
    EXPECT_EQ(ContractStore(t.db).find(QStringLiteral("68-05-4-0007"))->principal, d("12000"));
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
    EXPECT_TRUE(shown->closedPanel());
    EXPECT_TRUE(shown->forfeitedPanel());
    EXPECT_FALSE(shown->commands().save);
    EXPECT_FALSE(shown->commands().renew);
    EXPECT_TRUE(shown->commands().documents);
    EXPECT_EQ(shown->contract.interest, d("300")); // recomputed as loaded

    shown->addProductGroup(QStringLiteral("พระเครื่อง"));
    shown->addProductGroup(QStringLiteral("พระเครื่อง"));
    EXPECT_EQ(shown->productGroups.count(QStringLiteral("พระเครื่อง")), 1);
    EXPECT_EQ(t.db->scalar(QStringLiteral("SELECT count(*) FROM chumnum_prod_group WHERE "
                                          "prod_group = 'พระเครื่อง'"))
                  .toInt(),
              1);
}

TEST_F(ContractFormTest, AShownContractKeepsItsAgreedFigures)
{
    // Saved at 4 % although the table says 3 %; the days are past the table's rows.
    auto f = form();
    ASSERT_TRUE(f->newContract(QDate(2025, 5, 14)));
    fill(*f);
    ASSERT_TRUE(f->amountTyped(QStringLiteral("5000")));
    ASSERT_TRUE(f->daysTyped(QStringLiteral("90")));
    ASSERT_TRUE(f->rateTyped(QStringLiteral("1.3333")));
    ASSERT_TRUE(f->interestTyped(QStringLiteral("200")));
    ASSERT_TRUE(f->redemptionTyped(QStringLiteral("5200")));
    ASSERT_TRUE(f->payoutTyped(QStringLiteral("4990"))); // typed by hand: stored as typed
    f->save();
    ASSERT_TRUE(f->saved()) << prompt.lastText().toStdString();

    auto again = form();
    again->show(*ContractStore(t.db).find(f->contract.policyNo));
    EXPECT_EQ(again->contract.rate, d("1.3333"));
    EXPECT_EQ(again->contract.interest, d("200"));
    EXPECT_EQ(again->contract.redemption, d("5200"));
    EXPECT_EQ(again->contract.payout, d("4990"));
    EXPECT_EQ(again->contract.days, 90);
    EXPECT_EQ(again->contract.dueDate, QDate(2025, 8, 12));
    again->save();
    ASSERT_TRUE(again->saved());
    const Contract stored = *ContractStore(t.db).find(f->contract.policyNo);
    EXPECT_EQ(stored.rate, d("1.3333"));
    EXPECT_EQ(stored.interest, d("200"));
    EXPECT_EQ(stored.redemption, d("5200"));
    EXPECT_EQ(stored.payout, d("4990"));
    // The rules run again from the first change the person makes.
    again->amountTyped(QStringLiteral("6000"));
    EXPECT_EQ(again->contract.rate, d("2.5")); // the table's rate for 90 days
}

TEST_F(ContractFormTest, ImpossibleInputIsRefusedAndNothingStored)
{
    auto f = form();
    ASSERT_TRUE(f->newContract(QDate(2025, 5, 14)));
    fill(*f);
    auto refused = [&](Field field, const char* text) {
        EXPECT_EQ(f->save(), field) << text;
        EXPECT_EQ(prompt.lastText(), QString::fromUtf8(text));
        EXPECT_EQ(prompt.messages().last().title, QStringLiteral("โปรดระวัง"));
        EXPECT_EQ(count("chumnum"), 0);
    };
    f->depositDateChanged(QDate()); // 31/02/2569 typed
    refused(Field::DepositDate, "วันที่ฝากไม่ถูกต้อง กรุณาใส่วันที่ให้ถูกต้อง");
    f->depositDateChanged(QDate(2025, 5, 14));
    f->amountTyped(QStringLiteral("-5000"));
    refused(Field::Amount, "ยอดฝากต้องไม่ติดลบ");
    f->amountTyped(QStringLiteral("5000"));
    f->daysTyped(QStringLiteral("-3"));
    refused(Field::Days, "จำนวนวันต้องไม่ติดลบ");
    f->daysTyped(QStringLiteral("30"));

    // What cannot be kept as typed is refused where it is typed; the value stays.
    EXPECT_FALSE(f->amountTyped(QStringLiteral("99999999999999")));
    EXPECT_EQ(prompt.lastText(), QStringLiteral("จำนวนเงินต้องไม่เกิน 9,999,999,999 บาท"));
    EXPECT_FALSE(f->rateTyped(QStringLiteral("2.12345")));
    EXPECT_EQ(prompt.lastText(), QStringLiteral("ใส่ทศนิยมได้ไม่เกิน 4 ตำแหน่ง"));
    EXPECT_FALSE(f->daysTyped(QStringLiteral("100000")));
    QString figure = QStringLiteral("50");
    EXPECT_FALSE(f->figureTyped(figure, QStringLiteral("999999999999999")));
    EXPECT_EQ(figure, QStringLiteral("50"));
    EXPECT_EQ(f->contract.principal, d("5000"));
    EXPECT_EQ(f->contract.days, 30);
    f->save();
    EXPECT_TRUE(f->saved());
}

TEST_F(ContractFormTest, ACounterTakenByAnotherCopyIsSaidBeforeStoring)
{
    auto a = form();
    ASSERT_TRUE(a->newContract(QDate(2025, 5, 14)));
    fill(*a);
    // Another copy stores 0007 meanwhile and raises the counter.
    auto b = form();
    ASSERT_TRUE(b->newContract(QDate(2025, 5, 14)));
    fill(*b);
    b->save();
    ASSERT_TRUE(b->saved());

    EXPECT_EQ(a->save(), Field::Number);
    EXPECT_FALSE(a->saved());
    EXPECT_EQ(a->contract.policyNo, QStringLiteral("68-05-4-0008"));
    EXPECT_EQ(a->contract.refNo, QStringLiteral("68-05-4-0008"));
    EXPECT_TRUE(prompt.lastText().contains(QStringLiteral("68-05-4-0008")));
    EXPECT_EQ(count("chumnum"), 1);
    a->save();
    ASSERT_TRUE(a->saved());
    EXPECT_EQ(admin::loadSettings(t.db).chumnumRun, 9);

    // A start finds 0009 taken (typed by hand elsewhere) while the counter
    // stands at 9: refused. When the counter moved on meanwhile it starts.
    t.db->exec(QStringLiteral("INSERT INTO chumnum (Policy_no) VALUES ('68-05-4-0009')"));
    auto c = form();
    EXPECT_FALSE(c->newContract(QDate(2025, 5, 14)));
    t.db->exec(QStringLiteral("UPDATE config_setting SET chumnum_run = 10"));
    EXPECT_TRUE(c->newContract(QDate(2025, 5, 14)));
    EXPECT_EQ(c->contract.policyNo, QStringLiteral("68-05-4-0010"));
}

TEST_F(ContractFormTest, ACopyShowingAnOlderStateCannotUndoAClosing)
{
    auto opened = form();
    ASSERT_TRUE(opened->newContract(QDate(2025, 5, 14)));
    fill(*opened);
    opened->save();
    const QString number = opened->contract.policyNo;
    // Two counters show the same open contract, each with its own connection.
    auto second = test::openAddress(test::addressOf(*t.db));
    ContractForm a(t.db, session, prompt);
    ContractForm b(second, session, prompt);
    ASSERT_TRUE(a.open());
    ASSERT_TRUE(b.open());
    a.show(*ContractStore(t.db).find(number));
    b.show(*ContractStore(second).find(number));

    ASSERT_TRUE(b.closings().openRedemption(QDate(2025, 6, 13)));
    ASSERT_TRUE(b.closings().confirm(QDateTime(QDate(2025, 6, 13), QTime(9, 0))));

    a.contract.kuMp = QStringLiteral("0812345678");
    prompt.queueAnswer(platform::PromptAnswer::No);
    a.save();
    EXPECT_FALSE(a.saved());
    EXPECT_EQ(prompt.messages()[prompt.messages().size() - 2].text, changedElsewhereText());
    const Contract stored = *ContractStore(t.db).find(number);
    EXPECT_FALSE(stored.pStatus);
    EXPECT_TRUE(stored.kuMp.isEmpty());
    // Nor can it renew or redeem it again; Yes shows what is stored.
    prompt.queueAnswer(platform::PromptAnswer::Yes);
    EXPECT_FALSE(a.closings().openRedemption(QDate(2025, 6, 13)));
    EXPECT_FALSE(a.contract.pStatus);
    EXPECT_TRUE(a.closedPanel());
    EXPECT_EQ(count("service"), 1);
}

TEST_F(ContractFormTest, CustomerSearchesFillTheFieldsOrAddTheMissingCustomer)
{
    test::TempDatabase customerDb(app::DatabaseRole::Customer);
    customers::CustomerStore people(customerDb.db);
    customers::Customer known;
    known.code = QStringLiteral("C'7");
    known.prename = QStringLiteral("นาย");
    known.name = QStringLiteral("สม ชาย"); // a space inside the given name
    known.sname = QStringLiteral("O'Neil");
    known.idNumber = QStringLiteral("1101700230705");
    known.fullAddress1 = QStringLiteral("9 ม.2");
    known.mobile = QStringLiteral("081");
    people.addBare(known);

    QList<customers::Opening> opened;
    auto f = form();
    f->customer().use(customerDb.db, [&](const customers::Opening& o) { opened << o; });

    f->contract.kuCode = QStringLiteral("C'7");
    f->customer().findByCode();
    EXPECT_EQ(f->contract.kuName, QStringLiteral("นายสม ชาย O'Neil"));
    EXPECT_EQ(f->contract.kuAddress, QStringLiteral("9 ม.2"));
    EXPECT_EQ(f->contract.kuMp, QStringLiteral(" , 081"));

    f->contract = {};
    f->contract.kuId = QStringLiteral("1101700230705");
    f->customer().findById();
    EXPECT_EQ(f->contract.kuAddress, QStringLiteral("9 ม.2  ")); // lines joined whatever they hold

    // The name list, then the chosen entry.
    f->contract = {};
    f->contract.kuName = QStringLiteral("สม");
    f->customer().nameSearchPressed();
    ASSERT_TRUE(f->customer().nameListOpen());
    EXPECT_EQ(f->customer().nameList, QStringList{QStringLiteral("สม ชาย O'Neil")});
    f->customer().nameChosen(f->customer().nameList.first());
    EXPECT_EQ(f->contract.kuCode, QStringLiteral("C'7"));
    EXPECT_FALSE(f->customer().nameListOpen());

    // Not found: asked, and a "Yes" adds a bare customer and opens it.
    f->contract.kuId = QStringLiteral("3100600011111");
    prompt.queueAnswer(platform::PromptAnswer::No);
    f->customer().findById();
    EXPECT_TRUE(opened.isEmpty());
    prompt.queueAnswer(platform::PromptAnswer::Yes);
    f->customer().findById();
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened[0].mode, customers::OpeningMode::ById);
    const auto added = people.byIdNumber(QStringLiteral("3100600011111"));
    ASSERT_TRUE(added);
    EXPECT_EQ(added->code, QString::number(added->id)); // its own number as code

    f->contract.kuName = QStringLiteral("ร้าน'ใหม่");
    f->customer().nameSearchPressed();
    prompt.queueAnswer(platform::PromptAnswer::Yes);
    f->customer().nameSearchPressed();
    EXPECT_EQ(prompt.messages().last().title, QStringLiteral("การค้นหาไม่ต้องใส่คำนำหน้าชื่อ"));
    ASSERT_EQ(opened.size(), 2);
    EXPECT_EQ(opened[1].value, QStringLiteral("ร้าน'ใหม่"));
    EXPECT_TRUE(people.byFullName(QStringLiteral("ร้าน'ใหม่")));

    f->customer().openTable();
    EXPECT_EQ(opened.last().mode, customers::OpeningMode::Pick);
}
